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

int RunMessageLoop() {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) throw WindowException(static_cast<uint32_t>(GetLastError()));
    Dispatch(msg);
  }
}
