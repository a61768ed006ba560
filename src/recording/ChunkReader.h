#pragma once
// Reads a source in large chunks and hands out views of the bytes at any position, so
// that a scan which looks at 80 bytes a block and skips the rest costs one read call
// per chunk instead of several per block. Bytes already in the buffer are never read
// twice while the reader moves forward.
//
// With read-ahead, a second buffer takes the chunk after the current one on a thread of
// its own (ReadAhead) while the caller works on this one; a view that runs past the
// current chunk then finds the next one read already, and the two buffers change places
// without copying it. Nothing else may read the source until StopReadAhead.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "recording/ByteStream.h"

class ReadAhead;

class ChunkReader {
 public:
  static constexpr size_t kDefaultChunk = size_t(1) << 20;
  // The most bytes of the current chunk a view may carry over into the next one while
  // the buffers change places; a longer view is served by copying, as without read-ahead.
  static constexpr size_t kCarryOver = 64 * 1024;

  ChunkReader(IByteSource& source, size_t chunkSize = kDefaultChunk, bool readAhead = false);
  ~ChunkReader();
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  // Makes the bytes [position, position + size) available, as far as the source has
  // them, and returns a pointer to them; `available` receives how many there are
  // (0 for a position outside the source). `size` must not exceed the chunk size.
  const uint8_t* View(int64_t position, size_t size, size_t& available);

  // Copies up to `size` bytes from `position`; returns the count copied.
  size_t Read(int64_t position, void* buffer, size_t size);

  // Waits for a read ahead under way and reads synchronously from then on: the source
  // is the caller's again.
  void StopReadAhead();

  size_t ChunkSize() const { return chunk_; }
  int64_t SourceSize() const { return source_.Size(); }

 private:
  // Serves the view from the chunk read ahead, if it holds `position`.
  bool TakeReadAhead(int64_t position, int64_t wanted, int64_t end);
  void FillFrom(int64_t position, int64_t end);
  void StartReadAhead();

  IByteSource& source_;
  size_t chunk_;
  // Each buffer holds kCarryOver bytes for carried-over data, then a chunk.
  std::vector<uint8_t> buffer_;
  std::vector<uint8_t> spare_;
  std::unique_ptr<ReadAhead> ahead_;
  uint8_t* data_ = nullptr;  // the byte at start_, inside buffer_
  int64_t start_ = 0;        // file position of data_[0]
  size_t length_ = 0;        // valid bytes from data_ on
};
