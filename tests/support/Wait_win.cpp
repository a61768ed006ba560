#include "Wait_win.h"

#include "toolkit/MessagePump_win.h"

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) { return PumpUntil(done, timeoutMs); }
