#include "foundation/SystemErrorText.h"

// Windows error codes mean nothing to the host system.
bool SystemErrorText(uint32_t, std::wstring&) { return false; }
