// Drawing and resource loading of AlphaImage: the Windows half.
#include "toolkit/AlphaImage.h"

#include "toolkit/FindResourceData_win.h"
#include "toolkit/ImageDecoding.h"
#include "toolkit/StretchImage_win.h"

AlphaImage::AlphaImage(int resourceId) {
  size_t size = 0;
  const void* data = FindResourceData(L"IMAGE", MAKEINTRESOURCEW(resourceId), &size);
  image = DecodePngImage(static_cast<const uint8_t*>(data), size);
}

void AlphaImage::Draw(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                      int srcWidth, int srcHeight) const {
  if (!image) return;
  StretchImage(dc, *image, xDest, yDest, destWidth, destHeight, xSrc, srcWidth, srcHeight);
}

void AlphaImage::DrawAt(HDC dc, int x, int y) const {
  Draw(dc, x, y, Width(), Height(), 0, Width(), Height());
}

void AlphaImage::DrawSized(HDC dc, int x, int y, int w, int h) const {
  Draw(dc, x, y, w, h, 0, Width(), Height());
}
