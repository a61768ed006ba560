#pragma once
// The two picture decoders: JPEG (the recordings' frames) and PNG (the user interface's
// pictures), both from bytes in memory, both giving the Image layout (BGR + fourth byte,
// bottom-up).
//
// Neither throws for any input: damaged, truncated, oversized or unsupported data gives
// no image (null). Only running out of memory for the picture buffer propagates, as
// std::bad_alloc. Truncated JPEG data ends the picture early instead of failing.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "toolkit/Image.h"

// Bounds on what a decoder is willing to do for one picture, checked after the header
// is read and before anything large is allocated.
struct ImageDecodingLimits {
  // Largest width * height accepted. The default (64 Mi pixels, a 256 MiB buffer) is far
  // above any recorder frame or interface picture, and keeps a damaged header from
  // demanding gigabytes.
  int64_t maxPixels = int64_t(1) << 26;
  // Largest number of JPEG scans read before giving up (0: no limit). Guards against
  // progressive files crafted with thousands of tiny scans.
  int maxJpegScans = 0;
  // Asked now and then while a picture decodes; true stops the decode (no image). Lets
  // a cancel or a closing program end a slow decode instead of waiting for it.
  std::function<bool()> stop;
};

std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size);
std::unique_ptr<Image> DecodePngImage(const uint8_t* data, size_t size);

// The same with explicit bounds (the fuzzers use tighter ones).
std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size,
                                       const ImageDecodingLimits& limits);
std::unique_ptr<Image> DecodePngImage(const uint8_t* data, size_t size,
                                      const ImageDecodingLimits& limits);
