#pragma once
// What a window shows on the display, for tests that check pixels.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "toolkit/Image.h"
#include "toolkit/ScopedWin_win.h"

// The window's client area as drawn on the display, bottom-up BGRX like an Image.
inline std::unique_ptr<Image> CaptureClient(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  const int w = client.right;
  const int h = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedWindowDc screen(window);
  ScopedMemoryDc memory(CreateCompatibleDC(screen.get()));
  ScopedGdiObject bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    ScopedSelection select(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, w, h, screen.get(), 0, 0, SRCCOPY);
    GdiFlush();
  }
  auto image = std::make_unique<Image>(w, h);
  std::memcpy(image->Pixels(), bits, static_cast<size_t>(image->ByteSize()));
  return image;
}

// The colour at (x, y) counted from the top, as 0xRRGGBB.
inline uint32_t PixelAt(const Image& image, int x, int y) {
  const uint8_t* p = image.Pixels() + (static_cast<size_t>(image.Height() - 1 - y) * image.Width() + x) * 4;
  return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

// FNV-1a over the colour bytes only (the fourth byte is whatever the display keeps).
inline uint64_t ColourHash(const Image& image) {
  uint64_t h = 1469598103934665603ull;
  const uint8_t* p = image.Pixels();
  for (int32_t i = 0; i < image.ByteSize(); ++i) {
    if (i % 4 == 3) continue;
    h = (h ^ p[i]) * 1099511628211ull;
  }
  return h;
}
