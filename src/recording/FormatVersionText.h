#pragma once
// The recording format version as the program reads it from its string-table entry.
#include <string>

#include "recording/ArchiveFormat.h"

namespace archive {

// Parses `text` as a signed hexadecimal number the way the C library's strtol does with
// base 16 (leading white space, a sign and a "0x" prefix accepted; the number ends at
// the first character that is no hexadecimal digit; a long is 32 bits). When at least
// one digit was read and the value is at most 0xFFFF, bits 8..15 become the major byte
// and bits 0..7 the minor byte; otherwise the default version (4, 1) is returned.
FormatVersion FormatVersionFromText(const std::wstring& text);

}  // namespace archive
