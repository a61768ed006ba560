#pragma once
// Reading back what windows and bitmaps show, for tests that check drawing by pixels.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "toolkit/Image.h"

// The window's client area as drawn on the display, bottom-up BGRX like an Image.
std::unique_ptr<Image> CaptureClient(HWND window);

// What `draw` paints into a fresh width x height 32-bit bitmap, bottom-up BGRX.
std::unique_ptr<Image> CaptureDrawing(int width, int height, const std::function<void(HDC)>& draw);

// The colour at (x, y) counted from the top, as 0xRRGGBB.
uint32_t PixelAt(const Image& image, int x, int y);

// 0xRRGGBB of a COLORREF.
uint32_t Rgb(COLORREF colour);

// How many pixels satisfy `match` (given 0xRRGGBB).
int CountPixels(const Image& image, const std::function<bool(uint32_t)>& match);

// FNV-1a over the colour bytes only (the fourth byte is whatever the display keeps).
uint64_t ColourHash(const Image& image);

// A top-level window of "DefaultWindow" shown without activation, for children to be
// drawn in; destroy it when done.
HWND ShowTestParent(int width, int height, HBRUSH background = nullptr);
