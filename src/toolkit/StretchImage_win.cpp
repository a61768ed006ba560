#include "toolkit/StretchImage_win.h"

bool StretchImage(HDC dc, const Image& image, int xDest, int yDest, int destWidth, int destHeight,
                  int xSrc, int srcWidth, int srcHeight) {
  BITMAPINFO info = {};
  BITMAPINFOHEADER& header = info.bmiHeader;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = image.Width();
  header.biHeight = image.Height();  // positive: rows are stored bottom-up
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = DWORD((image.Width() * 4 + 3) & ~3) * DWORD(image.Height());
  return StretchDIBits(dc, xDest, yDest, destWidth, destHeight, xSrc, 0, srcWidth, srcHeight,
                       image.Pixels(), &info, DIB_RGB_COLORS, SRCCOPY) != 0;
}
