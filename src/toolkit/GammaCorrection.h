#pragma once
// The picture-brightness curve: a gamma and the 256-entry table built from it, applied
// in place to the colour bytes of a frame before it is drawn.
#include <cstdint>

class Image;

class GammaCorrection {
 public:
  GammaCorrection() = default;
  virtual ~GammaCorrection() = default;

  // Clamps x into [0.1, 5.0] (a value that is not a number counts as 5.0), stores it
  // and rebuilds the table.
  void SetGamma(double x);
  double Gamma() const { return gamma; }
  uint8_t TableAt(int i) const { return table[i]; }

  // Rewrites blue, green and red of every pixel through the table; the fourth byte is
  // left alone. Does nothing while the gamma is exactly 1.0.
  void Apply(Image& image) const;

 private:
  double gamma = 1.0;
  uint8_t table[256] = {};
};
