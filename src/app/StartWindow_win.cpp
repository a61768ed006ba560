#include "app/StartWindow_win.h"

#include <memory>

#include "app/ProcessValues.h"

StartWindow* StartWindow::Create() {
  std::unique_ptr<StartWindow> window(new StartWindow());
  WindowCreateParams params;
  params.className = MAKEINTATOM(Window::defaultClass());
  params.title = ApplicationName().c_str();
  params.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  params.x = CW_USEDEFAULT;
  params.y = CW_USEDEFAULT;
  params.width = 800;
  params.height = 640;
  params.instance = Window::classInstance();
  window->create(params);
  return window.release();  // from here on the window owns the object
}

LRESULT StartWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == WM_ERASEBKGND) {  // the window class brings no background of its own
    RECT client;
    GetClientRect(handle(), &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return defaultHandling(message, wParam, lParam);
}
