#include "app/Application_win.h"

#include <commctrl.h>
#include <objbase.h>
#include <stdlib.h>

#include "app/FailureGuard.h"
#include "app/FormatVersionText.h"
#include "app/MainWindow_win.h"
#include "app/ProcessValues.h"
#include "app/SystemCheck_win.h"
#include "foundation/Exception.h"
#include "foundation/ModuleInstance_win.h"
#include "foundation/Report_win.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/MessagePump_win.h"

namespace {

void IgnoreInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t) {}

// Every class flag from ICC_LISTVIEW_CLASSES to ICC_NATIVEFNTCTL_CLASS.
constexpr DWORD kAllControlClasses = 0x3FFF;

}  // namespace

void PrepareProcess() {
  const UINT current = SetErrorMode(0);
  SetErrorMode(current | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  SetCurrentDirectoryW(L"C:\\");
  _set_invalid_parameter_handler(IgnoreInvalidParameter);
}

void InitialiseCom() {
  if (FAILED(CoInitialize(nullptr))) throw SystemException(LoadText(kTextComInitFailed));
}

void InitialiseCommonControls() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = kAllControlClasses;
  if (!InitCommonControlsEx(&controls)) throw SystemException(LoadText(kTextCommonControlsFailed));
}

void RecordStartValues(HINSTANCE instance) {
  SetModuleInstance(instance);
  RecordApplicationValues(LoadText(kTextAppName), FormatVersionFromText(LoadText(kTextFormatVersion)));
}

int RunApplication(HINSTANCE instance, int showCommand) {
  RecordStartValues(instance);
  MainWindow* window = MainWindow::Create();
  ShowWindow(window->handle(), showCommand);
  UpdateWindow(window->handle());
  window->startWaitingAnimation();
  // A failure a handler lets escape leaves the loop and reaches the fatal report.
  return RunMessageLoop(window->handle(), window->keys());
}

int StartApplication(HINSTANCE instance, int showCommand) {
  PrepareProcess();
  CheckOperatingSystem();
  return RunReportingFailures(
      [&] {
        InitialiseCom();
        InitialiseCommonControls();
        return RunApplication(instance, showCommand);
      },
      ReportFatal);
}
