#pragma once
// The one way a test waits: for a state, never for a time. While it waits it dispatches
// the calling thread's messages, so the windows of that thread go on working, and it asks
// again every few milliseconds, so it also sees what other threads and processes change.
#include <windows.h>

#include <functional>

// How long any test waits for a state before it counts it as never reached: far more than
// a busy machine needs, so that running out means a fault, not a slow machine.
constexpr DWORD kPatienceMs = 60000;

// True once `done` holds; false when it did not within `timeoutMs`.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = kPatienceMs);
