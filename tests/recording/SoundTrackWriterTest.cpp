// The sound track's exact layout: leading silence, dropped blocks, bridged gaps.
#include <gtest/gtest.h>

#include <algorithm>

#include "recording/ByteStream.h"
#include "recording/SoundTrackWriter.h"

namespace {

// Sound blocks of `bytes` samples each (value = 1, 2, 3, ... per block) in an archive
// held in memory, one every 8192 bytes.
struct Track {
  std::vector<uint8_t> file;
  std::vector<SoundBlock> blocks;
  std::vector<uint8_t> pool;

  void Add(int64_t tick, int32_t payload, uint8_t value, int stored = 4096) {
    SoundBlock b;
    b.tick = tick;
    b.payloadSize = payload;
    b.position = static_cast<int64_t>(file.size());
    file.resize(file.size() + static_cast<size_t>(stored), value);
    file.resize(file.size() + 8192 - static_cast<size_t>(stored), 0);
    blocks.push_back(b);
  }

  // Writes the track reading every block from the archive; returns the data chunk.
  std::vector<uint8_t> Write(bool pictures, double firstPicture, size_t fileSize = SIZE_MAX) {
    MemorySource source(file.data(), std::min(fileSize, file.size()));
    MemorySink sink;
    SoundTrackWriter writer(sink, pool, &source);
    writer.WriteHeader(0);
    const uint32_t bytes = writer.WriteTrack(blocks, pictures, firstPicture);
    const auto& all = sink.Bytes();
    EXPECT_EQ(all.size(), 44u + bytes);
    EXPECT_EQ(std::string(all.begin(), all.begin() + 4), "RIFF");
    EXPECT_EQ(all[4] | all[5] << 8 | all[6] << 16 | uint32_t(all[7]) << 24, bytes + 36);
    EXPECT_EQ(all[40] | all[41] << 8 | all[42] << 16 | uint32_t(all[43]) << 24, bytes);
    return std::vector<uint8_t>(all.begin() + 44, all.end());
  }
};

size_t Count(const std::vector<uint8_t>& d, size_t from, size_t to, uint8_t v) {
  return static_cast<size_t>(std::count(d.begin() + static_cast<long>(from), d.begin() + static_cast<long>(to), v));
}

}  // namespace

TEST(SoundTrackWriter, HeaderIsThe44ByteMonoPcmLayout) {
  MemorySink sink;
  std::vector<uint8_t> pool;
  SoundTrackWriter(sink, pool, nullptr).WriteHeader(1000);
  const uint8_t expected[44] = {'R', 'I', 'F', 'F', 0x0C, 0x04, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                16, 0, 0, 0, 1, 0, 1, 0, 0x7F, 0x33, 0, 0, 0x7F, 0x33, 0, 0,
                                1, 0, 8, 0, 'd', 'a', 't', 'a', 0xE8, 0x03, 0, 0};
  EXPECT_EQ(sink.Bytes(), std::vector<uint8_t>(expected, expected + 44));
}

TEST(SoundTrackWriter, GapsAreBridgedWithTheLastSampleInPiecesAbove2048) {
  Track t;
  t.Add(1000, 4096, 1);  // next 1000 ms later: gap 13183 = 4096 + 2 x 4096, 895 left out
  t.Add(2000, 4096, 2);  // next 546 ms later: gap 7197 = 4096 + 3101
  t.Add(2546, 4096, 3);  // next 100 ms later: gap 1318, the block alone
  t.Add(2646, 4096, 4);  // next 1 ms later: gap 13, dropped
  t.Add(2647, 4096, 5);  // the last: written as it is
  const auto d = t.Write(true, 1038);  // pictures start with the sound: no lead
  ASSERT_EQ(d.size(), 3u * 4096 + 7197 + 4096 + 4096);
  EXPECT_EQ(Count(d, 0, 12288, 1), 12288u);
  EXPECT_EQ(Count(d, 12288, 12288 + 7197, 2), 7197u);
  EXPECT_EQ(Count(d, 19485, 19485 + 4096, 3), 4096u);
  EXPECT_EQ(Count(d, 23581, d.size(), 5), 4096u);
}

TEST(SoundTrackWriter, LeadFollowsTheFirstPictureAndBlocksSortByTick) {
  Track t;
  t.Add(1100, 100, 7);  // file order: the later block first
  t.Add(900, 100, 6);
  const auto d = t.Write(true, 800);  // sound starts 100 ms after the pictures: 817 bytes lead
  // Gap of 200 ms = 2636 bytes: 100 sampled and 2536 bridged (above 2048).
  ASSERT_EQ(d.size(), 817u + 2636 + 100);
  EXPECT_EQ(Count(d, 0, 817, 0x80), 817u);
  EXPECT_EQ(Count(d, 817, 817 + 2636, 6), 2636u);
  EXPECT_EQ(Count(d, d.size() - 100, d.size(), 7), 100u);

  Track none;
  none.Add(900, 100, 6);
  EXPECT_EQ(none.Write(false, 0).size(), 100u);  // without pictures there is no lead
  Track early;
  early.Add(900, 100, 6);
  EXPECT_EQ(early.Write(true, 1000).size(), 100u);  // sound before the pictures: no lead
}

TEST(SoundTrackWriter, ShortReadsKeepTheFillAndEmptyBlocksWriteNothing) {
  Track t;
  t.Add(0, 4096, 9);
  t.Add(600, 0, 8);    // empty and negative payloads only bridge (100 ms: nothing)
  t.Add(700, -50, 8);
  t.Add(900, 4096, 3);
  t.Add(800, 4096, 5);  // last in the file, cut after 1000 bytes
  const auto d = t.Write(false, 0, t.file.size() - 8192 + 1000);
  ASSERT_EQ(d.size(), 7909u + 4096 + 4096);             // 600 ms gap = 7909 bytes
  EXPECT_EQ(Count(d, 0, 7909, 9), 7909u);
  EXPECT_EQ(Count(d, 7909, 8909, 5), 1000u);
  EXPECT_EQ(Count(d, 8909, 12005, 9), 3096u);           // the short read keeps the last sample
  EXPECT_EQ(Count(d, 12005, d.size(), 3), 4096u);
}

TEST(SoundTrackWriter, DamagedTicksCannotFillTheDisk) {
  Track t;
  t.Add(0, 4096, 1);
  t.Add(0xFFFFFFFFLL * 2, 4096, 2);  // half a year later
  const auto d = t.Write(true, -1e9);  // and pictures a week before the sound
  EXPECT_LE(d.size(), size_t(SoundTrackWriter::kMaxFillTotal) + 2 * 4096);
}

TEST(SoundTrackWriter, PooledBytesAreUsedWithoutReadingTheArchive) {
  Track t;
  t.Add(0, 300, 1);
  t.pool.assign(300, 0x44);
  t.blocks[0].pooled = 0;
  t.blocks[0].pooledSize = 200;  // the archive ended after 200 bytes
  MemorySink sink;
  SoundTrackWriter writer(sink, t.pool, nullptr);
  writer.WriteHeader(0);
  ASSERT_EQ(writer.WriteTrack(t.blocks, false, 0), 300u);
  const auto& all = sink.Bytes();
  EXPECT_EQ(Count(all, 44, 244, 0x44), 200u);
  EXPECT_EQ(Count(all, 244, 344, 0x80), 100u);
}
