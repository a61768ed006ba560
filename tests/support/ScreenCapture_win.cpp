#include "ScreenCapture_win.h"

#include <cstring>

#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"

std::unique_ptr<Image> CaptureDrawing(int width, int height, const std::function<void(HDC)>& draw) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedWindowDc screen(nullptr);
  ScopedMemoryDc memory(CreateCompatibleDC(screen.get()));
  ScopedGdiObject bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    ScopedSelection select(memory.get(), bitmap.get());
    draw(memory.get());
    GdiFlush();
  }
  auto image = std::make_unique<Image>(width, height);
  std::memcpy(image->Pixels(), bits, static_cast<size_t>(image->ByteSize()));
  return image;
}

std::unique_ptr<Image> CaptureClient(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  ScopedWindowDc source(window);
  return CaptureDrawing(client.right, client.bottom, [&](HDC dc) {
    BitBlt(dc, 0, 0, client.right, client.bottom, source.get(), 0, 0, SRCCOPY);
  });
}

std::unique_ptr<Image> CapturePainted(HWND window) {
  UpdateWindow(window);
  PumpPending();
  return CaptureClient(window);
}

uint32_t PixelAt(const Image& image, int x, int y) {
  const uint8_t* p =
      image.Pixels() + (static_cast<size_t>(image.Height() - 1 - y) * image.Width() + x) * 4;
  return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

std::vector<uint32_t> Block(const Image& image, int x0, int x1, int y0, int y1) {
  std::vector<uint32_t> colours;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) colours.push_back(PixelAt(image, x, y));
  }
  return colours;
}

uint32_t Rgb(COLORREF colour) {
  return (uint32_t(GetRValue(colour)) << 16) | (uint32_t(GetGValue(colour)) << 8) | GetBValue(colour);
}

int CountPixels(const Image& image, const std::function<bool(uint32_t)>& match) {
  int count = 0;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) count += match(PixelAt(image, x, y)) ? 1 : 0;
  }
  return count;
}

uint64_t ColourHash(const Image& image) {
  uint64_t h = 1469598103934665603ull;
  const uint8_t* p = image.Pixels();
  for (int32_t i = 0; i < image.ByteSize(); ++i) {
    if (i % 4 == 3) continue;
    h = (h ^ p[i]) * 1099511628211ull;
  }
  return h;
}
