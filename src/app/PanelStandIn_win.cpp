#include "app/PanelStandIn_win.h"

PanelStandIn::PanelStandIn(HWND parent) {
  WindowCreateParams params;
  params.exStyle = WS_EX_CONTROLPARENT;
  params.className = MAKEINTATOM(Window::defaultClass());
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  params.parent = parent;
  params.instance = Window::classInstance();
  create(params);
}

LRESULT PanelStandIn::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) {
    RECT client;
    GetClientRect(handle(), &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return defaultHandling(message, wParam, lParam);
}
