#pragma once
// Extraction of a cabinet archive (already a file on disk) into a folder on the card.
#include <string>

// Extracts every member of the cabinet at `cabinetPath` into `destination` (a folder,
// without trailing backslash), gives each file the cabinet's date and time (local time),
// checks its size and marks it hidden and read-only. Members replace existing files of
// the same name, read-only ones included.
//
// The members are written into a staging folder inside the destination and moved into
// place only when every one of them is complete; the files they replace wait in that
// folder until all are placed. Any failure (IOException with a message 5027..5041),
// a replaced file held open by another program included, leaves the destination's files
// as they were, with their attributes. A member whose name is not a
// plain file name (a folder part, a drive, "..", a device name or a character Windows
// forbids) fails the whole extraction as a damaged cabinet.
void ExtractCabinet(const std::wstring& cabinetPath, const std::wstring& destination);
