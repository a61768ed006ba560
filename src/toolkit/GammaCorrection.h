#pragma once
// The picture-brightness curve: a gamma and the 256-entry table built from it, applied
// to the colour bytes of a frame before it is drawn.
#include <cstddef>
#include <cstdint>
#include <memory>

class Image;

class GammaCorrection {
 public:
  GammaCorrection();
  virtual ~GammaCorrection() = default;

  // Clamps x into [0.1, 5.0] (a value that is not a number counts as 5.0), stores it
  // and rebuilds the table.
  void SetGamma(double x);
  double Gamma() const { return gamma; }
  uint8_t TableAt(int i) const { return table[i]; }

  // Rewrites blue, green and red of every pixel through the table; the fourth byte is
  // left alone. Does nothing while the gamma is exactly 1.0.
  void Apply(Image& image) const;
  // The same pass from `source` into `target` (a picture of the same size), which then
  // holds the corrected picture whatever the gamma: the copy and the correction are one
  // walk over the pixels. Throws std::invalid_argument when the sizes differ.
  void CopyCorrected(const Image& source, Image& target) const;
  // The pass over `pixelCount` pixels of 4 bytes; `from` and `to` are the same buffer or
  // do not overlap.
  void CorrectPixels(const uint8_t* from, uint8_t* to, size_t pixelCount) const;

 private:
  double gamma = 1.0;
  uint8_t table[256] = {};
  // The table for two bytes at once, blue and green of a pixel read as one
  // little-endian 16-bit value: a pixel costs two lookups instead of three, and 128 KB
  // stay in the second-level cache.
  std::unique_ptr<uint16_t[]> pairs;
};
