#pragma once
// The waiting picture over the empty video area: blank at first, the picture from the
// first tick on. Its creator starts timer kTimerId with period kTickMs on the window;
// the second tick stops the timer.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "toolkit/AlphaImage.h"
#include "toolkit/Window_win.h"

class Animation : public Window {
 public:
  static constexpr int kWidth = 280;
  static constexpr int kHeight = 73;
  static constexpr UINT_PTR kTimerId = 0;
  static constexpr UINT kTickMs = 100;
  static constexpr int kPictureId = 285;

  // Creates the visible child window of `owner` at (x, y). Delete it by destroying the
  // window.
  Animation(HWND owner, int x, int y);

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void setFrameIndex(int32_t index) { frameIndex_ = index; }
  int32_t frameIndex() const { return frameIndex_; }

 private:
  void paint();
  void tick();

  std::unique_ptr<AlphaImage> frames_[2];  // frame 0 is absent: the blank start
  int32_t frameIndex_ = 0;
};
