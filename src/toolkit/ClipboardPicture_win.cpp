#include "toolkit/ClipboardPicture_win.h"

#include <cstring>

#include "toolkit/Image.h"
#include "toolkit/ScopedWin_win.h"

namespace {

size_t DibRowBytes(int32_t width) { return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3); }

// A movable block holding `bytes`, as the clipboard takes it; null when memory runs out.
ScopedGlobalMemory GlobalCopy(const std::vector<uint8_t>& bytes) {
  ScopedGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
  if (!block) return block;
  void* at = GlobalLock(block.get());
  if (at == nullptr) return ScopedGlobalMemory();
  std::memcpy(at, bytes.data(), bytes.size());
  GlobalUnlock(block.get());
  return block;
}

}  // namespace

std::vector<uint8_t> PackedDib(const Image& image) {
  const int32_t width = image.Width();
  const int32_t height = image.Height();
  const size_t rowBytes = DibRowBytes(width);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // positive: bottom-up, as the Image is
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(rowBytes * static_cast<size_t>(height));
  std::vector<uint8_t> dib(sizeof header + header.biSizeImage, 0);
  std::memcpy(dib.data(), &header, sizeof header);
  const uint8_t* from = image.Pixels();
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = dib.data() + sizeof header + rowBytes * static_cast<size_t>(y);
    for (int32_t x = 0; x < width; ++x, from += 4) std::memcpy(row + static_cast<size_t>(x) * 3, from, 3);
  }
  return dib;
}

bool CopyPictureToClipboard(HWND owner, const Image& image) {
  ScopedGlobalMemory block = GlobalCopy(PackedDib(image));
  if (!block) return false;
  ScopedClipboard clipboard(owner);
  if (!clipboard.opened() || !EmptyClipboard()) return false;
  if (SetClipboardData(CF_DIB, block.get()) == nullptr) return false;
  block.release();  // the clipboard's now
  return true;
}
