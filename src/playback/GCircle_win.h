#pragma once
// A small square view of the frame's lateral G (Y, across) against its longitudinal G
// (X, up), with rings at 0.5 and 1.0 G and a trail of the last two seconds fading out.
// Hidden until the view menu asks for it.
#include <windows.h>

#include "playback/IFrameSource.h"
#include "playback/IPlaybackOwner_win.h"
#include "playback/PanelWindow_win.h"
#include "toolkit/ScopedWin_win.h"

class GCircle : public PanelWindow {
 public:
  // Creates the hidden child window of the owner's window; the owner places it.
  GCircle(IPlaybackOwner& owner, const IFrameSource& source);
  ~GCircle() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void setShown(bool shown);
  bool shown() const { return shown_; }
  // Draws the frame on screen now, while shown.
  void refresh();

 private:
  void paint(HDC dc) const;
  void drawFrame(HDC dc, int side) const;
  void drawTrail(HDC dc, int side) const;

  const IFrameSource& source_;
  ScopedGdiObject font_;
  bool shown_ = false;
};
