#pragma once
// The folder chooser: the system's folder browser, with which the user picks a folder
// (the memory card's drive, in the device commands).
#include <windows.h>

#include <string>

// Runs the system's folder browser titled `title`, owned by `owner`, with the folder in
// `path` selected at first. True when the user chose a folder that has a file-system
// path; `path` then holds it. `path` is left as it was otherwise: after a cancel
// silently, after a choice without a file-system path (a virtual item) with warning
// 5004 owned by `owner`.
bool ChooseFolder(HWND owner, const std::wstring& title, std::wstring& path);
