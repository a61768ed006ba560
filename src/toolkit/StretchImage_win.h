#pragma once
// The one way a picture reaches a device context: an opaque stretch-copy of a bottom-up
// 32-bit device-independent bitmap.
#include <windows.h>

#include "toolkit/Image.h"

// Copies the source rectangle (xSrc, 0, srcWidth, srcHeight) of `image`, stretched, to
// the destination rectangle with the context's stretch mode. Source row 0 is the
// picture's bottom edge. False when the system reports that nothing was copied.
bool StretchImage(HDC dc, const Image& image, int xDest, int yDest, int destWidth, int destHeight,
                  int xSrc, int srcWidth, int srcHeight);
