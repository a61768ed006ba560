#pragma once
// Owners of system handles: each releases its handle the way the system requires,
// once, when it goes out of scope. Move-only.
#include <windows.h>
#include <commctrl.h>

#include <utility>

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::invalid(); }

  Handle release() { return std::exchange(handle_, Traits::invalid()); }
  void reset(Handle handle = Traits::invalid()) {
    const Handle old = std::exchange(handle_, handle);
    if (old != Traits::invalid()) Traits::close(old);
  }

 private:
  Handle handle_ = Traits::invalid();
};

struct KernelHandleTraits {  // events, threads, files opened with CreateFileW
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { CloseHandle(h); }
};
using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;

struct WindowHandleTraits {  // a window this code created and no object owns
  using Handle = HWND;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) {
    if (IsWindow(h)) DestroyWindow(h);
  }
};
using ScopedWindowHandle = ScopedHandle<WindowHandleTraits>;

struct GdiObjectTraits {  // bitmaps, brushes, pens, fonts, regions
  using Handle = HGDIOBJ;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DeleteObject(h); }
};
using ScopedGdiObject = ScopedHandle<GdiObjectTraits>;

struct MemoryDcTraits {  // a DC from CreateCompatibleDC or CreateDCW
  using Handle = HDC;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DeleteDC(h); }
};
using ScopedMemoryDc = ScopedHandle<MemoryDcTraits>;

struct ImageListTraits {  // an image list from ImageList_Create
  using Handle = HIMAGELIST;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { ImageList_Destroy(h); }
};
using ScopedImageList = ScopedHandle<ImageListTraits>;

struct GlobalMemoryTraits {  // a block from GlobalAlloc that no one else took over
  using Handle = HGLOBAL;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { GlobalFree(h); }
};
using ScopedGlobalMemory = ScopedHandle<GlobalMemoryTraits>;

// The clipboard opened for `owner`, closed again on every way out; opened() tells
// whether another program held it.
class ScopedClipboard {
 public:
  explicit ScopedClipboard(HWND owner) : opened_(OpenClipboard(owner) != FALSE) {}
  ~ScopedClipboard() {
    if (opened_) CloseClipboard();
  }
  ScopedClipboard(const ScopedClipboard&) = delete;
  ScopedClipboard& operator=(const ScopedClipboard&) = delete;

  bool opened() const { return opened_; }

 private:
  bool opened_;
};

// A window's DC from GetDC, given back with ReleaseDC.
class ScopedWindowDc {
 public:
  explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedWindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint/EndPaint around a WM_PAINT handler.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  ~ScopedPaint() { EndPaint(window_, &ps_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  HDC get() const { return dc_; }
  const PAINTSTRUCT& info() const { return ps_; }

 private:
  HWND window_;
  PAINTSTRUCT ps_ = {};
  HDC dc_ = nullptr;
};

// An object selected into a DC for the scope, the previous one selected back after.
class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
