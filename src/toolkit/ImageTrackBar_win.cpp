#include "toolkit/ImageTrackBar_win.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "toolkit/ChildWidget_win.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/TrackToolTip_win.h"

namespace {

constexpr UINT_PTR kTickTimer = 0;
constexpr UINT kTickMs = 100;
// How far above the bar the value tip floats while dragging.
constexpr int kToolTipRise = 20;

}  // namespace

void ImageTrackBar::Create(HWND owner, int x, int y, int width, int height) {
  create(VisibleChildParams(owner, x, y, width, height));
}

void ImageTrackBar::SetImages(int thumbId, int trackId, int fillId) {
  thumb_.reset();
  track_.reset();
  fill_.reset();
  thumb_ = std::make_unique<AlphaImage>(thumbId);
  track_ = std::make_unique<AlphaImage>(trackId);
  if (fillId != 0) fill_ = std::make_unique<AlphaImage>(fillId);
}

void ImageTrackBar::SetRange(int32_t minimum, int32_t maximum) {
  minimum_ = minimum;
  maximum_ = std::max(maximum, minimum);
  if (value_ < minimum_ || value_ > maximum_) SetValue(value_, false);
}

void ImageTrackBar::SetValue(int32_t v, bool notify) {
  v = std::clamp(v, minimum_, maximum_);
  moveThumb(PixelFromValue(v));
  if (v == value_) return;
  value_ = v;
  if (notify) notifyChange();
}

void ImageTrackBar::moveThumb(int x) {
  if (x == thumbX_) return;
  thumbX_ = x;
  InvalidateRect(handle(), nullptr, FALSE);
  UpdateWindow(handle());
  UpdateWindow(handle());
}

std::wstring ImageTrackBar::ValueText() const {
  if (formatter) return formatter(value_);
  wchar_t text[16];
  std::swprintf(text, 16, L"%d", static_cast<int>(value_));
  return text;
}

int ImageTrackBar::clientWidth() const {
  RECT client;
  GetClientRect(handle(), &client);
  return client.right;
}

int ImageTrackBar::PixelFromValue(int32_t v) const {
  if (!hasPictures() || maximum_ == minimum_) return 0;
  const double span = double(int64_t(maximum_) - minimum_);
  const double travel = double(clientWidth() - thumbWidth());
  return static_cast<int>(double(int64_t(v) - minimum_) * travel / span);
}

// The inverse of PixelFromValue counted from the minimum, so that the value under the
// pointer is the one whose thumb is drawn there also when the range does not start at 0.
void ImageTrackBar::ValueFromPixel(int x, bool notify) {
  if (!hasPictures()) return;
  const int tw = thumbWidth();
  const int travel = clientWidth() - tw;
  if (travel <= 0) {
    SetValue(minimum_, notify);
    return;
  }
  const double span = double(int64_t(maximum_) - minimum_);
  const double steps = std::trunc(span * double(x - tw / 2) / double(travel));
  const double v = std::clamp(double(minimum_) + steps, double(minimum_), double(maximum_));
  SetValue(static_cast<int32_t>(v), notify);
}

LRESULT ImageTrackBar::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      thumbX_ = PixelFromValue(value_);
      InvalidateRect(handle(), nullptr, TRUE);
      UpdateWindow(handle());
      return 0;
    case WM_PAINT: {
      ScopedPaint painting(handle());
      RECT client;
      GetClientRect(handle(), &client);
      if (painting.get() != nullptr) paint(painting.get(), client.right, client.bottom);
      return 0;
    }
    case WM_ERASEBKGND:
      if (!track_) FillWithButtonFace(handle(), reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_GETDLGCODE: {
      const MSG* asked = reinterpret_cast<const MSG*>(lParam);
      if (asked != nullptr && (asked->message == WM_KEYDOWN || asked->message == WM_CHAR)) return 0;
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    }
    case WM_LBUTTONDOWN:
      return onButtonDown(GET_X_LPARAM(lParam));
    case WM_MOUSEMOVE:
      return onMouseMove(GET_X_LPARAM(lParam));
    case WM_TIMER:
      if (wParam != kTickTimer) break;
      return onTimer();
    case WM_CAPTURECHANGED:
      return onCaptureChanged(reinterpret_cast<HWND>(lParam));
    case WM_LBUTTONUP:
      return onButtonUp(GET_X_LPARAM(lParam));
    // The position and the range answer as a trackbar's do, for accessibility tools
    // and for programs that watch the viewer from outside.
    case TBM_GETPOS:
      return value_;
    case TBM_GETRANGEMIN:
      return minimum_;
    case TBM_GETRANGEMAX:
      return maximum_;
    default:
      break;
  }
  return defaultHandling(message, wParam, lParam);
}

bool ImageTrackBar::isDragging() const { return GetCapture() == handle(); }

// The capture, the tick and the tip come before the listeners: a listener that opens a
// window (and so takes the capture) then ends the drag through WM_CAPTURECHANGED
// instead of leaving the tip on screen.
LRESULT ImageTrackBar::onButtonDown(int x) {
  const int tw = thumbWidth();
  const bool onThumb = hasPictures() && thumbX_ <= x && x <= thumbX_ + tw;
  if (!onThumb) ValueFromPixel(x + tw / 2, false);
  SetCapture(handle());
  SetTimer(handle(), kTickTimer, kTickMs, nullptr);
  if (tooltip != nullptr) tooltip->ShowTrack(handle(), ValueText());
  notifyBegin();
  notifyChange();
  return 0;
}

LRESULT ImageTrackBar::onMouseMove(int x) {
  if (!isDragging()) return 0;
  ValueFromPixel(x + thumbWidth() / 2, false);
  if (tooltip != nullptr) {
    moveToolTip(x);
    tooltip->UpdateText(handle(), ValueText());
  }
  return 0;
}

void ImageTrackBar::moveToolTip(int x) {
  RECT window;
  GetWindowRect(handle(), &window);
  const int screenX =
      std::clamp(int(window.left) + x + thumbWidth() / 2, int(window.left), int(window.right));
  tooltip->MoveTrack(screenX, window.top - kToolTipRise);
}

LRESULT ImageTrackBar::onTimer() {
  if (isDragging() && isEnabled()) {
    notifyChange();
  } else {
    KillTimer(handle(), kTickTimer);
  }
  return 0;
}

// Releasing the button ends the drag this way too; losing the capture to another window
// (a message box, a switch to another program) ends it without OnTrackEnd.
LRESULT ImageTrackBar::onCaptureChanged(HWND gaining) {
  if (gaining == handle()) return 0;
  KillTimer(handle(), kTickTimer);
  if (tooltip != nullptr) tooltip->HideTrack(handle());
  return 0;
}

LRESULT ImageTrackBar::onButtonUp(int x) {
  if (!isDragging()) return 0;
  ReleaseCapture();
  ValueFromPixel(x + thumbWidth() / 2, true);
  if (tooltip != nullptr) tooltip->HideTrack(handle());
  notifyChange();
  notifyEnd();
  return 0;
}

void ImageTrackBar::notifyChange() {
  if (listener != nullptr) listener->OnTrackChange(this);
}

void ImageTrackBar::notifyBegin() {
  if (listener != nullptr) listener->OnTrackBegin(this);
}

void ImageTrackBar::notifyEnd() {
  if (listener != nullptr) listener->OnTrackEnd(this);
}

// Through a memory bitmap, so that the track and the thumb reach the screen in one copy
// and a dragged thumb does not flicker. Without pictures nothing covers the background.
void ImageTrackBar::paint(HDC windowDc, int width, int height) {
  if (!hasPictures()) return;
  ScopedMemoryDc memory(CreateCompatibleDC(windowDc));
  ScopedGdiObject bitmap(memory ? CreateCompatibleBitmap(windowDc, width, height) : nullptr);
  if (!bitmap) {
    paintInto(windowDc, width, height);
    return;
  }
  ScopedSelection selected(memory.get(), bitmap.get());
  paintInto(memory.get(), width, height);
  BitBlt(windowDc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

void ImageTrackBar::paintInto(HDC dc, int width, int height) {
  if (segmented) {
    DrawTrack(dc, width, height);
  } else {
    track_->DrawAt(dc, 0, 0);
  }
  thumb_->DrawAt(dc, thumbX_, 0);
  if (GetFocus() == handle()) {
    RECT focus = {1, 1, width - 1, height - 1};
    DrawFocusRect(dc, &focus);
  }
}

void ImageTrackBar::DrawTrack(HDC dc, int width, int /*height*/) {
  const int c = track_->Width();
  const int h = track_->Height();
  const int tw = thumbWidth();
  const int f = tw / 2;
  if (tw >= c) return;
  const AlphaImage& fill = fill_ ? *fill_ : *track_;
  fill.Draw(dc, 0, 0, f, h, 0, f, h);
  fill.Draw(dc, f, 0, thumbX_, h, f, c - tw, h);
  track_->Draw(dc, width - f, 0, f, h, c - f, f, h);
  track_->Draw(dc, thumbX_ + f, 0, width - thumbX_ - 2 * f, h, f, c - tw, h);
}
