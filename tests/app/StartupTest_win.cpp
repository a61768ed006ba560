// Start-up's steps, and Pathscope.exe started as a process of its own.
#include <windows.h>
#include <objbase.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>

#include "Wait_win.h"
#include "WindowSearch_win.h"
#include "app/Application_win.h"
#include "app/ProcessValues.h"
#include "app/SystemCheck_win.h"
#include "foundation/Exception.h"
#include "foundation/SystemVersion_win.h"
#include "recording/ArchiveFormat.h"

namespace {

TEST(PrepareProcess, SetsErrorModeCurrentFolderAndParameterHandler) {
  SetCurrentDirectoryW(L"C:\\windows");
  const UINT before = SetErrorMode(0);
  SetErrorMode(0);
  PrepareProcess();
  const UINT mode = SetErrorMode(0);
  SetErrorMode(before);

  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  EXPECT_STREQ(folder, L"C:\\");
  EXPECT_EQ(mode & SEM_FAILCRITICALERRORS, static_cast<UINT>(SEM_FAILCRITICALERRORS));
  EXPECT_EQ(mode & SEM_NOOPENFILEERRORBOX, static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
  const _invalid_parameter_handler installed = _set_invalid_parameter_handler(nullptr);
  _set_invalid_parameter_handler(installed);
  ASSERT_NE(installed, nullptr);
  installed(nullptr, nullptr, nullptr, 0, 0);  // does nothing, and returns
}

// CoInitialize answers S_FALSE on a thread that has COM already: a success.
TEST(InitialiseCom, AcceptsAThreadThatHasComAlready) {
  const struct {
    const char* name;
    bool initialisedBefore;
  } cases[] = {{"first", false}, {"already initialised", true}};
  for (const auto& c : cases) {
    if (c.initialisedBefore) {
      ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    }
    EXPECT_NO_THROW(InitialiseCom()) << c.name;
    CoUninitialize();
    if (c.initialisedBefore) CoUninitialize();
  }
}

TEST(InitialiseCommonControls, RegistersTheControlsTheDialogsUse) {
  ASSERT_NO_THROW(InitialiseCommonControls());
  for (const wchar_t* name : {L"SysDateTimePick32", L"msctls_updown32", L"SysListView32",
                              L"tooltips_class32", L"msctls_trackbar32"}) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    EXPECT_TRUE(GetClassInfoExW(nullptr, name, &wc)) << testing::PrintToString(std::wstring(name));
  }
}

TEST(RecordStartValues, ReadsTheNameAndTheFormatVersion) {
  RecordStartValues(GetModuleHandleW(nullptr));
  EXPECT_EQ(ApplicationName(), L"Pathscope");
  const archive::FormatVersion version = ApplicationFormatVersion();
  EXPECT_EQ(version.high, 4);
  EXPECT_EQ(version.low, 1);
  // The archive reader reads the same entry on its own; both must agree.
  EXPECT_EQ(version, archive::ProcessFormatVersion());
}

TEST(CheckOperatingSystem, KeepsTheExtendedVersionRecord) {
  OSVERSIONINFOEXW expected{};
  ASSERT_TRUE(QuerySystemVersion(expected));
  // An old system would show a notice and wait for it: not the case under test here.
  ASSERT_TRUE(expected.dwMajorVersion > 5 || (expected.dwMajorVersion == 5 && expected.dwMinorVersion >= 1));
  CheckOperatingSystem();
  const OSVERSIONINFOEXW& kept = SystemVersion();
  EXPECT_EQ(kept.dwOSVersionInfoSize, sizeof(OSVERSIONINFOEXW));
  EXPECT_EQ(kept.dwMajorVersion, expected.dwMajorVersion);
  EXPECT_EQ(kept.dwMinorVersion, expected.dwMinorVersion);
  EXPECT_EQ(kept.dwBuildNumber, expected.dwBuildNumber);
}

struct Found {
  DWORD process;
  HWND window;
};

BOOL CALLBACK TakeProcessWindow(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<Found*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != found->process || GetWindow(window, GW_OWNER) != nullptr || !IsWindowVisible(window)) return TRUE;
  found->window = window;
  return FALSE;
}

TEST(PathscopeExe, ShowsItsTitledWindowAndEndsWithZeroOnClose) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + std::wstring(PATHSCOPE_EXE) + L"\"";
  ASSERT_TRUE(CreateProcessW(PATHSCOPE_EXE, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  Found found{process.dwProcessId, nullptr};
  const bool shown = WaitFor([&] {
    EnumWindows(TakeProcessWindow, reinterpret_cast<LPARAM>(&found));
    return found.window != nullptr;
  }, kPatienceMs);
  DWORD exitCode = 12345;
  if (shown) {
    EXPECT_EQ(WindowText(found.window), L"Pathscope");
    PostMessageW(found.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, kPatienceMs), WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &exitCode);
  } else {
    ADD_FAILURE() << "no window within the deadline";
    TerminateProcess(process.hProcess, 99);
  }
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
