// The simulator's archives decode back, through the archive format's own decoders, to
// what the description asked for and the manifest reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "ArchiveWalk.h"
#include "PictureSource.h"
#include "RecorderSimulator.h"
#include "foundation/LocalTime.h"
#include "recording/ArchiveFormat.h"

namespace {

using namespace archive;
using recsim::RecordingDescription;
using recsim::RecordingManifest;
using simtest::Short;

TEST(SimulatorLayout, HeaderCarriesStartTickAndId) {
  RecordingDescription d = Short();
  d.start = {2010, 12, 31, 23, 59, 58};
  d.startTick = 123456789;
  d.archiveId = 0xCAFE0042;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  ASSERT_GE(file.size(), kHeaderAreaSize);
  EXPECT_EQ((file.size() - kHeaderAreaSize) % kBlockSize, 0u);
  const ArchiveHeader h = DecodeArchiveHeader(file.data());
  EXPECT_EQ(h.start, d.start);
  EXPECT_NE(h.startTime, 0);
  EXPECT_EQ(h.startTick, 123456789u);
  EXPECT_EQ(h.archiveId, 0xCAFE0042u);
  EXPECT_EQ(m.fileSize, file.size());
  // The rest of the header area is left empty.
  EXPECT_TRUE(std::all_of(file.begin() + 32, file.begin() + kHeaderAreaSize, [](uint8_t b) { return b == 0; }));
}

// Every block is accepted, belongs to the recording, and sits where the manifest says;
// pictures' fragments follow each other 1, 2, … and sound blocks carry their samples.
TEST(SimulatorLayout, BlocksMatchTheManifest) {
  RecordingDescription d = Short(2500);
  d.jpegQuality = 80;  // several fragments per picture
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  const auto blocks = simtest::WalkBlocks(file);
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks.back().offset + kBlockSize, file.size());

  std::set<uint64_t> pictureBlocks, soundBlocks;
  for (const auto& p : m.pictures) pictureBlocks.insert(p.blockOffsets.begin(), p.blockOffsets.end());
  for (const auto& s : m.sounds) soundBlocks.insert(s.blockOffset);
  EXPECT_EQ(pictureBlocks.size() + soundBlocks.size(), blocks.size());

  for (const auto& b : blocks) {
    ASSERT_EQ(b.kind, BlockKind::Accepted) << "block at " << b.offset;
    EXPECT_EQ(b.header.blockSize, static_cast<int32_t>(kBlockSize));
    EXPECT_EQ(b.header.archiveId, d.archiveId);
    if (b.header.type == kSoundBlock) {
      EXPECT_TRUE(soundBlocks.count(b.offset));
      EXPECT_EQ(b.header.fragment, 1);
      EXPECT_EQ(b.header.payloadSize, 4096);
    } else {
      ASSERT_EQ(b.header.type, kPictureBlock);
      EXPECT_TRUE(pictureBlocks.count(b.offset));
    }
  }
  int multi = 0;
  for (const auto& p : m.pictures) {
    ASSERT_EQ(static_cast<int>(p.blockOffsets.size()), p.fragmentCount);
    EXPECT_EQ(p.fragmentCount, FragmentCount(p.payloadSize));
    EXPECT_EQ(static_cast<size_t>(p.payloadSize), p.jpeg->size());  // tag replaces 16 bytes
    if (p.fragmentCount > 1) ++multi;
    for (int k = 1; k <= p.fragmentCount; ++k) {
      const uint8_t* block = &file[p.blockOffsets[static_cast<size_t>(k - 1)]];
      const BlockHeader h = DecodeBlockHeader(block);
      EXPECT_EQ(h.fragment, k);
      EXPECT_EQ(h.tick, p.tick);
      EXPECT_EQ(h.payloadSize, p.payloadSize);
      // Every fragment, first or continuing, starts with a tag of the right version.
      EXPECT_TRUE(HasSignature(block + kBlockHeaderSize));
      EXPECT_TRUE(HasVersion(block + kBlockHeaderSize, FormatVersion{}));
    }
  }
  EXPECT_GT(multi, 0);
  for (const auto& s : m.sounds) {
    const uint8_t* content = &file[s.blockOffset + kBlockHeaderSize];
    EXPECT_EQ(DecodeBlockHeader(&file[s.blockOffset]).tick, s.tick);
    EXPECT_TRUE(std::equal(s.samples.begin(), s.samples.end(), content));
  }
}

TEST(SimulatorLayout, PicturesRebuildIntoDecodableJpegs) {
  RecordingDescription d = Short(300);
  d.mode = recsim::PictureMode::Full;
  d.jpegQuality = 85;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  ASSERT_GE(m.pictures.size(), 8u);
  std::set<uint64_t> hashes;
  for (const auto& p : m.pictures) {
    std::vector<uint8_t> content = simtest::Reassemble(file, p);
    ASSERT_TRUE(RebuildJpegStream(content, FormatVersion{}));
    // The camera's streams begin with the very prefix the reader restores: the rebuilt
    // stream is the encoded one, byte for byte.
    EXPECT_EQ(content, *p.jpeg);
    EXPECT_EQ(recsim::HashBytes(p.jpeg->data(), p.jpeg->size()), p.jpegHash);
    int w = 0, h = 0;
    ASSERT_TRUE(simtest::DecodeJpeg(content, w, h)) << "picture " << p.index;
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    hashes.insert(p.jpegHash);
  }
  // Every picture is its own drawing (clock and number burned in).
  EXPECT_EQ(hashes.size(), m.pictures.size());
}

// Ticks, intervals and the BCD time of every picture follow the start plus elapsed time,
// across a minute, hour and day boundary.
TEST(SimulatorLayout, PictureTimesFollowTheClock) {
  RecordingDescription d = Short(3000);
  d.start = {2011, 2, 28, 23, 59, 58};
  d.startTick = 4000000;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  ASSERT_GE(m.pictures.size(), 80u);
  for (size_t i = 0; i < m.pictures.size(); ++i) {
    const auto& p = m.pictures[i];
    EXPECT_EQ(p.tick, d.startTick + static_cast<uint32_t>(p.elapsedMs));
    if (i > 0) {
      const int step = p.elapsedMs - m.pictures[i - 1].elapsedMs;
      EXPECT_GE(step, 35);
      EXPECT_LE(step, 36);
    }
    const PictureValues v = DecodePictureValues(&file[p.blockOffsets[0]]);
    EXPECT_EQ(v.local, p.local);
    ASSERT_NE(v.time, 0) << "picture " << i;
    int64_t start = 0;
    ASSERT_TRUE(ToCalendarTime(d.start, start));
    EXPECT_EQ(v.time, start + p.elapsedMs / 1000);
  }
  EXPECT_EQ(m.pictures.front().local, d.start);
  const LocalDateTime nextDay{2011, 3, 1, 0, 0, 0};
  EXPECT_EQ(m.pictures[70].local, nextDay);  // about 2.5 s in
  // Both interval lengths occur: the jitter is real.
  std::set<int> steps;
  for (size_t i = 1; i < m.pictures.size(); ++i) steps.insert(m.pictures[i].elapsedMs - m.pictures[i - 1].elapsedMs);
  EXPECT_EQ(steps.size(), 2u);
}

TEST(SimulatorLayout, VehicleValuesDecodeAsWritten) {
  RecordingDescription d = Short(6000);
  d.cruiseSpeedKmh = 60;
  d.status = 0x07;
  d.value1 = 98765432;
  d.value2 = 1234;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  double sumZ = 0;
  for (const auto& p : m.pictures) {
    const uint8_t* block = &file[p.blockOffsets[0]];
    const PictureValues v = DecodePictureValues(block);
    EXPECT_EQ(ReadS16(block + 40), p.gx);
    EXPECT_EQ(ReadS16(block + 42), p.gy);
    EXPECT_EQ(ReadS16(block + 44), p.gz);
    EXPECT_DOUBLE_EQ(v.gx, DecodeG(p.gx));
    EXPECT_EQ(v.speed, std::min(p.speedKmh, kMaxSpeed));
    EXPECT_EQ(ReadU16(block + 46), p.speedBcd);
    EXPECT_EQ(v.status, 0x07);
    EXPECT_EQ(v.value1, 98765432u);
    EXPECT_EQ(v.shortValue, 9876u);
    EXPECT_EQ(v.value2, 1234u);
    EXPECT_EQ(v.event, 0);
    sumZ += v.gz;
  }
  // Gravity on the vertical axis; speeds around the cruise speed.
  EXPECT_NEAR(sumZ / m.pictures.size(), 1.0, 0.05);
  int lo = 1000, hi = 0;
  for (const auto& p : m.pictures) {
    lo = std::min(lo, p.speedKmh);
    hi = std::max(hi, p.speedKmh);
  }
  EXPECT_GT(lo, 20);
  EXPECT_LT(hi, 90);
}

// The default drive brakes and corners: the G values show clear peaks where they happen.
TEST(SimulatorLayout, ManoeuvresShowAsGPeaks) {
  RecordingDescription d = Short(10000);
  d.defaultManoeuvres = false;
  d.manoeuvres = {{recsim::Manoeuvre::Kind::Braking, 2000, 1000, 0.6},
                  {recsim::Manoeuvre::Kind::Cornering, 6000, 1500, -0.5}};
  RecordingManifest m;
  recsim::BuildRecording(d, &m);
  double minX = 0, minY = 0, quietMax = 0;
  int brakeAt = 0;
  for (const auto& p : m.pictures) {
    const double x = DecodeG(p.gx), y = DecodeG(p.gy);
    if (x < minX) {
      minX = x;
      brakeAt = p.elapsedMs;
    }
    minY = std::min(minY, y);
    if (p.elapsedMs < 1900 || (p.elapsedMs > 3100 && p.elapsedMs < 5900)) {
      quietMax = std::max({quietMax, std::fabs(x), std::fabs(y)});
    }
  }
  EXPECT_LT(minX, -0.5);
  EXPECT_NEAR(brakeAt, 2500, 150);
  EXPECT_LT(minY, -0.4);
  EXPECT_LT(quietMax, 0.2);
  // Braking costs speed.
  EXPECT_LT(m.pictures[100].speedKmh, m.pictures[50].speedKmh - 5);
}

// A switch press flags about a second of pictures from the press on, and the sound beeps.
TEST(SimulatorLayout, SwitchPressesFlagEventsAndBeep) {
  RecordingDescription d = Short(5000);
  d.switchPressesMs = {1000, 3500};
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  int flagged = 0;
  for (const auto& p : m.pictures) {
    const bool inside = (p.elapsedMs >= 1000 && p.elapsedMs < 2000) || (p.elapsedMs >= 3500 && p.elapsedMs < 4500);
    const PictureValues v = DecodePictureValues(&file[p.blockOffsets[0]]);
    EXPECT_EQ(v.isEvent(), inside) << "picture at " << p.elapsedMs << " ms";
    if (v.isEvent()) ++flagged;
  }
  EXPECT_GE(flagged, 54);
  EXPECT_LE(flagged, 58);

  // The beep is a 2 kHz tone: many more sign changes around the mean in its 150 ms than
  // in the engine hum and road noise elsewhere.
  std::vector<uint8_t> pcm;
  for (const auto& s : m.sounds) pcm.insert(pcm.end(), s.samples.begin(), s.samples.end());
  const auto crossings = [&](int fromMs) {
    const size_t a = static_cast<size_t>(fromMs * 13.183), b = static_cast<size_t>((fromMs + 150) * 13.183);
    int n = 0;
    for (size_t i = a + 1; i < b && i < pcm.size(); ++i) n += (pcm[i - 1] >= 128) != (pcm[i] >= 128);
    return n;
  };
  EXPECT_GT(crossings(1000), 400);  // 2000 Hz for 0.15 s: 600 crossings
  EXPECT_GT(crossings(3500), 400);
  EXPECT_LT(crossings(2500), 200);
}

TEST(SimulatorLayout, SoundIsCentredAndCoversTheDrive) {
  RecordingDescription d = Short(4000);
  d.startTick = 9000000;
  RecordingManifest m;
  recsim::BuildRecording(d, &m);
  ASSERT_FALSE(m.sounds.empty());
  EXPECT_EQ(m.sounds.front().tick, d.startTick);
  double sum = 0;
  size_t count = 0;
  int lo = 255, hi = 0;
  for (size_t i = 0; i < m.sounds.size(); ++i) {
    for (uint8_t s : m.sounds[i].samples) {
      sum += s;
      lo = std::min<int>(lo, s);
      hi = std::max<int>(hi, s);
    }
    count += m.sounds[i].samples.size();
    if (i > 0) {
      // 4096 samples at 13183 per second: about 310.7 ms apart.
      const uint32_t gap = m.sounds[i].tick - m.sounds[i - 1].tick;
      EXPECT_GE(gap, 310u);
      EXPECT_LE(gap, 311u);
    }
  }
  EXPECT_NEAR(sum / count, 128.0, 3.0);
  EXPECT_GT(hi - lo, 40);   // audible
  EXPECT_LT(hi - lo, 255);  // not clipping all the time
  // Enough samples for the pictures' span.
  EXPECT_GE(count * 1000 / 13183, static_cast<size_t>(m.pictures.back().elapsedMs));
}

TEST(SimulatorLayout, SoundOffsetMovesTheFirstSoundBlock) {
  for (int offset : {100, -100}) {
    RecordingDescription d = Short(1000);
    d.soundOffsetMs = offset;
    RecordingManifest m;
    recsim::BuildRecording(d, &m);
    ASSERT_FALSE(m.sounds.empty());
    EXPECT_EQ(static_cast<int32_t>(m.sounds.front().tick - m.pictures.front().tick), offset);
  }
}

TEST(SimulatorLayout, WithoutSoundOnlyPicturesAreWritten) {
  RecordingDescription d = Short(800);
  d.sound = false;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  EXPECT_TRUE(m.sounds.empty());
  for (const auto& b : simtest::WalkBlocks(file)) EXPECT_EQ(b.header.type, kPictureBlock);
}

TEST(SimulatorLayout, TargetSizeGivesRealisticPictures) {
  RecordingDescription d = Short(400);
  d.mode = recsim::PictureMode::Full;
  d.targetJpegBytes = 35000;
  RecordingManifest m;
  recsim::BuildRecording(d, &m);
  double total = 0;
  for (const auto& p : m.pictures) total += p.jpeg->size();
  EXPECT_NEAR(total / m.pictures.size(), 35000, 35000 * 0.15);
}

TEST(SimulatorLayout, FastModeReusesAFewPictures) {
  RecordingDescription d = Short(2000);
  d.fastVariants = 3;
  RecordingManifest m;
  recsim::BuildRecording(d, &m);
  std::set<uint64_t> hashes;
  for (const auto& p : m.pictures) hashes.insert(p.jpegHash);
  EXPECT_EQ(hashes.size(), 3u);
  // Shared, not copied: the manifest of a maximum-size file stays small.
  EXPECT_EQ(m.pictures[0].jpeg.get(), m.pictures[3].jpeg.get());
}

TEST(SimulatorLayout, CameraPrefixOnlyTouchesJfifStreams) {
  const std::vector<uint8_t> jfif = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'};
  const auto shaped = recsim::PictureSource::WithCameraPrefix(jfif);
  ASSERT_EQ(shaped.size(), jfif.size() + 12);
  EXPECT_TRUE(std::equal(kJpegPrefix, kJpegPrefix + kTagSize, shaped.begin()));
  EXPECT_EQ(shaped[16], 0x00);  // the JFIF segment's length follows the prefix
  EXPECT_EQ(shaped[17], 0x10);
  const std::vector<uint8_t> other = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43};
  EXPECT_EQ(recsim::PictureSource::WithCameraPrefix(other), other);
  EXPECT_EQ(recsim::PictureSource::WithCameraPrefix({0xFF}), std::vector<uint8_t>{0xFF});
}

TEST(SimulatorLayout, UnusablePictureSizesAreRefused) {
  RecordingDescription d = Short(100);
  d.width = 0;
  EXPECT_THROW(recsim::BuildRecording(d), std::invalid_argument);
  d.width = 4096;
  d.height = 4096;
  d.mode = recsim::PictureMode::Full;
  d.detail = 1.0;
  // Too large for ten fragments even at the lowest quality: refused, not written short.
  EXPECT_THROW(recsim::BuildRecording(d), std::runtime_error);
}

TEST(SimulatorLayout, ImpossibleDescriptionsAreRefused) {
  for (const LocalDateTime start : {LocalDateTime{2009, 2, 29, 10, 0, 0}, LocalDateTime{2009, 6, 14, 24, 0, 0},
                                    LocalDateTime{1999, 12, 31, 23, 0, 0}, LocalDateTime{2100, 1, 1, 0, 0, 0}}) {
    RecordingDescription d = Short(100);
    d.start = start;
    EXPECT_THROW(recsim::BuildRecording(d), std::invalid_argument) << start.year << "-" << start.month;
  }
  RecordingDescription endless = Short(2147483647);
  EXPECT_THROW(recsim::BuildRecording(endless), std::invalid_argument);
  endless = Short(100);
  endless.switchPressesMs = {2147483647};
  EXPECT_THROW(recsim::BuildRecording(endless), std::invalid_argument);
  RecordingDescription leap = Short(100);
  leap.start = {2008, 2, 29, 10, 0, 0};
  EXPECT_NO_THROW(recsim::BuildRecording(leap));
}

TEST(SimulatorLayout, PictureCountOverridesTheDuration) {
  RecordingDescription d = Short(60000);
  d.pictureCount = 40;
  RecordingManifest m;
  recsim::BuildRecording(d, &m);
  ASSERT_EQ(m.pictures.size(), 40u);
  // Sound covers exactly the pictures' span, not the minute the duration names.
  EXPECT_LE(m.sounds.size(), 1 + static_cast<size_t>(m.pictures.back().elapsedMs / 310 + 1));
}

TEST(SimulatorLayout, PicturesNeverExceedTenFragments) {
  RecordingDescription d = Short(100);
  d.mode = recsim::PictureMode::Full;
  d.detail = 1.0;
  d.width = 1280;  // at this size and quality a picture would be far above 81136 bytes
  d.height = 960;
  d.jpegQuality = 100;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  for (const auto& p : m.pictures) {
    EXPECT_LE(p.payloadSize, kMaxPicturePayload);
    EXPECT_GE(p.fragmentCount, 1);
    std::vector<uint8_t> content = simtest::Reassemble(file, p);
    ASSERT_TRUE(RebuildJpegStream(content, FormatVersion{}));
    int w = 0, h = 0;
    EXPECT_TRUE(simtest::DecodeJpeg(content, w, h));
    EXPECT_EQ(w, 1280);
  }
}

}  // namespace
