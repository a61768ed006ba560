#pragma once
// The file chooser for recording archives.
#include <windows.h>

#include <string>

// Where the chooser starts for `currentPath`: its folder when it names an existing file
// (the recording opened last), the path itself otherwise (a folder).
std::wstring ChooserStartFolder(const std::wstring& currentPath);

// Runs the system's open-file dialog for "*.dat" files, owned by `owner`, starting in
// ChooserStartFolder(currentPath); every folder it shows is listed in the details view.
// True when the user chose a file; `chosen` then holds its path.
bool ChooseRecordingFile(HWND owner, const std::wstring& currentPath, std::wstring& chosen);
