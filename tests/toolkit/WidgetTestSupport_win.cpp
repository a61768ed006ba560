#include "WidgetTestSupport_win.h"

#include <commctrl.h>

#include <cstring>

#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/Window_win.h"

namespace {

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace

HWND WidgetHost() {
  static const HWND host = [] {
    Window registersTheClass;
    const HWND h = CreateWindowExW(0, MAKEINTATOM(Window::defaultClass()), L"widgets",
                                   WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 420, 240,
                                   nullptr, nullptr, Window::classInstance(), nullptr);
    UpdateWindow(h);
    PumpPending();
    return h;
  }();
  return host;
}

void MouseDown(HWND window, int x, int y) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
}
void MouseMove(HWND window, int x, int y) {
  SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, Point(x, y));
}
void MouseUp(HWND window, int x, int y) { SendMessageW(window, WM_LBUTTONUP, 0, Point(x, y)); }

// Bit 30 of a key message says the key was down before: set on auto-repeat.
void KeyDown(HWND window, WPARAM key, bool repeat) {
  SendMessageW(window, WM_KEYDOWN, key, repeat ? 0x40000001 : 1);
}
void KeyUp(HWND window, WPARAM key) { SendMessageW(window, WM_KEYUP, key, 0xC0000001); }

std::unique_ptr<Image> CaptureClient(HWND window) {
  UpdateWindow(window);
  PumpPending();
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

uint32_t SystemColour(int index) {
  const COLORREF c = GetSysColor(index);
  return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

std::wstring ToolText(HWND tooltip, HWND control) {
  wchar_t text[80] = {};
  TTTOOLINFOW info = {};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = GetParent(tooltip);
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
  return text;
}
