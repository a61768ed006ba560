#pragma once
// Message texts and the two conversions between wide and byte strings.
//
// Every text the user sees is a string-table entry fetched by id when it is needed.
// Wide strings are std::wstring: UTF-16 on Windows, UTF-32 in the host build.
#include <string>

// The text of entry `id`, or the empty string when the table has no such entry.
std::wstring LoadText(unsigned id);

// The same text fetched as a byte string and converted with ToWide. Used where the
// wide loader is not to be relied on (start-up checks, the Windows-error fallback).
std::wstring LoadTextAnsi(unsigned id);

// Byte string in the system's OEM code page -> wide string.
std::wstring ToWide(const std::string& bytes);

// Wide string -> byte string in the system's ANSI code page. Characters the code page
// lacks become the code page's default character.
std::string ToNarrow(const std::wstring& wide);
