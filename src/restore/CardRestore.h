#pragma once
// The steps of the memory-card restore: each takes the folder the user chose (usually
// a drive root such as "E:") and raises an Exception of the family on failure.
#include <string>

// Replaces the card's settings file with the standard settings, hidden and read-only;
// on failure the settings file is deleted and the failure's text raised.
void WriteDefaultSettings(const std::wstring& drive);

#ifdef _WIN32
// Extracts the device program carried in the executable ("BINARY" 309) onto the card,
// through a temporary cabinet file in "C:\Temp" that is deleted on every path. Without
// the resource: Exception "車載プログラムがバンドルされていないため、展開できません。".
void ExtractDeviceFiles(const std::wstring& drive);

// Copies the running executable onto the card as "Pathscope.exe" unless it runs from
// there already, and checks the copy's size; an incomplete copy is deleted.
void CopyViewer(const std::wstring& drive);
#endif
