#pragma once
// The one pass over a recording archive's blocks: finds every picture (with the
// positions of its fragments) and every sound block, in file order. It reads only block
// headers and the 16 bytes behind each, skips content by position, and finds its way
// back after damaged or foreign data by looking for the next picture signature.
//
// What the card holds may be anything, so no length field is trusted: a block whose
// size cannot be right is dropped and the scan goes on after it, and every pass moves
// strictly forward, so the scan always ends.
#include <cstdint>
#include <memory>
#include <vector>

#include "recording/ArchiveFormat.h"
#include "recording/ChunkReader.h"
#include "recording/FrameEntry.h"
#include "recording/ILoadProgress.h"
#include "recording/SoundTrackStream.h"
#include "recording/SoundTrackWriter.h"

class ArchiveScanner {
 public:
  static constexpr size_t kMaxEntries = 30000;             // pictures, and sound blocks
  static constexpr size_t kResyncWindow = size_t(1) << 20;  // how far a lost scan looks

  // `sound` hears of every picture and receives the sound blocks' bytes as they pass;
  // null when the sound is not kept (no sound block is then listed).
  ArchiveScanner(ChunkReader& reader, const archive::ArchiveHeader& header,
                 archive::FormatVersion version, SoundTrackStream* sound);

  // Scans from the end of the header area to the end of the recording. Throws
  // VideoArchiveException when the first picture carries another format version.
  void Run(ILoadProgress* progress);

  std::vector<std::unique_ptr<FrameEntry>>& Pictures() { return pictures_; }
  std::vector<SoundBlock>& Sounds() { return sounds_; }

  // Where a lost scan goes on: the start of the block whose tag holds the first
  // signature in `window` (read from `position`), or -1 when there is none.
  static int64_t FindResyncPoint(int64_t position, const uint8_t* window, size_t size);

 private:
  static constexpr int64_t kEnd = -1;

  // One block as the scan sees it: its header and the 16 bytes behind it.
  struct Block {
    int64_t start = 0;
    int64_t contentStart = 0;
    archive::BlockHeader header;
    const uint8_t* bytes = nullptr;  // header and tag, valid until the next read
    uint8_t tag[archive::kTagSize] = {};
  };

  // Each step and handler returns where the next block starts, or kEnd.
  int64_t Step(int64_t position);
  int64_t Handle(const Block& block);
  int64_t OnStart(const Block& block);
  int64_t OnPictureStart(const Block& block, std::unique_ptr<FrameEntry> entry);
  int64_t OnSound(const Block& block, const FrameEntry& entry);
  int64_t OnContinuation(const Block& block);
  // The two ways forward; every position the scan moves to comes from one of them.
  int64_t SkipPast(const Block& block);
  // `failed` is the start of the block that could not be taken (or of the place where
  // one was expected).
  int64_t ResyncAfterFloor(int64_t failed);

  std::unique_ptr<FrameEntry> StartEntry(const Block& block) const;
  void FillPictureValues(const Block& block, FrameEntry& entry);
  bool PreviousFragmentEndsWithFF(const FrameEntry& entry, int n);
  void DropIncompletePicture();

  ChunkReader& reader_;
  archive::ArchiveHeader header_;
  archive::FormatVersion version_;
  SoundTrackStream* sound_;
  std::vector<std::unique_ptr<FrameEntry>> pictures_;
  std::vector<SoundBlock> sounds_;
  int expected_ = 1;  // the fragment number the next block should carry
  bool versionTested_ = false;
  int64_t lastValidTime_ = 0;
  // The start of the last block accepted; resynchronisation only ever looks above it.
  int64_t floor_ = static_cast<int64_t>(archive::kHeaderAreaSize) - 1;
};
