#pragma once
// Reading back what windows and bitmaps show, for tests that check drawing by pixels.
// Images are bottom-up BGRX like every Image; coordinates count from the top.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "toolkit/Image.h"

// What `draw` paints into a fresh width x height 32-bit bitmap.
std::unique_ptr<Image> CaptureDrawing(int width, int height, const std::function<void(HDC)>& draw);

// The window's client area as the display shows it now.
std::unique_ptr<Image> CaptureClient(HWND window);

// The same, taken after the window's pending paint and every message waiting for the
// thread have been handled (a widget driven by sent messages may post its redraws).
std::unique_ptr<Image> CapturePainted(HWND window);

// The colour at (x, y) as 0xRRGGBB.
uint32_t PixelAt(const Image& image, int x, int y);

// The columns [x0, x1) of rows [y0, y1) as 0xRRGGBB, row after row.
std::vector<uint32_t> Block(const Image& image, int x0, int x1, int y0, int y1);

// 0xRRGGBB of a COLORREF.
uint32_t Rgb(COLORREF colour);

// How many pixels satisfy `match` (given 0xRRGGBB).
int CountPixels(const Image& image, const std::function<bool(uint32_t)>& match);

// FNV-1a over the colour bytes only (the fourth byte is whatever the display keeps).
uint64_t ColourHash(const Image& image);
