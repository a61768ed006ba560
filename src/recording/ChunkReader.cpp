#include "recording/ChunkReader.h"

#include <algorithm>
#include <cstring>

#include "recording/ReadAhead.h"

ChunkReader::ChunkReader(IByteSource& source, size_t chunkSize, bool readAhead)
    : source_(source),
      chunk_(std::max<size_t>(chunkSize, 4096)),
      buffer_(kCarryOver + chunk_) {
  data_ = buffer_.data() + kCarryOver;
  if (readAhead) {
    spare_.resize(buffer_.size());
    ahead_ = std::make_unique<ReadAhead>(source_);
  }
}

ChunkReader::~ChunkReader() = default;

void ChunkReader::StopReadAhead() { ahead_.reset(); }

const uint8_t* ChunkReader::View(int64_t position, size_t size, size_t& available) {
  available = 0;
  const int64_t total = source_.Size();
  if (position < 0 || position >= total) return data_;
  size = std::min(size, chunk_);
  const int64_t wanted = std::min<int64_t>(static_cast<int64_t>(size), total - position);
  const int64_t end = start_ + static_cast<int64_t>(length_);
  if (position >= start_ && position + wanted <= end) {
    available = static_cast<size_t>(wanted);
    return data_ + (position - start_);
  }
  if (!TakeReadAhead(position, wanted, end)) FillFrom(position, end);
  StartReadAhead();
  available = std::min(length_, static_cast<size_t>(wanted));
  return data_;
}

bool ChunkReader::TakeReadAhead(int64_t position, int64_t wanted, int64_t end) {
  if (!ahead_ || !ahead_->Pending()) return false;
  const int64_t aheadStart = ahead_->Position();
  const size_t got = ahead_->Take();
  // What the view still needs of the current chunk goes in front of the next one.
  const size_t carried = position < end && position >= start_ ? static_cast<size_t>(end - position) : 0;
  const bool adjoins = aheadStart == end && position >= start_ && carried <= kCarryOver;
  const int64_t aheadEnd = aheadStart + static_cast<int64_t>(got);
  // The chunk read ahead must hold the whole view, unless the data ends in it.
  const bool holds = position < aheadEnd && (position + wanted <= aheadEnd || aheadEnd >= source_.Size());
  if (!adjoins || !holds) return false;
  uint8_t* next = spare_.data() + kCarryOver;
  if (carried > 0) std::memcpy(next - carried, data_ + (position - start_), carried);
  std::swap(buffer_, spare_);
  const int64_t skipped = position > end ? position - end : 0;
  data_ = next - carried + skipped;
  start_ = position;
  length_ = carried + got - static_cast<size_t>(skipped);
  return true;
}

void ChunkReader::FillFrom(int64_t position, int64_t end) {
  const int64_t total = source_.Size();
  // Keep what the buffer already holds from `position` on, then fill the rest.
  size_t kept = 0;
  uint8_t* base = buffer_.data() + kCarryOver;
  if (position >= start_ && position < end) {
    kept = static_cast<size_t>(end - position);
    if (kept > kCarryOver) base = buffer_.data();
    std::memmove(base, data_ + (position - start_), kept);
  }
  data_ = base;
  start_ = position;
  length_ = kept;
  const size_t room = static_cast<size_t>(buffer_.data() + buffer_.size() - base);
  while (length_ < room) {
    const int64_t at = start_ + static_cast<int64_t>(length_);
    if (at >= total) break;
    const size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(room - length_), total - at));
    const size_t got = source_.ReadAt(at, data_ + length_, want);
    length_ += got;
    if (got < want) break;  // end of the data as the source sees it now
  }
}

void ChunkReader::StartReadAhead() {
  if (!ahead_) return;
  const int64_t next = start_ + static_cast<int64_t>(length_);
  const int64_t total = source_.Size();
  if (next >= total) return;
  const size_t want = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(chunk_), total - next));
  ahead_->Start(next, spare_.data() + kCarryOver, want);
}

size_t ChunkReader::Read(int64_t position, void* buffer, size_t size) {
  size_t copied = 0;
  while (copied < size) {
    size_t available = 0;
    const size_t want = std::min(size - copied, chunk_);
    const uint8_t* bytes = View(position + static_cast<int64_t>(copied), want, available);
    if (available == 0) break;
    std::memcpy(static_cast<uint8_t*>(buffer) + copied, bytes, available);
    copied += available;
    if (available < want) break;
  }
  return copied;
}
