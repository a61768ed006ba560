#pragma once
// Runs one test of a copy of the test program as a process of its own (for checks that
// depend on where the program runs from). The probe finds its argument in the
// environment variable PATHSCOPE_PROBE_CARD and skips itself when it is not set.
#include <windows.h>

#include <string>

// The probe's exit code, 0 when it passed.
inline DWORD RunProbe(const std::wstring& program, const std::wstring& testFilter, const std::wstring& card) {
  std::wstring command = L"\"" + program + L"\" --gtest_filter=" + testFilter;
  SetEnvironmentVariableW(L"PATHSCOPE_PROBE_CARD", card.c_str());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(L"PATHSCOPE_PROBE_CARD", nullptr);
  if (!started) return 1000 + GetLastError();
  if (WaitForSingleObject(pi.hProcess, 240000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 999);
  DWORD code = 998;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}
