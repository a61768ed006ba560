#include "TestParent_win.h"

namespace {

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND ShowTestParent(int width, int height, HBRUSH background) {
  static ATOM atom = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PathscopeTestParent";
    return RegisterClassExW(&wc);
  }();
  const HWND parent = CreateWindowExW(0, MAKEINTATOM(atom), L"test", WS_POPUP, 20, 20, width, height,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  // The class is shared by every test parent; each sets its own background.
  SetClassLongPtrW(parent, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(background));
  ShowWindow(parent, SW_SHOWNOACTIVATE);
  UpdateWindow(parent);
  return parent;
}
