#include "WidgetTestSupport_win.h"

#include <commctrl.h>

#include "toolkit/MessagePump_win.h"
#include "toolkit/Window_win.h"

namespace {

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace

HWND WidgetHost() {
  static const HWND host = [] {
    Window registersTheClass;
    const HWND h = CreateWindowExW(0, MAKEINTATOM(Window::defaultClass()), L"widgets",
                                   WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 420, 240,
                                   nullptr, nullptr, Window::classInstance(), nullptr);
    UpdateWindow(h);
    PumpPending();
    return h;
  }();
  return host;
}

void MouseDown(HWND window, int x, int y) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
}
void MouseMove(HWND window, int x, int y) {
  SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, Point(x, y));
}
void MouseUp(HWND window, int x, int y) { SendMessageW(window, WM_LBUTTONUP, 0, Point(x, y)); }

// Bit 30 of a key message says the key was down before: set on auto-repeat.
void KeyDown(HWND window, WPARAM key, bool repeat) {
  SendMessageW(window, WM_KEYDOWN, key, repeat ? 0x40000001 : 1);
}
void KeyUp(HWND window, WPARAM key) { SendMessageW(window, WM_KEYUP, key, 0xC0000001); }

std::wstring ToolText(HWND tooltip, HWND control) {
  wchar_t text[80] = {};
  TTTOOLINFOW info = {};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = GetParent(tooltip);
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
  return text;
}
