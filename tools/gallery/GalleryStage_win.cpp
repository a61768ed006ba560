#include "GalleryStage_win.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "foundation/Exception.h"
#include "toolkit/MessagePump_win.h"
#include "toolkit/ScopedWin_win.h"

namespace {

const wchar_t kStageClass[] = L"PathscopeGalleryStage";
const COLORREF kSurface = RGB(0x23, 0x27, 0x2C);
// Far enough from the screen's corner that a tooltip above a widget stays on screen.
const int kStageLeft = 40;
const int kStageTop = 60;

[[noreturn]] void ThrowLastError() { throw WindowException(static_cast<uint32_t>(GetLastError())); }

ATOM RegisterStageClass() {
  static ATOM atom = 0;
  if (atom != 0) return atom;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(kSurface);  // lives as long as the class
  wc.lpszClassName = kStageClass;
  atom = RegisterClassExW(&wc);
  if (atom == 0) ThrowLastError();
  return atom;
}

BOOL CALLBACK DestroyChild(HWND child, LPARAM) {
  DestroyWindow(child);
  return TRUE;
}

// Tooltips are popups owned by the stage, not its children.
BOOL CALLBACK DestroyOwned(HWND window, LPARAM stage) {
  if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(stage)) DestroyWindow(window);
  return TRUE;
}

void WriteBmp(const std::wstring& path, int width, int height, const std::vector<uint8_t>& bottomUpBgrx) {
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + bottomUpBgrx.size());
  std::unique_ptr<FILE, int (*)(FILE*)> out(_wfopen(path.c_str(), L"wb"), fclose);
  if (!out) ThrowLastError();
  const bool written = fwrite(&file, sizeof file, 1, out.get()) == 1 &&
                       fwrite(&info, sizeof info, 1, out.get()) == 1 &&
                       fwrite(bottomUpBgrx.data(), 1, bottomUpBgrx.size(), out.get()) == bottomUpBgrx.size();
  if (!written) throw WindowException(ERROR_WRITE_FAULT);
}

}  // namespace

GalleryStage::GalleryStage() {
  const ATOM atom = RegisterStageClass();
  window_ = CreateWindowExW(0, MAKEINTATOM(atom), L"Pathscope gallery", WS_POPUP | WS_VISIBLE,
                            kStageLeft, kStageTop, 100, 100, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) ThrowLastError();
}

GalleryStage::~GalleryStage() {
  if (IsWindow(window_)) DestroyWindow(window_);
}

void GalleryStage::reset(int width, int height) {
  EnumChildWindows(window_, DestroyChild, 0);
  EnumThreadWindows(GetCurrentThreadId(), DestroyOwned, reinterpret_cast<LPARAM>(window_));
  SetWindowPos(window_, HWND_TOP, kStageLeft, kStageTop, width, height, SWP_SHOWWINDOW);
  InvalidateRect(window_, nullptr, TRUE);
  UpdateWindow(window_);
}

void GalleryStage::settle(unsigned ms) const {
  PumpFor(ms);
}

void GalleryStage::capture(const std::wstring& path) const {
  RECT client{};
  GetClientRect(window_, &client);
  POINT origin{0, 0};
  ClientToScreen(window_, &origin);
  const int width = client.right;
  const int height = client.bottom;
  ScopedWindowDc screen(nullptr);
  ScopedMemoryDc memory(CreateCompatibleDC(screen.get()));
  ScopedGdiObject bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !bitmap) ThrowLastError();
  {
    ScopedSelection selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), origin.x, origin.y, SRCCOPY)) ThrowLastError();
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  if (GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, height, pixels.data(), &info,
                DIB_RGB_COLORS) != height) {
    ThrowLastError();
  }
  WriteBmp(path, width, height, pixels);
}
