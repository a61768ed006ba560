#pragma once
// Copies and formatting into fixed-size text buffers. A text that does not fit leaves
// an empty result: nothing is cut in the middle of a path and nothing overruns.
#include <cstddef>
#include <string>

// Copies `source` and its terminator into `dest` (capacity `units`). Returns false and
// leaves `dest` empty when it does not fit.
bool CopyBounded(wchar_t* dest, size_t units, const wchar_t* source);
bool CopyBounded(char* dest, size_t bytes, const char* source);

// Formats like swprintf into `dest` (capacity `units`, terminator included). Returns
// false and leaves `dest` empty when the result does not fit or the format fails.
bool FormatInto(wchar_t* dest, size_t units, const wchar_t* format, ...);

// The same into a string, as if formatted into a buffer of `units` units: an empty
// string when the result would not fit.
std::wstring FormatBounded(size_t units, const wchar_t* format, ...);
