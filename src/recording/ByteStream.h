#pragma once
// The small byte interfaces the recording code reads and writes through, so that the
// scan, the timeline and the sound writing stay portable and testable from memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Random-access read side of a file.
class IByteSource {
 public:
  virtual ~IByteSource() = default;
  // Copies up to `size` bytes from `position` into `buffer`; returns how many were
  // copied (fewer at the end of the data, 0 past it or on failure).
  virtual size_t ReadAt(int64_t position, void* buffer, size_t size) = 0;
  // Total size in bytes, measured once at open.
  virtual int64_t Size() const = 0;
};

// Sequential write side of a file that can go back to its start (the WAVE header is
// written again with its sizes at the end, and a track may be written again whole).
class IByteSink {
 public:
  virtual ~IByteSink() = default;
  virtual bool Write(const void* data, size_t size) = 0;
  virtual bool Rewind() = 0;
  // Ends the data at the current position: what an earlier, longer write left after it
  // goes.
  virtual bool EndHere() = 0;
};

// A source over bytes held in memory.
class MemorySource : public IByteSource {
 public:
  explicit MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  MemorySource(const uint8_t* data, size_t size) : bytes_(data, data + size) {}
  size_t ReadAt(int64_t position, void* buffer, size_t size) override;
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }

 private:
  std::vector<uint8_t> bytes_;
};

// A sink into memory (the tests' view of a written file).
class MemorySink : public IByteSink {
 public:
  bool Write(const void* data, size_t size) override;
  bool Rewind() override {
    position_ = 0;
    return true;
  }
  bool EndHere() override {
    bytes_.resize(position_);
    return true;
  }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};
