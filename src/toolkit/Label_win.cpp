#include "toolkit/Label_win.h"

#include "toolkit/ScopedWin_win.h"

Label::Label(HWND control) { attach(control); }

LRESULT Label::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(handle(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return 0;
    }
    default:
      return defaultHandling(message, wParam, lParam);
  }
}

void Label::paint() {
  ScopedPaint paint(handle());
  const HDC dc = paint.get();
  if (dc == nullptr || text_.empty()) return;
  // The font goes in before measuring: the text's height decides where it sits.
  const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(handle(), WM_GETFONT, 0, 0));
  ScopedSelection selectFont(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  SIZE extent = {};
  GetTextExtentPoint32W(dc, text_.c_str(), static_cast<int>(text_.size()), &extent);
  RECT client;
  GetClientRect(handle(), &client);
  const int y = (client.bottom - extent.cy) / 2;

  const COLORREF oldColour = SetTextColor(dc, textColour_);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const UINT state = isEnabled() ? DSS_NORMAL : DSS_DISABLED;
  DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text_.c_str()),
             static_cast<WPARAM>(text_.size()), 0, y, 0, 0, DST_TEXT | state);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColour);
}
