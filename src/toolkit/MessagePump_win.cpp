#include "toolkit/MessagePump_win.h"

#include <algorithm>

#include "foundation/Exception.h"
#include "toolkit/Window_win.h"

namespace {

// How long PumpUntil sleeps at most before it asks done() again.
constexpr DWORD kLookAgainMs = 5;

void Dispatch(const MSG& msg) {
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  Window::rethrowPendingFailure();
}

// Pumps until done() holds or the time is up, sleeping between pumps until a message
// comes or lookAgainMs has passed.
bool Pump(const std::function<bool()>& done, DWORD timeoutMs, DWORD lookAgainMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (!PumpPending()) return done();
    if (done()) return true;
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min(timeoutMs - spent, lookAgainMs),
                              QS_ALLINPUT);
  }
}

bool IsArrow(WPARAM key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }

// Whether the focused control claims the key for itself, as it would tell a dialog: a
// list moving its selection with the arrows keeps them.
bool FocusKeepsKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
  const LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
  if ((code & DLGC_WANTMESSAGE) != 0) return true;
  return msg.message == WM_KEYDOWN && (code & DLGC_WANTARROWS) != 0 && IsArrow(msg.wParam);
}

}  // namespace

bool PumpPending(HWND window) {
  MSG msg;
  while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    Dispatch(msg);
  }
  return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  return Pump(done, timeoutMs, kLookAgainMs);
}

// Nothing to watch: sleeps until a message comes, as a message loop does.
void PumpFor(DWORD ms) {
  Pump([] { return false; }, ms, INFINITE);
}

int RunMessageLoop(HWND keysWindow, HACCEL keys) {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) throw WindowException(static_cast<uint32_t>(GetLastError()));
    const bool key = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_CHAR ||
                     msg.message == WM_SYSCHAR;
    const bool inKeysWindow =
        key && keys != nullptr && (msg.hwnd == keysWindow || IsChild(keysWindow, msg.hwnd));
    if (inKeysWindow && !FocusKeepsKey(msg) && TranslateAcceleratorW(keysWindow, keys, &msg) != 0) {
      Window::rethrowPendingFailure();
      continue;
    }
    Dispatch(msg);
  }
}
