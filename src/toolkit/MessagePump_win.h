#pragma once
// The one place where the program takes messages from its queue and dispatches them:
// the main loop, the loop that keeps the interface alive while an archive loads, and the
// waits of tests and benchmarks. After every dispatch it sends on the failure a handler
// let escape (the window routing keeps it, because it must not unwind through the
// system's code), so a failure inside a handler is never lost.
#include <windows.h>

#include <functional>

// Dispatches every message waiting for `window` and its child windows, or for all
// windows of this thread when `window` is null. A WM_QUIT met here is posted again, for
// the main loop, and ends the pumping: returns false then, true otherwise. Rethrows the
// first failure a handler let escape; the messages after it stay queued.
bool PumpPending(HWND window = nullptr);

// Dispatches messages until done() holds or timeoutMs has passed; true if done() held.
// done() is asked again every few milliseconds, also without messages, so it may watch
// what other threads change.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Dispatches messages for `ms` milliseconds.
void PumpFor(DWORD ms);

// The main loop: dispatches until WM_QUIT and returns its exit code. Keys typed in
// `keysWindow` or one of its child windows are first looked up in the accelerator table
// `keys` (none when null); the dialogs and boxes of other windows keep their own.
int RunMessageLoop(HWND keysWindow = nullptr, HACCEL keys = nullptr);
