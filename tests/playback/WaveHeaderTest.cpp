#include "playback/WaveHeader.h"

#include <gtest/gtest.h>

#include <limits>

#include "WaveBytes.h"
#include "recording/ArchiveFormat.h"

namespace {

std::optional<WaveHeader> Check(const std::vector<uint8_t>& file) {
  return CheckWaveHeader(file.data(), file.size(), file.size());
}

WaveBytes Accepted() {
  WaveBytes w;
  w.samples = Sawtooth(500);
  return w;
}

}  // namespace

TEST(WaveHeader, AcceptsTheRecorderLayoutAndReadsItsFields) {
  WaveBytes w = Accepted();
  w.bitsPerSample = 8;
  const auto header = Check(w.build());
  ASSERT_TRUE(header);
  EXPECT_EQ(header->format.formatTag, 1);
  EXPECT_EQ(header->format.channels, 1);
  EXPECT_EQ(header->format.samplesPerSec, uint32_t(archive::kSoundSampleRate));
  EXPECT_EQ(header->format.avgBytesPerSec, uint32_t(archive::kSoundSampleRate));
  EXPECT_EQ(header->format.blockAlign, 1);
  EXPECT_EQ(header->format.bitsPerSample, 8);
  EXPECT_EQ(header->dataBytes, 500u);
}

TEST(WaveHeader, SizeFieldsOfRiffAndFormatAreNotUsed) {
  WaveBytes w = Accepted();
  w.fmtSizeField = 99;  // never used to skip: the data chunk must follow at once
  std::vector<uint8_t> file = w.build();
  file[4] = file[5] = file[6] = file[7] = 0xFF;
  EXPECT_TRUE(Check(file));
}

TEST(WaveHeader, RefusesEveryOtherFormat) {
  struct Variant {
    const char* name;
    void (*change)(WaveBytes&);
  };
  const Variant variants[] = {
      {"8000 Hz", [](WaveBytes& w) { w.samplesPerSec = 8000; }},
      {"44100 Hz", [](WaveBytes& w) { w.samplesPerSec = 44100; }},
      {"stereo", [](WaveBytes& w) { w.channels = 2; w.blockAlign = 2; }},
      {"stereo, block of one", [](WaveBytes& w) { w.channels = 2; }},
      {"16-bit", [](WaveBytes& w) { w.bitsPerSample = 16; w.blockAlign = 2; }},
      {"float", [](WaveBytes& w) { w.formatTag = 3; }},
      {"18-byte format", [](WaveBytes& w) { w.fmtSizeField = 18; w.fmtExtra = {0, 0}; }},
      {"chunk before data",
       [](WaveBytes& w) { w.chunkBeforeData = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'}; }},
      {"empty data", [](WaveBytes& w) { w.samples.clear(); }},
      {"data beyond the file", [](WaveBytes& w) { w.dataSizeField = 501; }},
      {"data beyond 2 GB", [](WaveBytes& w) { w.dataSizeField = 0x80000000u; }},
      {"data of 4 GB", [](WaveBytes& w) { w.dataSizeField = 0xFFFFFFFFu; }},
  };
  for (const Variant& v : variants) {
    WaveBytes w = Accepted();
    v.change(w);
    EXPECT_FALSE(Check(w.build())) << v.name;
  }
}

TEST(WaveHeader, RefusesWrongTagsAndShortInput) {
  const std::vector<uint8_t> good = Accepted().build();
  for (std::size_t at : {0u, 3u, 8u, 11u, 12u, 15u, 36u, 39u}) {
    std::vector<uint8_t> bad = good;
    bad[at] ^= 0x20;  // "RIFF" -> "rIFF" and the like
    EXPECT_FALSE(Check(bad)) << "byte " << at;
  }
  for (std::size_t size = 0; size < kWaveHeaderBytes; ++size) {
    EXPECT_FALSE(CheckWaveHeader(good.data(), size, good.size())) << size;
  }
  EXPECT_FALSE(CheckWaveHeader(nullptr, 0, 0));
  // The header alone, without the samples it announces.
  EXPECT_FALSE(CheckWaveHeader(good.data(), kWaveHeaderBytes, kWaveHeaderBytes));
  // A file larger than its data chunk is fine (trailing chunks are never read).
  EXPECT_TRUE(CheckWaveHeader(good.data(), kWaveHeaderBytes, good.size() + 1000));
}
