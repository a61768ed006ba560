#pragma once
// Test helpers that read simulator output back with the archive format's decoders.
#include <cstdint>
#include <vector>

#include "RecorderSimulator.h"
#include "recording/ArchiveFormat.h"

namespace simtest {

struct WalkedBlock {
  uint64_t offset = 0;
  archive::BlockHeader header;
  archive::BlockKind kind = archive::BlockKind::Lost;
};

// Follows the block sizes from the end of the header area while whole block headers
// remain; stops at the first block that is not this recording's.
std::vector<WalkedBlock> WalkBlocks(const std::vector<uint8_t>& file);

// Joins a picture's content from the blocks the manifest lists.
std::vector<uint8_t> Reassemble(const std::vector<uint8_t>& file, const recsim::PictureRecord& picture);

// Decodes a complete JPEG stream with libjpeg; false on any decoder error or warning.
bool DecodeJpeg(const std::vector<uint8_t>& data, int& width, int& height);

// A short recording in fast mode, quick to build.
recsim::RecordingDescription Short(int ms = 1500);

}  // namespace simtest
