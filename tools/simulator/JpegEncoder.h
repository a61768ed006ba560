#pragma once
// Encodes RGB pictures into baseline JPEG streams in memory with libjpeg.
#include <cstdint>
#include <vector>

namespace recsim {

class JpegEncoder {
 public:
  // `rgb` holds width × height pixels, three bytes each (red, green, blue), rows top-down.
  // quality 1..100. Throws std::runtime_error if libjpeg reports an error.
  static std::vector<uint8_t> Encode(const uint8_t* rgb, int width, int height, int quality);
};

}  // namespace recsim
