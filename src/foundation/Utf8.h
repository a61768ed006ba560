#pragma once
// UTF-8 at the program's text borders (console output, command-line arguments of the
// host build). Wide strings are UTF-16 on Windows and UTF-32 elsewhere; both are handled.
#include <string>

std::string ToUtf8(const std::wstring& wide);
// Malformed sequences become U+FFFD.
std::wstring FromUtf8(const std::string& utf8);
