#pragma once
// Where a clip's bytes go: written in order, with the few header fields that only the
// end knows (sizes, counts, index places) written again in place. A failed write throws
// the Exception to show; nothing is retried.
#include <cstddef>
#include <cstdint>

class IClipSink {
 public:
  virtual ~IClipSink() = default;
  virtual void Write(const void* data, size_t size) = 0;
  // Overwrites bytes already written; the next Write still appends at the end.
  virtual void WriteAt(int64_t position, const void* data, size_t size) = 0;
  // The number of bytes written so far (the end).
  virtual int64_t Size() const = 0;
};
