#pragma once
// A sink that keeps no data, only its size and where the writer went back to fill in
// fields, with the bytes it wrote there. Running the writer over it with the sizes a
// clip will have tells the final header bytes before the clip is written.
#include <cstdint>
#include <vector>

#include "export/IClipSink.h"

struct ClipPatch {
  int64_t position = 0;
  std::vector<uint8_t> bytes;
  bool operator==(const ClipPatch& o) const { return position == o.position && bytes == o.bytes; }
};

class PatchRecorder : public IClipSink {
 public:
  void Write(const void*, size_t size) override { size_ += static_cast<int64_t>(size); }
  void WriteAt(int64_t position, const void* data, size_t size) override;
  int64_t Size() const override { return size_; }
  const std::vector<ClipPatch>& Patches() const { return patches_; }

 private:
  int64_t size_ = 0;
  std::vector<ClipPatch> patches_;
};
