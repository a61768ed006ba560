// Drawing and resource loading of AlphaImage: the Windows half.
#include "toolkit/AlphaImage.h"

#include "toolkit/FindResourceData_win.h"
#include "toolkit/ImageDecoding.h"

AlphaImage::AlphaImage(int resourceId) {
  size_t size = 0;
  const void* data = FindResourceData(L"IMAGE", MAKEINTRESOURCEW(resourceId), &size);
  image = DecodePngImage(static_cast<const uint8_t*>(data), size);
}

void AlphaImage::Draw(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                      int srcWidth, int srcHeight) const {
  if (!image) return;
  BITMAPINFO info = {};
  BITMAPINFOHEADER& header = info.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = image->Width();
  header.biHeight = image->Height();  // positive: rows are stored bottom-up
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = DWORD((image->Width() * 4 + 3) & ~3) * DWORD(image->Height());
  StretchDIBits(dc, xDest, yDest, destWidth, destHeight, xSrc, 0, srcWidth, srcHeight,
                image->Pixels(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void AlphaImage::DrawAt(HDC dc, int x, int y) const {
  Draw(dc, x, y, Width(), Height(), 0, Width(), Height());
}

void AlphaImage::DrawSized(HDC dc, int x, int y, int w, int h) const {
  Draw(dc, x, y, w, h, 0, Width(), Height());
}
