// Hundreds of damaged recordings through Load and ReadFrameImage: whatever the damage,
// a load either succeeds with consistent tables or fails with the reader's exception,
// and nothing is left behind. The Windows flavour runs this under Wine with
// undefined-behaviour traps; the host flavour under the address sanitizer.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "RecorderSimulator.h"
#include "TempDir.h"
#include "foundation/Exception.h"
#include "recording/VideoArchive.h"

namespace {

using namespace archive;

// A small deterministic generator (xorshift), so a failing case can be replayed by number.
struct Rng {
  uint64_t s;
  explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ULL + 1) {}
  uint64_t Next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
  size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
};

std::vector<uint8_t> Base(int variant) {
  recsim::RecordingDescription d;
  d.durationMs = 900;
  d.mode = recsim::PictureMode::Fast;
  d.fastVariants = 2;
  d.width = 240;
  d.height = 180;
  d.targetJpegBytes = variant == 0 ? 12000 : 5000;  // two fragments, or one
  d.seed = static_cast<uint32_t>(variant + 1);
  d.switchPressesMs = {300};
  if (variant == 1) d.faults.garbageAfterPicture = 4;
  if (variant == 2) d.faults.olderTailPictures = 3;
  return recsim::BuildRecording(d);
}

void PutS32(uint8_t* p, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u >> 24);
  p[1] = static_cast<uint8_t>(u >> 16);
  p[2] = static_cast<uint8_t>(u >> 8);
  p[3] = static_cast<uint8_t>(u);
}

const int32_t kNastySizes[] = {INT32_MIN, -8192, -1, 0, 1, 15, 16, 17, 63, 64, 65, 4096, 8128, 8129,
                               8192, 16240, 81136, 81137, 1 << 20, (1 << 20) + 1, INT32_MAX};

// One kind of damage, chosen by the case number.
std::vector<uint8_t> Mutate(std::vector<uint8_t> f, int n, Rng& rng) {
  const size_t blocks = (f.size() - kHeaderAreaSize) / kBlockSize;
  auto block = [&] { return kHeaderAreaSize + rng.Below(blocks) * kBlockSize; };
  switch (n % 8) {
    case 0:  // scattered byte damage
      for (int i = 0, count = 1 + static_cast<int>(rng.Below(40)); i < count; ++i)
        f[kHeaderAreaSize + rng.Below(f.size() - kHeaderAreaSize)] = static_cast<uint8_t>(rng.Next());
      break;
    case 1:  // a block or payload size from the list of edge values
    case 2:
      for (int i = 0, count = 1 + static_cast<int>(rng.Below(3)); i < count; ++i)
        PutS32(&f[block() + (n % 8 == 1 ? 0 : 8)], kNastySizes[rng.Below(std::size(kNastySizes))]);
      break;
    case 3:  // fragment numbers and types
      for (int i = 0, count = 1 + static_cast<int>(rng.Below(4)); i < count; ++i) {
        const size_t at = block();
        f[at + 12] = static_cast<uint8_t>(rng.Below(2) ? 0x55 : rng.Next());
        f[at + 13] = static_cast<uint8_t>(rng.Below(14));
      }
      break;
    case 4:  // cut anywhere, the header area included
      f.resize(rng.Below(f.size()));
      break;
    case 5: {  // blocks shifted by a few bytes (a lost or doubled range)
      const size_t at = block();
      const size_t len = 1 + rng.Below(20000);
      if (rng.Below(2)) f.erase(f.begin() + static_cast<long>(at), f.begin() + static_cast<long>(std::min(f.size(), at + len)));
      else f.insert(f.begin() + static_cast<long>(at), f.begin() + static_cast<long>(at),
                    f.begin() + static_cast<long>(std::min(f.size(), at + len)));
      break;
    }
    case 6: {  // a stray signature where none belongs
      const size_t at = kHeaderAreaSize + rng.Below(f.size() - kHeaderAreaSize - 16);
      std::copy(kSignaturePattern, kSignaturePattern + kSignaturePatternSize, f.begin() + static_cast<long>(at));
      break;
    }
    case 7:  // ticks, versions and header fields
      for (int i = 0, count = 1 + static_cast<int>(rng.Below(4)); i < count; ++i) {
        const size_t at = block();
        PutS32(&f[at + 4], static_cast<int32_t>(rng.Next()));
        if (rng.Below(3) == 0) f[at + 64] = static_cast<uint8_t>(rng.Next());
      }
      if (rng.Below(4) == 0) PutS32(&f[16], static_cast<int32_t>(rng.Next()));
      break;
  }
  return f;
}

}  // namespace

TEST(ArchiveMutation, DamagedArchivesNeitherCrashNorLeak) {
  const std::vector<uint8_t> bases[] = {Base(0), Base(1), Base(2)};
  TempDir dir;
  const std::wstring path = (dir / "0001_001.DAT").wstring();
  VideoArchive archive;
  int loaded = 0, refused = 0, pictures = 0;
  for (int n = 0; n < 300; ++n) {
    SCOPED_TRACE(n);
    Rng rng(static_cast<uint64_t>(n));
    const std::vector<uint8_t> bytes = Mutate(bases[n % 3], n, rng);
    if (std::getenv("MUTATION_TRACE")) std::fprintf(stderr, "case %d\n", n);
    std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    try {
      archive.Load(path, nullptr);
    } catch (const VideoArchiveException&) {
      ++refused;
      EXPECT_FALSE(archive.IsOpen());
      EXPECT_EQ(archive.SlotCount(), 0);
      if (!archive.SoundPath().empty()) {
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(archive.SoundPath())));
      }
      continue;
    }
    ++loaded;
    ASSERT_LE(archive.SlotCount(), VideoArchive::kMaxSlots);
    EXPECT_EQ(archive.IndexCount(), archive.SlotCount());
    EXPECT_EQ(std::filesystem::file_size(std::filesystem::path(archive.SoundPath())),
              44u + archive.SoundDataBytes());
    for (int s = 0; s < archive.SlotCount(); ++s) {
      ASSERT_NE(archive.Entry(s), nullptr);
      pictures += archive.ReadFrameImage(s) != nullptr;
    }
    archive.Close();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(archive.SoundPath())));
  }
  // The damage must leave most recordings readable, or the cases test nothing.
  EXPECT_GT(loaded, 200);
  EXPECT_GT(refused, 0);
  EXPECT_GT(pictures, 1000);
  std::printf("loaded %d, refused %d, pictures decoded %d\n", loaded, refused, pictures);
}
