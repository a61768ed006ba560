// Each fault the simulator offers puts exactly the damage it claims into the bytes, and
// leaves the rest of the recording sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "ArchiveWalk.h"
#include "TempDir.h"
#include "RecorderSimulator.h"
#include "recording/ArchiveFormat.h"

namespace {

using namespace archive;
using recsim::RecordingDescription;
using recsim::RecordingManifest;
using simtest::Short;

size_t FindSignature(const std::vector<uint8_t>& file, size_t from) {
  const auto it = std::search(file.begin() + static_cast<std::ptrdiff_t>(from), file.end(), kSignaturePattern,
                              kSignaturePattern + kSignaturePatternSize);
  return static_cast<size_t>(it - file.begin());
}

TEST(SimulatorFaults, GarbageSitsBetweenBlocksWithoutASignature) {
  RecordingDescription d = Short(1000);
  d.faults.garbageAfterPicture = 5;
  d.faults.garbageBytes = 2500;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  ASSERT_EQ(m.garbage.size(), 1u);
  const auto g = m.garbage[0];
  EXPECT_EQ(g.size, 2500u);
  // Right behind picture 5's last block.
  EXPECT_EQ(g.offset, m.pictures[5].blockOffsets.back() + kBlockSize);
  EXPECT_EQ(m.fileSize, file.size());
  // A block walk loses its way there...
  const auto blocks = simtest::WalkBlocks(file);
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks.back().offset, g.offset);
  EXPECT_EQ(blocks.back().kind, BlockKind::Lost);
  // ...and a search for the signature from there lands on the next picture's tag.
  const auto next = std::find_if(m.pictures.begin(), m.pictures.end(),
                                 [&](const recsim::PictureRecord& p) { return p.blockOffsets[0] > g.offset; });
  ASSERT_NE(next, m.pictures.end());
  // Blocks go on right behind the garbage.
  const size_t after = static_cast<size_t>(g.offset + g.size);
  EXPECT_EQ(ClassifyBlock(DecodeBlockHeader(&file[after]), &file[after + kBlockHeaderSize], d.archiveId),
            BlockKind::Accepted);
  EXPECT_EQ(FindSignature(file, g.offset), next->blockOffsets[0] + kBlockHeaderSize + kSignatureOffset);
  // Nothing in the garbage can pass as a sound block's type either.
  EXPECT_EQ(std::count(file.begin() + static_cast<std::ptrdiff_t>(g.offset),
                       file.begin() + static_cast<std::ptrdiff_t>(g.offset + g.size), kSoundBlock),
            0);
}

TEST(SimulatorFaults, OlderTailCarriesAnotherArchiveId) {
  RecordingDescription d = Short(700);
  d.archiveId = 0x00050005;
  d.faults.olderTailPictures = 6;
  d.faults.olderTailId = 0x00040004;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  ASSERT_GT(m.olderTailOffset, 0u);
  EXPECT_EQ(m.olderTailId, 0x00040004u);
  const auto blocks = simtest::WalkBlocks(file);
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks.back().offset, m.olderTailOffset);
  EXPECT_EQ(blocks.back().kind, BlockKind::OtherArchive);
  for (size_t i = 0; i + 1 < blocks.size(); ++i) EXPECT_EQ(blocks[i].header.archiveId, 0x00050005u);
  // The older recording's own pictures follow, well formed, all with its id.
  int older = 0;
  for (uint64_t pos = m.olderTailOffset; pos + kBlockSize <= file.size(); pos += kBlockSize) {
    const BlockHeader h = DecodeBlockHeader(&file[pos]);
    EXPECT_EQ(h.archiveId, 0x00040004u);
    if (h.type == kPictureBlock && h.fragment == 1) ++older;
  }
  EXPECT_EQ(older, 6);
  // The manifest lists this recording only.
  for (const auto& p : m.pictures) EXPECT_LT(p.blockOffsets.back(), m.olderTailOffset);
}

TEST(SimulatorFaults, TruncationCutsTheLastBlock) {
  RecordingDescription d = Short(500);
  const auto whole = recsim::BuildRecording(d);
  d.faults.truncateLastBlockBytes = 3000;
  RecordingManifest m;
  const auto cut = recsim::BuildRecording(d, &m);
  EXPECT_EQ(cut.size(), whole.size() - 3000);
  EXPECT_EQ(m.fileSize, cut.size());
  EXPECT_EQ(m.truncatedBytes, 3000u);
  EXPECT_TRUE(std::equal(cut.begin(), cut.end(), whole.begin()));
  // More than a block asks for too much: only the last block is ever cut.
  d.faults.truncateLastBlockBytes = 100000;
  const auto short2 = recsim::BuildRecording(d, &m);
  EXPECT_EQ(short2.size(), whole.size() - (kBlockSize - 1));
}

TEST(SimulatorFaults, MissingFragmentLeavesAHole) {
  RecordingDescription d = Short(600);
  d.jpegQuality = 85;  // three or more fragments per picture
  d.sound = false;
  d.faults.missingFragmentPicture = 4;
  d.faults.missingFragmentNumber = 2;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  const auto& p = m.pictures[4];
  ASSERT_GE(p.fragmentCount, 3);
  ASSERT_EQ(static_cast<int>(p.blockOffsets.size()), p.fragmentCount - 1);
  // Fragment 1 is followed directly by fragment 3.
  EXPECT_EQ(p.blockOffsets[1], p.blockOffsets[0] + kBlockSize);
  EXPECT_EQ(DecodeBlockHeader(&file[p.blockOffsets[0]]).fragment, 1);
  EXPECT_EQ(DecodeBlockHeader(&file[p.blockOffsets[1]]).fragment, 3);
  // The neighbours are whole.
  EXPECT_EQ(static_cast<int>(m.pictures[3].blockOffsets.size()), m.pictures[3].fragmentCount);
  EXPECT_EQ(static_cast<int>(m.pictures[5].blockOffsets.size()), m.pictures[5].fragmentCount);
}

TEST(SimulatorFaults, MissingEndMarkerShortensThePayload) {
  RecordingDescription d = Short(400);
  d.faults.noEndMarkerPicture = 2;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  const auto& p = m.pictures[2];
  EXPECT_FALSE(p.endMarker);
  EXPECT_EQ(static_cast<size_t>(p.payloadSize), p.jpeg->size() - 2);
  // The last five content bytes hold no FF D9, where a whole picture has one.
  const auto hasEnd = [](const std::vector<uint8_t>& c) {
    for (size_t i = c.size() - 5; i + 1 < c.size(); ++i) {
      if (c[i] == 0xFF && c[i + 1] == 0xD9) return true;
    }
    return false;
  };
  EXPECT_FALSE(hasEnd(simtest::Reassemble(file, p)));
  EXPECT_TRUE(hasEnd(simtest::Reassemble(file, m.pictures[1])));
  EXPECT_TRUE(m.pictures[1].endMarker);
}

TEST(SimulatorFaults, OtherFormatVersionInTags) {
  RecordingDescription d = Short(500);
  d.jpegQuality = 85;
  d.faults.otherVersionPicture = 3;
  d.faults.otherVersion = FormatVersion{0x05, 0x00};
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  for (const auto& p : m.pictures) {
    const bool other = p.index == 3;
    EXPECT_EQ(p.version, other ? (FormatVersion{0x05, 0x00}) : FormatVersion{});
    for (uint64_t offset : p.blockOffsets) {
      const uint8_t* tag = &file[offset + kBlockHeaderSize];
      EXPECT_TRUE(HasSignature(tag));  // still recognised as a block
      EXPECT_EQ(HasVersion(tag, FormatVersion{}), !other);
    }
    std::vector<uint8_t> content = simtest::Reassemble(file, p);
    EXPECT_EQ(RebuildJpegStream(content, FormatVersion{}), !other);
  }
  // The whole recording in another version: the first picture already differs.
  d.faults.otherVersionPicture = -1;
  d.version = FormatVersion{0x04, 0x02};
  const auto all = recsim::BuildRecording(d, &m);
  EXPECT_FALSE(HasVersion(&all[m.pictures[0].blockOffsets[0] + kBlockHeaderSize], FormatVersion{}));
  EXPECT_TRUE(HasVersion(&all[m.pictures[0].blockOffsets[0] + kBlockHeaderSize], FormatVersion{0x04, 0x02}));
}

TEST(SimulatorFaults, TickCounterWraps) {
  RecordingDescription d = Short(2000);
  d.faults.tickWrapAfterMs = 1000;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  EXPECT_EQ(m.startTick, 4294967296u - 1000u);
  EXPECT_EQ(DecodeArchiveHeader(file.data()).startTick, m.startTick);
  int wrapped = 0;
  for (const auto& p : m.pictures) {
    EXPECT_EQ(DecodeBlockHeader(&file[p.blockOffsets[0]]).tick, p.tick);
    if (p.elapsedMs >= 1000) {
      EXPECT_EQ(p.tick, static_cast<uint32_t>(p.elapsedMs - 1000));
      ++wrapped;
    } else {
      EXPECT_GE(p.tick, m.startTick);
    }
  }
  EXPECT_GT(wrapped, 20);
  // The sound's ticks wrap with the pictures'.
  EXPECT_LT(m.sounds.back().tick, m.sounds.front().tick);
}

TEST(SimulatorFaults, InvalidDatesAreImpossibleBcd) {
  RecordingDescription d = Short(800);
  d.faults.invalidDateFirst = 4;
  d.faults.invalidDateCount = 3;
  d.faults.invalidHeaderDate = true;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  EXPECT_EQ(DecodeArchiveHeader(file.data()).startTime, 0);
  EXPECT_EQ(file[3], 0x02);
  EXPECT_EQ(file[4], 0x30);
  for (const auto& p : m.pictures) {
    const uint8_t* block = &file[p.blockOffsets[0]];
    const PictureValues v = DecodePictureValues(block);
    const bool bad = p.index >= 4 && p.index < 7;
    EXPECT_EQ(v.time == 0, bad) << "picture " << p.index;
    EXPECT_TRUE(std::equal(p.bcdTime, p.bcdTime + 6, block + 34));
  }
  EXPECT_EQ(file[m.pictures[4].blockOffsets[0] + 35], 0x02);  // 30 February
  EXPECT_EQ(file[m.pictures[4].blockOffsets[0] + 36], 0x30);
  EXPECT_EQ(file[m.pictures[5].blockOffsets[0] + 37], 0x25);  // 25 o'clock
}

TEST(SimulatorFaults, CollidingPicturesShareATimelineSlot) {
  RecordingDescription d = Short(1000);
  d.faults.collidePicture = 10;
  d.faults.collisionCount = 2;
  RecordingManifest m;
  recsim::BuildRecording(d, &m);
  const uint32_t t0 = m.pictures.front().tick;
  const auto slot = [&](uint32_t tick) { return static_cast<int>((tick - t0) / (1000.0 / 28)); };
  EXPECT_EQ(m.pictures[10].tick, m.pictures[9].tick);
  EXPECT_EQ(m.pictures[11].tick, m.pictures[9].tick);
  EXPECT_EQ(slot(m.pictures[11].tick), slot(m.pictures[9].tick));
  // The pictures after them keep their own times.
  EXPECT_EQ(m.pictures[12].tick, t0 + static_cast<uint32_t>(m.pictures[12].elapsedMs));
  EXPECT_GT(slot(m.pictures[12].tick), slot(m.pictures[9].tick));
}

TEST(SimulatorDeterminism, SameDescriptionSameBytes) {
  RecordingDescription d = Short(1200);
  d.mode = recsim::PictureMode::Full;
  d.switchPressesMs = {300};
  d.faults.garbageAfterPicture = 3;
  d.faults.olderTailPictures = 2;
  RecordingManifest m1, m2;
  const auto a = recsim::BuildRecording(d, &m1);
  const auto b = recsim::BuildRecording(d, &m2);
  EXPECT_EQ(a, b);
  ASSERT_EQ(m1.pictures.size(), m2.pictures.size());
  for (size_t i = 0; i < m1.pictures.size(); ++i) EXPECT_EQ(m1.pictures[i].jpegHash, m2.pictures[i].jpegHash);
  d.seed = 2;
  EXPECT_NE(recsim::BuildRecording(d), a);
}

}  // namespace

namespace {

std::vector<uint8_t> ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The streamed file writer and the in-memory builder give the same bytes, cut included.
TEST(SimulatorDeterminism, FileAndMemoryAgree) {
  TempDir dir;
  RecordingDescription d = Short(900);
  d.faults.truncateLastBlockBytes = 1234;
  d.faults.olderTailPictures = 1;
  RecordingManifest inMemory;
  const auto bytes = recsim::BuildRecording(d, &inMemory);
  const auto path = dir / "0001_001.DAT";
  const RecordingManifest written = recsim::WriteRecording(d, path.wstring());
  EXPECT_EQ(ReadWhole(path), bytes);
  EXPECT_EQ(written.fileSize, bytes.size());
  EXPECT_EQ(written.pictures.size(), inMemory.pictures.size());
  EXPECT_EQ(written.sounds.size(), inMemory.sounds.size());
}

TEST(SimulatorDeterminism, UnwritablePathThrows) {
  TempDir dir;
  const auto path = dir / "missing" / "0001_001.DAT";
  EXPECT_THROW(recsim::WriteRecording(Short(100), path.wstring()), std::runtime_error);
}

}  // namespace
