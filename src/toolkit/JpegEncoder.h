#pragma once
// Encodes pictures into baseline JPEG streams in memory with libjpeg-turbo. An encoder
// keeps the library's compressor from picture to picture (an exported clip encodes
// thousands of same-sized pictures); one encoder serves one thread at a time.
#include <cstdint>
#include <memory>
#include <vector>

class Image;
struct JpegCompressor;

class JpegEncoder {
 public:
  JpegEncoder();
  ~JpegEncoder();
  JpegEncoder(const JpegEncoder&) = delete;
  JpegEncoder& operator=(const JpegEncoder&) = delete;

  // `rgb` holds width x height pixels, three bytes each (red, green, blue), rows top-down.
  // quality 1..100. Throws std::runtime_error if libjpeg reports an error.
  static std::vector<uint8_t> Encode(const uint8_t* rgb, int width, int height, int quality);

  // An Image (blue, green, red, a fourth byte; rows bottom-up) into `out`, replacing what
  // it held. The same pixels give the same bytes on every system the library builds on.
  void Encode(const Image& image, int quality, std::vector<uint8_t>& out);

 private:
  std::unique_ptr<JpegCompressor> compressor_;
};
