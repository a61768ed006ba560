#include "toolkit/Animation_win.h"

#include <algorithm>

#include "toolkit/ScopedWin_win.h"

Animation::Animation(HWND owner, int x, int y) {
  frames_[1] = std::make_unique<AlphaImage>(kPictureId);
  WindowCreateParams p;
  p.className = MAKEINTATOM(defaultClass());
  p.style = WS_CHILD | WS_VISIBLE;
  p.x = x;
  p.y = y;
  p.width = kWidth;
  p.height = kHeight;
  p.parent = owner;
  p.instance = classInstance();
  create(p);
}

LRESULT Animation::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 0;  // the picture covers the area; before it the area stays as it was
    case WM_TIMER:
      tick();
      return 0;
    default:
      return defaultHandling(message, wParam, lParam);
  }
}

void Animation::paint() {
  ScopedPaint paint(handle());
  if (paint.get() == nullptr || frameIndex_ < 0) return;
  const auto& frame = frames_[std::min(frameIndex_, int32_t{1})];
  if (frame) frame->DrawAt(paint.get(), 0, 0);
}

void Animation::tick() {
  ++frameIndex_;
  if (frameIndex_ > 1) {
    KillTimer(handle(), kTimerId);
  } else {
    InvalidateRect(handle(), nullptr, FALSE);
  }
}
