#pragma once
// The owning holder of a decoded picture that widgets keep and draw. The picture may be
// absent (the bytes were not a valid PNG): such a holder reports size 0 and draws
// nothing.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "toolkit/Image.h"

#ifdef _WIN32
#include <windows.h>
#endif

class AlphaImage {
 public:
  AlphaImage() = default;
  explicit AlphaImage(std::unique_ptr<Image> image) : image(std::move(image)) {}
  // Decodes PNG bytes; the picture is absent when they are not a valid PNG.
  AlphaImage(const uint8_t* pngData, size_t size);
#ifdef _WIN32
  // Finds resource ("IMAGE", id) in the executable and decodes it as PNG. A missing
  // resource raises WindowException.
  explicit AlphaImage(int resourceId);
#endif
  virtual ~AlphaImage() = default;

  AlphaImage(const AlphaImage&) = delete;
  AlphaImage& operator=(const AlphaImage&) = delete;

  int32_t Width() const { return image ? image->Width() : 0; }
  int32_t Height() const { return image ? image->Height() : 0; }
  const Image* Picture() const { return image.get(); }

#ifdef _WIN32
  // Copies source rectangle (xSrc, 0, srcWidth, srcHeight), stretched, to the
  // destination rectangle with an opaque stretch-copy. Source row 0 is the picture's
  // bottom edge. Draws nothing when the picture is absent.
  void Draw(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
            int srcWidth, int srcHeight) const;
  // Natural size at (x, y).
  void DrawAt(HDC dc, int x, int y) const;
  // The whole picture stretched to w x h at (x, y).
  void DrawSized(HDC dc, int x, int y, int w, int h) const;
#endif

 private:
  std::unique_ptr<Image> image;
};
