#pragma once
// The dialogs of another process (its settings dialogs, the folder chooser they open and
// their message boxes), found, read and worked from outside as the user works them: keys
// and clicks arrive as the messages the keyboard and the mouse produce. What the screen
// shows but no message carries across processes (a tree's selection, a picker's date) is
// read through a structure placed in the other process.
#include <windows.h>

#include <string>

#include "ModalScript_win.h"
#include "Wait_win.h"

// A visible, enabled dialog window of `process` of that kind, other than `except`,
// waited for; null when none came in time.
HWND AwaitProcessDialog(DWORD process, ModalKind kind, HWND except = nullptr, DWORD timeoutMs = kPatienceMs);

// The folder chooser's tree, and the text of its selected item (empty when none).
HWND ChooserTree(HWND chooser);
std::wstring SelectedTreeText(HWND tree);

// The date a date picker holds; false when it cannot be read.
bool PickerDate(HWND picker, SYSTEMTIME& date);

// A key pressed and released `times` times, as the message loop receives it (the dialog
// manager sees it first).
void PostKey(HWND window, WPARAM key, int times = 1);
// Characters typed, as they arrive once translated; L'\b' is Backspace.
void PostChars(HWND window, const std::wstring& text);

// A button of a dialog clicked at its centre.
void ClickButton(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);

// The text a control holds now (an edit's as typed), asked of the control itself.
std::wstring ControlText(HWND control);
