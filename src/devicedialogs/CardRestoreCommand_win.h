#pragma once
// The memory-card restore as the user runs it: choose the card, confirm, choose
// whether the old settings stay, then the restore steps under the wait cursor and one
// message with the outcome.
#include <windows.h>

#include <string>

// Owned by `owner`; `card` is the chooser's starting folder and takes the folder
// chosen. False when the user stopped before anything was written.
bool RunCardRestore(HWND owner, std::wstring& card);
