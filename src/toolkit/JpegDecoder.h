#pragma once
// A JPEG decoder that keeps its decompressor from picture to picture. A player decodes
// 28 pictures a second of the same size; creating and tearing down the library's state
// for each one, and copying its rows into our layout afterwards, costs about a third of
// the decoding itself. Here the library writes the picture's bottom-up 32-bit rows
// directly.
//
// One decoder serves one thread at a time (it holds the library's state between calls).
// Results are those of DecodeJpegImage, picture for picture: a failed or stopped decode
// leaves the decoder ready for the next one.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "toolkit/Image.h"
#include "toolkit/ImageDecoding.h"

struct JpegSession;

class JpegDecoder {
 public:
  JpegDecoder();
  ~JpegDecoder();
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  // As DecodeJpegImage: null for anything that is not a picture within `limits`.
  std::unique_ptr<Image> Decode(const uint8_t* data, size_t size, const ImageDecodingLimits& limits);

  // How many times the library's decompressor has been created (tests: once for any
  // number of pictures, failed ones included).
  int CreatedCount() const { return created_; }

 private:
  std::unique_ptr<JpegSession> session_;
  int created_ = 0;
};
