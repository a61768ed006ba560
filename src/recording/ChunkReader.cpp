#include "recording/ChunkReader.h"

#include <algorithm>
#include <cstring>

ChunkReader::ChunkReader(IByteSource& source, size_t chunkSize)
    : source_(source), buffer_(std::max<size_t>(chunkSize, 4096)) {}

const uint8_t* ChunkReader::View(int64_t position, size_t size, size_t& available) {
  available = 0;
  const int64_t total = source_.Size();
  if (position < 0 || position >= total) return buffer_.data();
  size = std::min(size, buffer_.size());
  const int64_t wanted = std::min<int64_t>(static_cast<int64_t>(size), total - position);
  const int64_t end = start_ + static_cast<int64_t>(length_);
  if (position >= start_ && position + wanted <= end) {
    available = static_cast<size_t>(wanted);
    return buffer_.data() + (position - start_);
  }
  // Keep what the buffer already holds from `position` on, then fill the rest.
  size_t kept = 0;
  if (position >= start_ && position < end) {
    kept = static_cast<size_t>(end - position);
    std::memmove(buffer_.data(), buffer_.data() + (position - start_), kept);
  }
  start_ = position;
  length_ = kept;
  while (length_ < buffer_.size()) {
    const int64_t at = start_ + static_cast<int64_t>(length_);
    if (at >= total) break;
    const size_t want = static_cast<size_t>(
        std::min<int64_t>(static_cast<int64_t>(buffer_.size() - length_), total - at));
    const size_t got = source_.ReadAt(at, buffer_.data() + length_, want);
    length_ += got;
    if (got < want) break;  // end of the data as the source sees it now
  }
  available = std::min(length_, static_cast<size_t>(wanted));
  return buffer_.data();
}

size_t ChunkReader::Read(int64_t position, void* buffer, size_t size) {
  size_t copied = 0;
  while (copied < size) {
    size_t available = 0;
    const size_t want = std::min(size - copied, buffer_.size());
    const uint8_t* bytes = View(position + static_cast<int64_t>(copied), want, available);
    if (available == 0) break;
    std::memcpy(static_cast<uint8_t*>(buffer) + copied, bytes, available);
    copied += available;
    if (available < want) break;
  }
  return copied;
}
