// Arbitrary bytes as a recording archive: the whole load (scan, sound track, timeline)
// and then every scanned picture read and decoded. Pictures are bounded as
// libjpeg-turbo's own fuzzers bound them (a million pixels, 500 scans) so that one input
// stays cheap; the sound goes to memory, so no input touches the disk. A scan that does
// not end shows as a timeout.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "foundation/Exception.h"
#include "recording/ByteStream.h"
#include "recording/VideoArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static VideoArchive* archive = [] {
    auto* a = new VideoArchive();
    ImageDecodingLimits limits;
    limits.maxPixels = int64_t(1) << 20;
    limits.maxJpegScans = 500;
    a->SetDecodingLimits(limits);
    return a;
  }();
  MemorySink sound;
  try {
    archive->Load(std::make_unique<MemorySource>(data, size), nullptr, &sound);
  } catch (const VideoArchiveException&) {
    if (archive->IsOpen() || archive->SlotCount() != 0) __builtin_trap();
    return 0;
  }
  if (archive->SlotCount() > VideoArchive::kMaxSlots) __builtin_trap();
  if (sound.Bytes().size() != 44 + size_t(archive->SoundDataBytes())) __builtin_trap();
  for (int s = 0; s < archive->SlotCount(); ++s) {
    const FrameEntry* entry = archive->Entry(s);
    if (!entry) __builtin_trap();
    // A gap copy reads the picture it was copied from: decoded once is enough.
    if (!entry->copy) archive->ReadFrameImage(s);
  }
  archive->Close();
  return 0;
}
