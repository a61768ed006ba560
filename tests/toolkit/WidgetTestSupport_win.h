#pragma once
// Helpers for the widget tests: one visible top-level window that hosts the widgets
// under test, the messages a user's mouse and keyboard produce, and the client area as
// the display shows it.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Image.h"

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

// The window's client area as drawn on the display, bottom-up BGRX like an Image, taken
// after every pending paint has been done.
std::unique_ptr<Image> CaptureClient(HWND window);
// The colour at (x, y) counted from the top, as 0xRRGGBB.
uint32_t PixelAt(const Image& image, int x, int y);
// The columns [x0, x1) of rows [y0, y1) as 0xRRGGBB, row after row, counted from the top.
std::vector<uint32_t> Block(const Image& image, int x0, int x1, int y0, int y1);
// The text `tooltip` holds for the tool of `control` (a tool whose id is its handle).
std::wstring ToolText(HWND tooltip, HWND control);
// The system's colour for an index, as 0xRRGGBB.
uint32_t SystemColour(int index);
