#pragma once
// What the benchmarks' players are owned by: a bare 640 x 480 window that answers the
// player's questions with nothing and prints its warnings, and the process's processor
// time. A benchmark derives from it to record the frames asked for and painted.
#include <windows.h>

#include <cstdio>
#include <string>

#include "playback/IPlayerOwner_win.h"
#include "toolkit/Window_win.h"

class BenchOwner : public Window, public IPlayerOwner {
 public:
  explicit BenchOwner(const wchar_t* title) {
    WindowCreateParams p;
    p.className = MAKEINTATOM(defaultClass());
    p.title = title;
    p.style = WS_POPUP | WS_VISIBLE;
    p.width = 640;
    p.height = 480;
    p.instance = classInstance();
    create(p);
  }
  HWND ownerWindow() const override { return handle(); }
  void refreshPlayback() override {}
  void runCommand(WORD) override {}
  void seekTo(int32_t) override {}
  void setBusy(bool) override {}
  void recordingChanged() override {}
  void resetView() override {}
  void showWarning(const std::wstring& text) override { fwprintf(stderr, L"warning: %ls\n", text.c_str()); }
};

// Kernel and user time of the process so far, in seconds.
inline double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto seconds = [](const FILETIME& t) {
    return (double(t.dwHighDateTime) * 4294967296.0 + double(t.dwLowDateTime)) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}
