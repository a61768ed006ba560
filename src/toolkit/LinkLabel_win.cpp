#include "toolkit/LinkLabel_win.h"

#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Report_win.h"

LinkLabel::LinkLabel(HWND control, std::function<void()> onClick)
    : Label(control), onClick_(std::move(onClick)) {
  if (control == nullptr) return;
  underlineFont();
  takeText();
  setTextColour(RGB(0, 0, 255));
}

void LinkLabel::underlineFont() {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(handle(), WM_GETFONT, 0, 0));
  if (font == nullptr) return;
  LOGFONTW description = {};
  if (GetObjectW(font, sizeof(description), &description) == 0) return;
  description.lfUnderline = TRUE;
  linkFont_.reset(CreateFontIndirectW(&description));
  if (linkFont_) {
    SendMessageW(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), TRUE);
  }
}

void LinkLabel::takeText() {
  const int length = GetWindowTextLengthW(handle());
  if (length <= 0) return;
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const int copied = GetWindowTextW(handle(), buffer.data(), length + 1);
  setText(std::wstring(buffer.data(), static_cast<size_t>(copied)));
  InvalidateRect(handle(), nullptr, TRUE);
}

LRESULT LinkLabel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return 0;
    case WM_LBUTTONUP:
      click();
      return 0;
    default:
      return Label::handleMessage(message, wParam, lParam);
  }
}

// A link that cannot be followed (the browser does not start) is the user's to hear of,
// on the link's own window, and the program goes on. Anything outside the program's
// failures is a fault and goes to whoever runs the loop.
void LinkLabel::click() {
  if (!onClick_) return;
  try {
    onClick_();
  } catch (const Exception& failure) {
    if (!failure.message.empty()) ReportWarning(GetAncestor(handle(), GA_ROOT), failure);
  } catch (...) {
    parkCurrentFailure();
  }
}
