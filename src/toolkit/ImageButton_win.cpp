#include "toolkit/ImageButton_win.h"

#include "toolkit/ChildWidget_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

constexpr UINT_PTR kRepeatTimer = 0;
constexpr UINT kRepeatMs = 100;

// Mouse coordinates are read unsigned, so a release left of or above the button falls
// outside it as surely as one to the right or below.
bool InsideClient(HWND window, LPARAM lParam) {
  RECT client;
  GetClientRect(window, &client);
  const LONG x = LOWORD(lParam);
  const LONG y = HIWORD(lParam);
  return client.left <= x && x < client.right && client.top <= y && y < client.bottom;
}

}  // namespace

void ImageButton::Create(HWND owner, int x, int y, int width, int height) {
  create(VisibleChildParams(owner, x, y, width, height));
}

void ImageButton::SetImages(int normalId, int pressedId, int disabledId) {
  normal_.reset();
  pressed_.reset();
  disabled_.reset();
  normal_ = std::make_unique<AlphaImage>(normalId);
  if (pressedId != 0) pressed_ = std::make_unique<AlphaImage>(pressedId);
  if (disabledId != 0) disabled_ = std::make_unique<AlphaImage>(disabledId);
}

bool ImageButton::IsDown() const { return handle() != nullptr && GetCapture() == handle(); }

LRESULT ImageButton::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      ScopedPaint painting(handle());
      if (painting.get() != nullptr) paint(painting.get());
      return 0;
    }
    case WM_ERASEBKGND:
      FillWithButtonFace(handle(), reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETCURSOR:
      return onSetCursor(message, wParam, lParam);
    case WM_CHAR:
      return 0;
    case WM_GETDLGCODE:
      return dialogCode(lParam);
    case WM_KEYDOWN:
      return onKeyDown(wParam);
    case WM_LBUTTONDOWN:
      return onButtonDown();
    case WM_TIMER:
      if (wParam != kRepeatTimer) break;
      return onTimer();
    case WM_CAPTURECHANGED:
      KillTimer(handle(), kRepeatTimer);
      return 0;
    case WM_KEYUP:
      return onKeyUp(wParam);
    case WM_LBUTTONUP:
      return onButtonUp(lParam);
    default:
      break;
  }
  return defaultHandling(message, wParam, lParam);
}

LRESULT ImageButton::dialogCode(LPARAM lParam) {
  const MSG* asked = reinterpret_cast<const MSG*>(lParam);
  if (asked != nullptr && (asked->message == WM_KEYDOWN || asked->message == WM_CHAR) &&
      asked->wParam != VK_RETURN) {
    return 0;
  }
  return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
}

// Without a cursor of its own the button lets the default handling set the class
// cursor; answering 0 there would leave whatever shape the pointer had before.
LRESULT ImageButton::onSetCursor(UINT message, WPARAM wParam, LPARAM lParam) {
  if (cursor == nullptr) return defaultHandling(message, wParam, lParam);
  SetCursor(cursor);
  return 0;
}

LRESULT ImageButton::onKeyDown(WPARAM key) {
  // A repeated key-down finds the capture held and starts nothing new.
  if (key != VK_RETURN || IsDown()) return 0;
  return onButtonDown();
}

// The capture comes first, so that a listener that opens a window of its own (and so
// takes the capture away) ends the repeats through WM_CAPTURECHANGED.
LRESULT ImageButton::onButtonDown() {
  SetCapture(handle());
  redrawIfLookChanges();
  SetTimer(handle(), kRepeatTimer, kRepeatMs, nullptr);
  notifyPress();
  return 0;
}

LRESULT ImageButton::onTimer() {
  if (IsDown() && isEnabled()) {
    notifyPress();
  } else {
    KillTimer(handle(), kRepeatTimer);
  }
  return 0;
}

// Enter released clicks only a button that saw it pressed: focus may arrive with Enter
// already down (a dialog just closed with it), and that release is not meant for us.
LRESULT ImageButton::onKeyUp(WPARAM key) {
  if (key != VK_RETURN || !IsDown()) return 0;
  ReleaseCapture();
  redraw();
  notifyClick();
  return 0;
}

// Likewise a release clicks only when the button holds the capture from its own press:
// a double-click that closes a window on its second press sends the release to whatever
// lay below it.
LRESULT ImageButton::onButtonUp(LPARAM lParam) {
  KillTimer(handle(), kRepeatTimer);
  if (!IsDown()) return 0;
  ReleaseCapture();
  redrawIfLookChanges();
  if (InsideClient(handle(), lParam)) notifyClick();
  return 0;
}

void ImageButton::redraw() {
  InvalidateRect(handle(), nullptr, TRUE);
  UpdateWindow(handle());
}

// Without a frame and a pressed picture, pressing does not change the look.
void ImageButton::redrawIfLookChanges() {
  if (drawEdge || pressed_) redraw();
}

void ImageButton::notifyPress() {
  if (listener != nullptr) listener->OnPress(this);
}

void ImageButton::notifyClick() {
  if (listener != nullptr) listener->OnClick(this);
}

const AlphaImage* ImageButton::pictureToDraw(bool down, int* yOffset) const {
  *yOffset = 0;
  if (!normal_) return nullptr;
  const AlphaImage* picture = normal_.get();
  if (!isEnabled() && disabled_) picture = disabled_.get();
  if (!down) return picture;
  if (pressed_) return pressed_.get();
  if (!drawEdge) return nullptr;
  *yOffset = 1;  // pressed look without a picture of its own: one pixel lower
  return picture;
}

void ImageButton::paint(HDC dc) const {
  RECT client;
  GetClientRect(handle(), &client);
  const bool down = IsDown();
  if (drawEdge) {
    RECT frame = client;
    DrawEdge(dc, &frame, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  int yOffset = 0;
  const AlphaImage* picture = pictureToDraw(down, &yOffset);
  if (picture != nullptr) picture->DrawSized(dc, 0, yOffset, client.right, client.bottom);
}
