#include "toolkit/GammaCorrection.h"

#include <cmath>

#include "toolkit/Image.h"

void GammaCorrection::SetGamma(double x) {
  double g = x;
  // Written so that a value that is not a number takes the first branch.
  if (!(x < 5.0)) {
    g = 5.0;
  } else if (x < 0.1) {
    g = 0.1;
  }
  gamma = g;
  for (int i = 0; i < 256; ++i) {
    int v = static_cast<int>(std::pow(i / 255.0, 1.0 / g) * 255.0 + 0.5);
    if (v > 255) v = 255;
    table[i] = static_cast<uint8_t>(v);
  }
}

void GammaCorrection::Apply(Image& image) const {
  if (gamma == 1.0) return;
  uint8_t* p = image.Pixels();
  const int64_t pixelCount = int64_t(image.Width()) * image.Height();
  for (int64_t i = 0; i < pixelCount; ++i, p += 4) {
    p[0] = table[p[0]];
    p[1] = table[p[1]];
    p[2] = table[p[2]];
  }
}
