// Arbitrary bytes as a recording archive: the whole load (scan, sound track, timeline)
// and then every scanned picture read and rebuilt into its JPEG stream. The decoder
// itself is fuzz_jpeg's work: here only the first picture that decodes is decoded, and
// only up to 32 x 32 pixels, so that one input costs the scan and not a recorder
// frame's decode and thousands of inputs run a second. The sound is only counted, so no input touches the disk. A scan that does not
// end shows as a timeout.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/Exception.h"
#include "recording/ByteStream.h"
#include "recording/VideoArchive.h"

namespace {

// The sound track's shape without its bytes: a damaged tick may legitimately ask for
// many megabytes of bridging silence, which only costs time here.
class CountingSink : public IByteSink {
 public:
  bool Write(const void*, size_t size) override {
    position_ += size;
    size_ = std::max(size_, position_);
    return true;
  }
  bool Rewind() override {
    position_ = 0;
    return true;
  }
  bool EndHere() override {
    size_ = position_;
    return true;
  }
  size_t Size() const { return size_; }

 private:
  size_t position_ = 0;
  size_t size_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static VideoArchive* archive = [] {
    auto* a = new VideoArchive();
    ImageDecodingLimits limits;
    limits.maxPixels = int64_t(32) * 32;
    limits.maxJpegScans = 500;
    a->SetDecodingLimits(limits);
    return a;
  }();
  CountingSink sound;
  try {
    archive->Load(std::make_unique<MemorySource>(data, size), nullptr, &sound);
  } catch (const VideoArchiveException&) {
    if (archive->IsOpen() || archive->SlotCount() != 0) __builtin_trap();
    return 0;
  }
  if (archive->SlotCount() > VideoArchive::kMaxSlots) __builtin_trap();
  if (sound.Size() != 44 + size_t(archive->SoundDataBytes())) __builtin_trap();
  bool decoded = false;
  std::vector<uint8_t> jpeg;
  for (int s = 0; s < archive->SlotCount(); ++s) {
    const FrameEntry* entry = archive->Entry(s);
    if (!entry) __builtin_trap();
    // A gap copy reads the picture it was copied from. The first picture goes all the
    // way through the decoder; the others stop at the rebuilt stream, which is what
    // this target is about.
    if (entry->copy) continue;
    if (!decoded) decoded = archive->ReadFrameImage(s) != nullptr;
    else archive->ReadFrameJpeg(s, jpeg);
  }
  archive->Close();
  return 0;
}
