#pragma once
// A recording's sound samples, read from its WAVE file (the 44-byte header the reader
// writes, then 8-bit samples) by sample number.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "recording/ByteStream.h"

class ClipSound {
 public:
  // An empty path: no sound. Throws IOException when the file cannot be read.
  explicit ClipSound(const std::wstring& wavePath);
  uint32_t Rate() const { return rate_; }
  int64_t Count() const { return count_; }
  // How many of the samples from..to - 1 the file holds.
  int64_t Span(int64_t from, int64_t to) const;
  // The samples from..to - 1 that the file holds.
  void Read(int64_t from, int64_t to, std::vector<uint8_t>& out) const;

 private:
  std::unique_ptr<IByteSource> source_;
  uint32_t rate_ = 0;
  int64_t count_ = 0;
};
