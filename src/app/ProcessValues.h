#pragma once
// The values start-up reads from the executable once, before any window exists, and
// that the rest of the program only reads afterwards.
#include <string>

#include "recording/ArchiveFormat.h"

void RecordApplicationValues(std::wstring name, archive::FormatVersion version);

// The application name (empty before start-up recorded it).
const std::wstring& ApplicationName();
// The recording format version (4, 1 before start-up recorded it).
archive::FormatVersion ApplicationFormatVersion();
