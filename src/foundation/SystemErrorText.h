#pragma once
// The operating system's own text for an error code, if it has one.
#include <cstdint>
#include <string>

// True and the text (as the system words it, line break included) when the system
// knows the code; false otherwise.
bool SystemErrorText(uint32_t code, std::wstring& text);
