// Start-up of the viewer: one top-level window titled with the application name and the
// message loop. The main window with its panels grows from here.
#include <windows.h>

#include "foundation/Exception.h"
#include "foundation/ModuleInstance_win.h"
#include "foundation/Report_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/MessagePump_win.h"

namespace {

const wchar_t kMainWindowClass[] = L"PathscopeMainWindow";

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int Run(HINSTANCE instance, int showCommand) {
  SetModuleInstance(instance);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassExW(&wc)) throw WindowException(static_cast<uint32_t>(GetLastError()));
  const std::wstring title = LoadText(kTextAppName);
  HWND window = CreateWindowExW(0, kMainWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 800, 600, nullptr, nullptr, instance, nullptr);
  if (!window) throw WindowException(static_cast<uint32_t>(GetLastError()));
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  // A failure a window's handler let escape ends the loop and is reported below.
  return RunMessageLoop();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  try {
    return Run(instance, showCommand);
  } catch (const Exception& e) {
    ReportFatal(&e);
  } catch (...) {
    ReportFatal(nullptr);
  }
  return 0;
}
