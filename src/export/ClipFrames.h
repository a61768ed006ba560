#pragma once
// The bytes of each slot's frame in a clip: the stored JPEG stream, or the picture with
// the band burned in and encoded again. A slot whose picture cannot be read shows the
// picture before it (as a copied slot would), the first readable one of the range for
// those before it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/JpegDecoder.h"
#include "toolkit/JpegEncoder.h"

class VideoArchive;

class ClipFrames {
 public:
  // Throws IOException when no picture of first..last can be read.
  ClipFrames(VideoArchive& archive, int first, int last, bool overlay);
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  // Size of the first readable picture's stream (what slots before it repeat).
  size_t FirstSize() const { return good_.size(); }
  // The frame of `slot`, valid until the next call.
  const std::vector<uint8_t>& Of(int slot);

 private:
  VideoArchive& archive_;
  bool overlay_;
  JpegDecoder decoder_;
  JpegEncoder encoder_;
  std::vector<uint8_t> stored_, read_, good_, encoded_;
  int32_t width_ = 0;
  int32_t height_ = 0;
};
