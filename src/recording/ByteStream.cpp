#include "recording/ByteStream.h"

#include <algorithm>
#include <cstring>

size_t MemorySource::ReadAt(int64_t position, void* buffer, size_t size) {
  if (position < 0 || static_cast<uint64_t>(position) >= bytes_.size()) return 0;
  const size_t at = static_cast<size_t>(position);
  const size_t n = std::min(size, bytes_.size() - at);
  std::memcpy(buffer, bytes_.data() + at, n);
  return n;
}

bool MemorySink::Write(const void* data, size_t size) {
  if (position_ + size > bytes_.size()) bytes_.resize(position_ + size);
  if (size > 0) std::memcpy(bytes_.data() + position_, data, size);
  position_ += size;
  return true;
}
