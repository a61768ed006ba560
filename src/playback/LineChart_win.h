#pragma once
// The strip under the picture that plots the combined G value of every frame of the
// loaded recording, with a yellow marker at the frame on screen. The curve is drawn
// once into an off-screen bitmap and reused; each refresh only copies it and draws the
// marker over it.
#include <windows.h>

#include <cstdint>
#include <functional>

#include "playback/ChartLayout.h"
#include "playback/DriveValues.h"
#include "playback/IFrameSource.h"
#include "playback/IPlaybackOwner_win.h"
#include "playback/PanelWindow_win.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/ScopedWin_win.h"

struct FrameEntry;

class LineChart : public PanelWindow {
 public:
  // Creates the child window of the owner's window (placed by the owner's layout) with
  // its brush, font and frame pictures. Delete the chart by destroying its window.
  LineChart(IPlaybackOwner& owner, const IFrameSource& source);
  ~LineChart() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Forgets the drawn curve and repaints, while the chart is enabled: the recording
  // changed.
  void dropCache();
  // Copies the curve (drawing it first if needed) and draws the marker on `dc`.
  void drawChart(HDC dc);

  // What the chart draws beside (or instead of) the combined G; a change draws it anew.
  void setSeries(const drivevalues::ChartSeries& series);
  const drivevalues::ChartSeries& series() const { return series_; }

  const chart::Plot& plot() const { return plot_; }
  bool hasCachedChart() const { return static_cast<bool>(cache_); }
  // How often a drawing of the curve into a new bitmap was begun.
  int renderCount() const { return renders_; }
  // Whether the left button, pressed on the plot, is held and scrubs.
  bool scrubbing() const { return scrubbing_; }

 private:
  void layOut(int32_t width, int32_t height);
  void eraseBackground(HDC dc);
  // The curve in a new bitmap compatible with `dc`; null when the window is too small
  // to hold one.
  ScopedGdiObject render(HDC dc);
  void drawGridAndAxes(HDC dc) const;
  void drawCurve(HDC dc) const;
  void drawMarkedRange(HDC dc) const;
  // The curves and marks the view menu adds; nothing for the combined G alone.
  void drawExtraSeries(HDC dc) const;
  void drawThresholdLine(HDC dc) const;
  void drawValueCurve(HDC dc, COLORREF colour, const std::function<int32_t(const FrameEntry&)>& row) const;
  void drawSpeedScale(HDC dc, int32_t top) const;
  void drawLegend(HDC dc) const;
  void drawMarker(HDC dc) const;

  // Seeking with the mouse: a press on the plot seeks to the frame under the pointer
  // (on a switch press, to its start), and while the button is held the picture
  // follows the pointer.
  void onPress(LPARAM lParam);
  void onDrag(WPARAM wParam, LPARAM lParam);
  void onRelease();
  void seekTo(int32_t frame);

  IPlaybackOwner& owner_;
  const IFrameSource& source_;
  ScopedGdiObject background_;
  ScopedGdiObject font_;
  ScopedGdiObject cache_;
  chart::Plot plot_;
  chart::Size valueExtent_;
  chart::Size countExtent_;
  AlphaImage left_;
  AlphaImage middle_;
  AlphaImage right_;
  int renders_ = 0;
  drivevalues::ChartSeries series_;
  bool scrubbing_ = false;
  int32_t lastSought_ = -1;
};
