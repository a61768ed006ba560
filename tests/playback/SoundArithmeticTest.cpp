#include "playback/SoundArithmetic.h"

#include <gtest/gtest.h>

#include <limits>
#include <numeric>
#include <utility>

#include "playback/ISoundPlayer.h"
#include "recording/ArchiveFormat.h"

namespace {

WaveFormat Recorder() {
  WaveFormat f;
  f.formatTag = 1;
  f.channels = 1;
  f.samplesPerSec = archive::kSoundSampleRate;
  f.avgBytesPerSec = archive::kSoundSampleRate;
  f.blockAlign = 1;
  f.bitsPerSample = 8;
  return f;
}

constexpr int32_t kTenSeconds = 131830;
constexpr uint32_t kChunk = archive::kSoundSampleRate / 5;

}  // namespace

TEST(SoundArithmetic, BytesFromMsRoundsDownAndClampsIntoTheSound) {
  const WaveFormat f = Recorder();
  EXPECT_EQ(BytesFromMs(f, kTenSeconds, 0), 0);
  EXPECT_EQ(BytesFromMs(f, kTenSeconds, 100), 1318);  // 1318.3
  EXPECT_EQ(BytesFromMs(f, kTenSeconds, 5000), 65915);
  EXPECT_EQ(BytesFromMs(f, kTenSeconds, -1), 0);
  EXPECT_EQ(BytesFromMs(f, kTenSeconds, std::numeric_limits<int32_t>::min()), 0);
  EXPECT_EQ(BytesFromMs(f, kTenSeconds, 10000), kTenSeconds - 1);
  EXPECT_EQ(BytesFromMs(f, kTenSeconds, std::numeric_limits<int32_t>::max()), kTenSeconds - 1);
  EXPECT_EQ(BytesFromMs(f, 0, 100), 0);
}

TEST(SoundArithmetic, PlayedBytesReadsEveryUnitTheDeviceMayAnswerIn) {
  WaveFormat stereo16 = Recorder();
  stereo16.channels = 2;
  stereo16.blockAlign = 4;
  stereo16.samplesPerSec = 8000;
  const struct {
    const char* name;
    WaveFormat format;
    DeviceTimeUnit unit;
    uint32_t count;
    int64_t bytes;
  } cases[] = {
      {"bytes", Recorder(), DeviceTimeUnit::Bytes, 13183, 13183},
      {"no bytes yet", Recorder(), DeviceTimeUnit::Bytes, 0, 0},
      {"samples of one byte", Recorder(), DeviceTimeUnit::Samples, 2636, 2636},
      {"samples of four bytes", stereo16, DeviceTimeUnit::Samples, 100, 400},
      {"a second in ms", Recorder(), DeviceTimeUnit::Milliseconds, 1000, 13183},
      {"ms truncated", Recorder(), DeviceTimeUnit::Milliseconds, 100, 1318},  // 1318.3
      {"ms of four-byte samples", stereo16, DeviceTimeUnit::Milliseconds, 250, 8000},
      {"the largest ms count", Recorder(), DeviceTimeUnit::Milliseconds, 0xFFFFFFFFu,
       int64_t(0xFFFFFFFFu) * 13183 / 1000},
      {"a unit without a position", Recorder(), DeviceTimeUnit::Other, 500, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlayedBytes(c.format, c.unit, c.count), c.bytes) << c.name;
  }
  // A millisecond count gives the same time back, down to the whole sample it lies in.
  for (const auto& [ms, back] : {std::pair{5000u, 5000}, std::pair{100u, 99}}) {
    const int64_t bytes = PlayedBytes(Recorder(), DeviceTimeUnit::Milliseconds, ms);
    EXPECT_EQ(MsFromBytes(Recorder(), kTenSeconds, static_cast<int32_t>(bytes)), back) << ms;
  }
}

TEST(SoundArithmetic, MsFromBytesRoundsDownAndClampsIntoTheSound) {
  const WaveFormat f = Recorder();
  EXPECT_EQ(MsFromBytes(f, kTenSeconds, 1318), 99);  // 99.98
  EXPECT_EQ(MsFromBytes(f, kTenSeconds, 13183), 1000);
  EXPECT_EQ(MsFromBytes(f, kTenSeconds, -5), 0);
  EXPECT_EQ(MsFromBytes(f, kTenSeconds, kTenSeconds + 100), MsFromBytes(f, kTenSeconds, kTenSeconds - 1));
  EXPECT_EQ(MsFromBytes(f, 0, 1000), 0);
  WaveFormat broken = f;
  broken.blockAlign = 0;
  EXPECT_EQ(MsFromBytes(broken, kTenSeconds, 1000), 0);
}

TEST(SoundArithmetic, MsFromBytesReadsTheRateAsUnsigned) {
  WaveFormat f = Recorder();
  f.samplesPerSec = 0x80000000u;  // negative as a signed value
  EXPECT_EQ(MsFromBytes(f, std::numeric_limits<int32_t>::max(), 0x7FFFFFFE), 999);
}

TEST(SoundArithmetic, ConvertingThereAndBackLosesLessThanAMillisecond) {
  const WaveFormat f = Recorder();
  for (int32_t ms = 0; ms < 10000; ++ms) {
    const int32_t back = MsFromBytes(f, kTenSeconds, BytesFromMs(f, kTenSeconds, ms));
    ASSERT_LE(back, ms);
    ASSERT_GE(back, ms - 1) << ms;
  }
}

TEST(SoundArithmetic, ChunksEndOnChunkBoundaries) {
  EXPECT_EQ(kChunk, 2636u);
  ChunkSpan c = NextChunk(0, kTenSeconds, kChunk);
  EXPECT_EQ(c.start, 0);
  EXPECT_EQ(c.end, 2636);
  c = NextChunk(1318, kTenSeconds, kChunk);  // play(100): a short first chunk
  EXPECT_EQ(c.start, 1318);
  EXPECT_EQ(c.length(), 1318);
  c = NextChunk(2636, kTenSeconds, kChunk);
  EXPECT_EQ(c.start, 2636);
  EXPECT_EQ(c.end, 5272);
  c = NextChunk(-40, kTenSeconds, kChunk);
  EXPECT_EQ(c.start, 0);
  EXPECT_EQ(c.end, 2636);
}

TEST(SoundArithmetic, ChunksCoverTheSoundOnceAndStopBeforeItsLastSample) {
  for (int32_t length : {1, 2, 2636, 2637, 5272, 5273, 13183, 7001}) {
    int32_t start = 0;
    int32_t covered = 0;
    int guard = 0;
    for (;;) {
      const ChunkSpan c = NextChunk(start, length, kChunk);
      if (c.length() <= 0) break;
      ASSERT_EQ(c.start, start);
      ASSERT_LE(c.length(), static_cast<int32_t>(kChunk));
      covered += c.length();
      start = c.end;
      ASSERT_LT(++guard, 100) << length;
    }
    EXPECT_EQ(covered, length - 1) << length;
  }
}

TEST(SoundArithmetic, NoChunkWithoutSoundOrChunkSize) {
  EXPECT_EQ(NextChunk(0, 0, kChunk).length(), 0);
  EXPECT_EQ(NextChunk(0, kTenSeconds, 0).length(), 0);
  EXPECT_EQ(NextChunk(kTenSeconds - 1, kTenSeconds, kChunk).length(), 0);
  EXPECT_EQ(NextChunk(std::numeric_limits<int32_t>::max(), kTenSeconds, kChunk).length(), 0);
}

TEST(SoundArithmetic, VolumeScalesAroundSilenceTruncatingTowardZero) {
  std::vector<uint8_t> in(256);
  std::iota(in.begin(), in.end(), 0);
  std::vector<uint8_t> out(256);

  ScaleSamples(in.data(), out.data(), in.size(), kMaxVolume);
  EXPECT_EQ(out, in);

  ScaleSamples(in.data(), out.data(), in.size(), 0);
  EXPECT_EQ(out, std::vector<uint8_t>(256, 128));

  ScaleSamples(in.data(), out.data(), in.size(), 8);
  EXPECT_EQ(out[0], 64);    // -128 * 8 / 16 = -64
  EXPECT_EQ(out[1], 65);    // -127 * 8 / 16 = -63.5 -> -63, not -64
  EXPECT_EQ(out[127], 128);  // -1 * 8 / 16 = -0.5 -> 0
  EXPECT_EQ(out[128], 128);
  EXPECT_EQ(out[255], 191);  // 127 * 8 / 16 = 63.5 -> 63

  // Out-of-range volumes act as their nearest bound.
  ScaleSamples(in.data(), out.data(), in.size(), 20);
  EXPECT_EQ(out, in);
  ScaleSamples(in.data(), out.data(), in.size(), -3);
  EXPECT_EQ(out, std::vector<uint8_t>(256, 128));
}
