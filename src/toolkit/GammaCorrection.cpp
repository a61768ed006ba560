#include "toolkit/GammaCorrection.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "toolkit/Image.h"

namespace {

constexpr size_t kPairCount = 65536;

// The pass runs on every frame shown and is kept out of the undefined-behaviour checks
// the Windows flavour is built with (they more than double its cost): its indexes are
// masked bytes and its bounds the caller's sizes. The host flavour's address checks
// still watch every access.
#define PATHSCOPE_HOT_LOOP __attribute__((no_sanitize("undefined")))

// Two pixels a step as one 64-bit word (bytes B G R X B G R X, little-endian): blue and
// green through the pair table, red through the byte table, the fourth bytes kept. The
// word is read and written with memcpy, so that a buffer of any alignment will do and
// `from` may be `to`. This runs for every frame shown; the step is kept free of
// branches and of anything but loads, shifts and ors.
PATHSCOPE_HOT_LOOP inline uint64_t CorrectTwo(uint64_t p, const uint16_t* pairs, const uint8_t* table) {
  return uint64_t(pairs[p & 0xFFFF]) | uint64_t(table[(p >> 16) & 0xFF]) << 16 |
         uint64_t(pairs[(p >> 32) & 0xFFFF]) << 32 | uint64_t(table[(p >> 48) & 0xFF]) << 48 |
         (p & 0xFF000000FF000000ull);
}

}  // namespace

GammaCorrection::GammaCorrection() : pairs(new uint16_t[kPairCount]) {
  for (size_t i = 0; i < kPairCount; ++i) pairs[i] = static_cast<uint16_t>(i);
}

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
  for (size_t i = 0; i < kPairCount; ++i) {
    pairs[i] = static_cast<uint16_t>(table[i & 0xFF] | table[i >> 8] << 8);
  }
}

void GammaCorrection::Apply(Image& image) const {
  if (gamma == 1.0) return;
  CorrectPixels(image.Pixels(), image.Pixels(), size_t(image.ByteSize()) / 4);
}

void GammaCorrection::CopyCorrected(const Image& source, Image& target) const {
  if (source.Width() != target.Width() || source.Height() != target.Height()) {
    throw std::invalid_argument("GammaCorrection::CopyCorrected: sizes differ");
  }
  if (gamma == 1.0) {
    if (source.ByteSize() > 0) std::memcpy(target.Pixels(), source.Pixels(), size_t(source.ByteSize()));
    return;
  }
  CorrectPixels(source.Pixels(), target.Pixels(), size_t(source.ByteSize()) / 4);
}

PATHSCOPE_HOT_LOOP void GammaCorrection::CorrectPixels(const uint8_t* from, uint8_t* to, size_t pixelCount) const {
  const uint16_t* pairTable = pairs.get();
  const uint8_t* byteTable = table;
  const size_t bytes = pixelCount * 4;
  size_t i = 0;
  // Four pixels a round: two independent words keep more lookups in flight.
  for (; i + 16 <= bytes; i += 16) {
    uint64_t p, q;
    std::memcpy(&p, from + i, 8);
    std::memcpy(&q, from + i + 8, 8);
    p = CorrectTwo(p, pairTable, byteTable);
    q = CorrectTwo(q, pairTable, byteTable);
    std::memcpy(to + i, &p, 8);
    std::memcpy(to + i + 8, &q, 8);
  }
  for (; i < bytes; i += 4) {
    to[i] = byteTable[from[i]];
    to[i + 1] = byteTable[from[i + 1]];
    to[i + 2] = byteTable[from[i + 2]];
    to[i + 3] = from[i + 3];
  }
}
