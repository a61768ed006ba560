#pragma once
// Helpers for the widget tests: one visible top-level window that hosts the widgets
// under test and the messages a user's mouse and keyboard produce.
#include <windows.h>

#include <string>

// A visible top-level window made once for the whole program (showing a window costs
// Wine seconds without a window manager). It lies far from the pointer's resting place.
HWND WidgetHost();

// What a user's mouse sends a window, at client (x, y); negative coordinates arrive as
// their 16-bit patterns, as the system packs them.
void MouseDown(HWND window, int x, int y);
void MouseMove(HWND window, int x, int y);
void MouseUp(HWND window, int x, int y);
void KeyDown(HWND window, WPARAM key, bool repeat = false);
void KeyUp(HWND window, WPARAM key);

// The text `tooltip` holds for the tool of `control` (a tool whose id is its handle).
std::wstring ToolText(HWND tooltip, HWND control);
