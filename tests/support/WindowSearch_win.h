#pragma once
// Finding the windows a test works with, and reading what they show.
#include <windows.h>

#include <string>

// The thread's visible top-level dialog window, or null. `except` is skipped.
HWND FindThreadDialog(DWORD thread, HWND except = nullptr);


// The first descendant of `parent` of the window class `className`, or null.
HWND FindChildOfClass(HWND parent, const wchar_t* className);

// The text of the selected item of a tree of this process; empty when none is selected.
std::wstring SelectedTreeItemText(HWND tree);

// The texts of a window and its class.
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
