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

// Bounds on what a decoder is willing to do for one picture. The defaults are the
// viewer's own, used for recorder frames and interface pictures alike.
struct ImageDecodingLimits {
  // Largest width * height accepted, checked after the header is read and before
  // anything proportional to the picture is allocated. 16 Mi pixels (a 64 MiB buffer)
  // is generous for a recorder, whose frames are 640 x 480, and for the interface's
  // pictures, which are at most window-sized.
  int64_t maxPixels = int64_t(1) << 24;
  // Largest number of JPEG scans read before giving up (0: no limit). A progressive
  // file crafted from thousands of tiny scans makes the library walk the whole picture
  // once per scan; 500 is what libjpeg-turbo's own fuzzers allow.
  int maxJpegScans = 500;
  // Asked before a decode starts and then before every row group the JPEG decoder
  // works on; true ends the decode with no image. Lets a cancel or a closing program
  // end a slow decode instead of waiting for it. An exception from it counts as true.
  // The PNG decoder does not ask it: its pictures are the program's own.
  std::function<bool()> stop;
};

std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size);
std::unique_ptr<Image> DecodePngImage(const uint8_t* data, size_t size);

// The same with explicit bounds (the fuzzers use tighter ones).
std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size,
                                       const ImageDecodingLimits& limits);
std::unique_ptr<Image> DecodePngImage(const uint8_t* data, size_t size,
                                      const ImageDecodingLimits& limits);
