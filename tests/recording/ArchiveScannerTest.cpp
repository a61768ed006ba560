// The scan against damaged length fields, and the reader's fragment arithmetic against
// archives laid out byte by byte here (not by the simulator, which shares the reader's
// arithmetic and so could not catch a fault in it).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "HandArchive.h"
#include "recording/ByteStream.h"
#include "recording/VideoArchive.h"

namespace {

using namespace archive;

constexpr uint32_t kT = 200000;
constexpr uint8_t kSoundBefore = 0x90;
constexpr uint8_t kSoundAfter = 0x91;

// Loads with the sound kept in memory; returns the WAVE data bytes.
std::vector<uint8_t> LoadWithSound(VideoArchive& a, std::vector<uint8_t> bytes) {
  MemorySink sound;
  std::vector<uint8_t> data;
  a.Load(std::make_unique<MemorySource>(std::move(bytes)), nullptr, &sound);
  if (sound.Bytes().size() > 44) data.assign(sound.Bytes().begin() + 44, sound.Bytes().end());
  return data;
}

std::set<int64_t> ScannedTicks(const VideoArchive& a) {
  std::set<int64_t> ticks;
  for (int s = 0; s < a.SlotCount(); ++s) {
    if (!a.Entry(s)->copy) ticks.insert(a.Entry(s)->tick);
  }
  return ticks;
}

struct Damage {
  uint8_t type;
  int32_t blockSize;
  int32_t payload;
};
std::vector<Damage> Damages() {
  std::vector<Damage> all;
  const int32_t sizes[] = {-8192, -1, 0, 1, 2, 63, 64, 65, 79, 8192, 8193, 1 << 20, (1 << 20) + 1,
                           0x7FFFF000, 0x7FFFFFFF, INT32_MIN};
  const int32_t payloads[] = {-5, 0, 15, 16, 2000, 8128, 90000, 0x7FFFFFFF};
  for (uint8_t type : {kPictureBlock, kSoundBlock}) {
    for (int32_t size : sizes) {
      for (int32_t payload : payloads) all.push_back({type, size, payload});
    }
  }
  return all;
}

// One block with a damaged length field between good pictures and sound: whatever the
// field says, the scan ends, and every other picture and sound block is kept. The
// damaged block is physically an ordinary 8 KiB block with a valid tag, so that a scan
// which resynchronises onto its own signature would find it again and again.
TEST(DamagedLengthField, CostsAtMostItsOwnEntry) {
  for (const Damage& d : Damages()) {
    SCOPED_TRACE(testing::Message() << "type " << int(d.type) << " size " << d.blockSize << " payload "
                                    << d.payload);
    HandArchive h;
    h.Picture(kT);
    h.Sound(kT + 10, 4096, kSoundBefore);
    HandArchive::Block bad;
    bad.type = d.type;
    bad.tag = true;
    bad.tick = kT + 36;
    bad.blockSize = d.blockSize;
    bad.payload = d.payload;
    h.Add(bad, 8192, 0x11, 2000);
    h.Picture(kT + 72);
    h.Sound(kT + 80, 4096, kSoundAfter);
    h.Picture(kT + 108);

    VideoArchive a;
    const std::vector<uint8_t> wave = LoadWithSound(a, h.Bytes());
    std::set<int64_t> ticks = ScannedTicks(a);
    ticks.erase(kT + 36);  // the damaged block may or may not be usable
    EXPECT_EQ(ticks, (std::set<int64_t>{kT, kT + 72, kT + 108}));
    EXPECT_NE(std::find(wave.begin(), wave.end(), kSoundBefore), wave.end());
    EXPECT_NE(std::find(wave.begin(), wave.end(), kSoundAfter), wave.end());
    // Whatever was kept can be read back without reading outside the file.
    std::vector<uint8_t> jpeg;
    for (int s = 0; s < a.SlotCount(); ++s) a.ReadFrameJpeg(s, jpeg);
  }
}

// A picture whose content is byte-distinct: content byte i (after the tag) holds a value
// that depends on i, so a fragment read from the wrong place or in the wrong order shows.
// The last two bytes are the end-of-image marker, wherever the blocks split them.
uint8_t ContentByte(int32_t i, int32_t payload) {
  if (i == payload - 2) return 0xFF;
  if (i == payload - 1) return 0xD9;
  return static_cast<uint8_t>((i * 7 + i / 251) & 0x7F);
}

// Lays out a picture of `payload` bytes by hand: the first block carries content bytes
// 0..8127 (the tag and 8112 JPEG bytes), every further block its own tag and then the
// next 8112 bytes.
void AddDistinctPicture(HandArchive& h, uint32_t tick, int32_t payload) {
  HandArchive::Block b;
  b.tick = tick;
  b.payload = payload;
  int32_t done = 0;
  for (uint8_t fragment = 1; done < payload; ++fragment) {
    b.fragment = fragment;
    const size_t at = h.Add(b, 8192, 0x00, -1);
    const size_t first = fragment == 1 ? 64 : 80;  // content starts behind the header (and tag)
    const int32_t count = std::min(fragment == 1 ? 8128 : 8112, payload - done);
    for (int32_t i = 0; i < count; ++i) {
      if (done + i < 16) continue;  // the tag, written by Add
      h.Bytes()[at + first + static_cast<size_t>(i)] = ContentByte(done + i, payload);
    }
    done += count;
  }
}

class FragmentLayout : public testing::TestWithParam<std::tuple<int32_t, int>> {};

TEST_P(FragmentLayout, IsReassembledByteForByte) {
  const int32_t payload = std::get<0>(GetParam());
  const int fragments = std::get<1>(GetParam());
  HandArchive h;
  AddDistinctPicture(h, kT, payload);
  h.Picture(kT + 36);  // the block after the picture is read normally
  VideoArchive a;
  a.Load(std::make_unique<MemorySource>(h.Bytes()), nullptr, nullptr);
  ASSERT_EQ(a.SlotCount(), 2);
  const FrameEntry& e = *a.Entry(0);
  EXPECT_TRUE(e.complete);
  EXPECT_EQ(e.fragmentCount, fragments);
  for (int k = 0; k < fragments; ++k) {
    EXPECT_EQ(e.fragmentPos[k], static_cast<int64_t>(8192 + 8192 * k + 64)) << k;
  }

  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(a.ReadFrameJpeg(0, jpeg));
  ASSERT_EQ(jpeg.size(), static_cast<size_t>(payload));
  EXPECT_TRUE(std::equal(kJpegPrefix, kJpegPrefix + 16, jpeg.begin()));
  int32_t wrong = 0;
  for (int32_t i = 16; i < payload; ++i) wrong += jpeg[static_cast<size_t>(i)] != ContentByte(i, payload);
  EXPECT_EQ(wrong, 0);
}

// The boundaries: a first block exactly full, one byte more, a continuation exactly
// full, and the largest picture ten fragments hold.
INSTANTIATE_TEST_SUITE_P(Boundaries, FragmentLayout,
                         testing::Values(std::make_tuple(8128, 1), std::make_tuple(8129, 2),
                                         std::make_tuple(8128 + 8112, 2), std::make_tuple(8128 + 8113, 3),
                                         std::make_tuple(81136, 10)));

TEST(FragmentLayout, ALargerPictureThanTenFragmentsIsDroppedAndTheScanGoesOn) {
  HandArchive h;
  AddDistinctPicture(h, kT, 81137);  // eleven blocks
  h.Picture(kT + 36);
  VideoArchive a;
  a.Load(std::make_unique<MemorySource>(h.Bytes()), nullptr, nullptr);
  ASSERT_EQ(a.SlotCount(), 1);
  EXPECT_EQ(a.Entry(0)->tick, kT + 36);
}

}  // namespace
