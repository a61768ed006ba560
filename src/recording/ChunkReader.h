#pragma once
// Reads a source in large chunks and hands out views of the bytes at any position, so
// that a scan which looks at 80 bytes a block and skips the rest costs one read call
// per chunk instead of several per block. Bytes already in the buffer are never read
// twice while the reader moves forward.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "recording/ByteStream.h"

class ChunkReader {
 public:
  static constexpr size_t kDefaultChunk = size_t(1) << 20;

  ChunkReader(IByteSource& source, size_t chunkSize = kDefaultChunk);

  // Makes the bytes [position, position + size) available, as far as the source has
  // them, and returns a pointer to them; `available` receives how many there are
  // (0 for a position outside the source). `size` must not exceed the chunk size.
  const uint8_t* View(int64_t position, size_t size, size_t& available);

  // Copies up to `size` bytes from `position`; returns the count copied.
  size_t Read(int64_t position, void* buffer, size_t size);

  size_t ChunkSize() const { return buffer_.size(); }
  int64_t SourceSize() const { return source_.Size(); }

 private:
  IByteSource& source_;
  std::vector<uint8_t> buffer_;
  int64_t start_ = 0;  // file position of buffer_[0]
  size_t length_ = 0;  // valid bytes in the buffer
};
