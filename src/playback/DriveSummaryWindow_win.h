#pragma once
// The drive summary: a modeless window owned by the main window that sums up the open
// recording (times, distance, speeds, each G axis's peak, switch presses). Every time in
// it is a link that shows that moment in the picture; the window stays open. It follows
// the open recording and is empty when nothing is open. Keys: Tab or the arrows move
// between the links, Enter or Space follows one, Esc closes the window.
#include <windows.h>

#include <vector>

#include "playback/IFrameSource.h"
#include "playback/IPlaybackOwner_win.h"
#include "playback/SummaryText.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/Window_win.h"

class DriveSummaryWindow : public Window {
 public:
  // Opens the window, or brings the one open to the front. `open` names it while it lives.
  static DriveSummaryWindow& Show(IPlaybackOwner& owner, const IFrameSource& source, DriveSummaryWindow*& open);
  ~DriveSummaryWindow() override;

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Sums up the recording open now and repaints.
  void update();
  const std::vector<summarytext::Line>& lines() const { return lines_; }
  // The link of line `index` in client coordinates; empty when the line has none.
  RECT linkRect(size_t index) const;

 private:
  DriveSummaryWindow(IPlaybackOwner& owner, const IFrameSource& source, DriveSummaryWindow*& open);
  void fitHeight();
  void paint(HDC dc) const;
  void follow(size_t index);
  void clickAt(int x, int y);
  void moveFocus(int step);
  bool onKey(WPARAM key);

  IPlaybackOwner& owner_;
  const IFrameSource& source_;
  DriveSummaryWindow*& open_;
  ScopedGdiObject font_;
  ScopedGdiObject linkFont_;
  std::vector<summarytext::Line> lines_;
  int focused_ = -1;  // the line whose link has the keyboard
};
