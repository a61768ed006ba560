#include "playback/SoundArithmetic.h"

#include <gtest/gtest.h>

#include <limits>
#include <numeric>

#include "playback/ISoundPlayer.h"

namespace {

WaveFormat Recorder() {
  WaveFormat f;
  f.formatTag = 1;
  f.channels = 1;
  f.samplesPerSec = kSoundSampleRate;
  f.avgBytesPerSec = kSoundSampleRate;
  f.blockAlign = 1;
  f.bitsPerSample = 8;
  return f;
}

constexpr int32_t kTenSeconds = 131830;
constexpr uint32_t kChunk = kSoundSampleRate / 5;

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
