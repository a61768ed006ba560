// The scan, the timeline and the failure paths of VideoArchive, over byte-exact
// archives built by hand where the simulator cannot express the case.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "HandArchive.h"
#include "TempDir.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/ArchiveScanner.h"
#include "recording/ByteStream.h"
#include "recording/VideoArchive.h"

namespace {

using namespace archive;

constexpr uint32_t kT = 200000;  // a tick well inside the recording

std::vector<uint8_t> ReadAll(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void LoadBytes(VideoArchive& a, std::vector<uint8_t> bytes, ILoadProgress* progress = nullptr) {
  a.Load(std::make_unique<MemorySource>(std::move(bytes)), progress);
}

std::wstring Unreadable() { return LoadText(kTextDataUnreadable); }

struct Progress : ILoadProgress {
  std::vector<int> reports;
  void showProgress(int percent) override { reports.push_back(percent); }
};

// Ticks of the scanned (not copied) entries, slot by slot; -1 for copies.
std::vector<int64_t> Ticks(const VideoArchive& a) {
  std::vector<int64_t> t;
  for (int s = 0; s < a.SlotCount(); ++s) t.push_back(a.Entry(s)->copy ? -1 : a.Entry(s)->tick);
  return t;
}

}  // namespace

TEST(VideoArchiveScan, HeaderAreaAloneOrShortHeaderIsUnreadable) {
  for (size_t size : {size_t(8192), size_t(20)}) {
    VideoArchive a;
    HandArchive h;
    h.Bytes().resize(size);
    try {
      LoadBytes(a, h.Bytes());
      FAIL() << "loaded " << size;
    } catch (const VideoArchiveException& e) {
      EXPECT_EQ(e.message, Unreadable());
    }
    // The failed load leaves nothing behind: closed, empty, its sound file gone.
    EXPECT_FALSE(a.IsOpen());
    EXPECT_EQ(a.SlotCount(), 0);
    if (!a.SoundPath().empty()) {
      EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(a.SoundPath())));
    }
  }
}

TEST(VideoArchiveScan, MissingFileIsUnreadable) {
  TempDir dir;
  VideoArchive a;
  EXPECT_THROW(a.Load((dir / "0001_001.DAT").wstring(), nullptr), VideoArchiveException);
}

TEST(VideoArchiveScan, PicturesEvery35Or36MsFillConsecutiveSlots) {
  HandArchive h;
  for (uint32_t ms : {0u, 36u, 71u, 107u, 143u, 178u}) h.Picture(kT + ms);
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  EXPECT_EQ(Ticks(a), (std::vector<int64_t>{kT, kT + 36, kT + 71, kT + 107, kT + 143, kT + 178}));
  EXPECT_EQ(a.IndexCount(), 6);
  EXPECT_EQ(a.Entry(0)->time, a.RecordingStartTime());
}

TEST(VideoArchiveScan, CollisionTakesNextSlotAndThirdPassesItsEventOn) {
  HandArchive h;
  h.Picture(kT);
  h.Picture(kT + 1);
  h.Picture(kT + 2, 2000, kEventFlag);
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  ASSERT_EQ(a.SlotCount(), 2);
  EXPECT_EQ(a.Entry(0)->tick, kT);
  EXPECT_EQ(a.Entry(1)->tick, kT + 1);
  EXPECT_EQ(a.Entry(0)->event, kEventFlag);
  EXPECT_EQ(a.Entry(1)->event, 0);
}

TEST(VideoArchiveScan, GapsAreFilledWithEventlessCopiesBothWays) {
  HandArchive h;
  h.Sound(kT - 100);  // sound 100 ms early moves the pictures 62 ms later: slot 1
  h.Picture(kT, 2000, kEventFlag);
  h.Picture(kT + 180);  // (180 + 62) / 35.7: slot 6
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  ASSERT_EQ(a.SlotCount(), 7);
  EXPECT_EQ(Ticks(a), (std::vector<int64_t>{-1, kT, -1, -1, -1, -1, kT + 180}));
  for (int s : {0, 2, 5}) {
    EXPECT_EQ(a.Entry(s)->tick, kT) << s;
    EXPECT_EQ(a.Entry(s)->event, 0) << s;
    EXPECT_EQ(a.Entry(s)->fragmentPos[0], a.Entry(1)->fragmentPos[0]) << s;
  }
  EXPECT_EQ(a.Entry(1)->event, kEventFlag);
  // The time index holds every slot, ordered by tick with equal ticks in slot order.
  ASSERT_EQ(a.IndexCount(), 7);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a.IndexEntry(i).tick, kT) << i;
  EXPECT_EQ(a.IndexEntry(0).slot, 0);
  EXPECT_EQ(a.IndexEntry(5).slot, 5);
  EXPECT_EQ(a.IndexEntry(6).slot, 6);
}

TEST(VideoArchiveScan, SoundStartingLateGetsLeadingSilence) {
  HandArchive h;
  h.Picture(kT);
  h.Sound(kT + 100, 4096, 0x90);
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  const std::vector<uint8_t> wav = ReadAll(a.SoundPath());
  ASSERT_EQ(wav.size(), 44u + 817 + 4096);
  EXPECT_EQ(a.SoundDataBytes(), 817u + 4096);
  EXPECT_EQ(std::count(wav.begin() + 44, wav.begin() + 44 + 817, 0x80), 817);
  EXPECT_EQ(std::count(wav.begin() + 44 + 817, wav.end(), 0x90), 4096);
  EXPECT_EQ(a.Entry(0)->tick, kT);  // pictures stay where they are
  a.Close();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(a.SoundPath())));
}

TEST(VideoArchiveScan, TicksMoreThanAnHourBelowTheStartHaveWrapped) {
  EXPECT_EQ(VideoArchive::WidenTick(256, 4294901760u), 4294967551LL);
  EXPECT_EQ(VideoArchive::WidenTick(4291301760u, 4294901760u), 4291301760LL);
  EXPECT_EQ(VideoArchive::WidenTick(5, 3600000), 5);  // a start within the first hour never wraps

  HandArchive h(4294967000u);
  h.Picture(4294967280u);
  h.Picture(20u);  // 36 ms later, after the wrap: widened to 20 + 2^32 - 1
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  EXPECT_EQ(Ticks(a), (std::vector<int64_t>{4294967280LL, 4294967315LL}));
}

TEST(VideoArchiveScan, MultiFragmentPictureIsReassembled) {
  HandArchive h;
  HandArchive::Block b;
  b.tick = kT;
  b.payload = 20000;
  const size_t first = h.Add(b);
  b.fragment = 2;
  const size_t second = h.Add(b);
  b.fragment = 3;
  const size_t third = h.Add(b, 8192, 0x22, 3776);  // 3760 content bytes after its tag
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  ASSERT_EQ(a.SlotCount(), 1);
  const FrameEntry& e = *a.Entry(0);
  EXPECT_TRUE(e.complete);
  EXPECT_EQ(e.fragmentCount, 3);
  EXPECT_EQ(e.fragmentPos[0], static_cast<int64_t>(first + 64));
  EXPECT_EQ(e.fragmentPos[1], static_cast<int64_t>(second + 64));
  EXPECT_EQ(e.fragmentPos[2], static_cast<int64_t>(third + 64));

  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(a.ReadFrameJpeg(0, jpeg));
  ASSERT_EQ(jpeg.size(), 20000u);
  EXPECT_TRUE(std::equal(kJpegPrefix, kJpegPrefix + 16, jpeg.begin()));
  EXPECT_EQ(jpeg[16], 0x11);         // first block's content after the tag
  EXPECT_EQ(jpeg[8128], 0x11);       // second block, behind its own tag
  EXPECT_EQ(jpeg[16240], 0x22);      // third block
  EXPECT_EQ(jpeg[19998], 0xFF);
  EXPECT_EQ(jpeg[19999], 0xD9);
}

TEST(VideoArchiveScan, BrokenPictureSequencesAreDropped) {
  // A picture missing its second fragment is dropped; the picture starting where the
  // fragment should have been is read, not skipped with it.
  {
    HandArchive h;
    h.Picture(kT);
    HandArchive::Block b;
    b.tick = kT + 36;
    b.payload = 20000;
    h.Add(b);
    h.Picture(kT + 72);  // fragment 1 where 2 was expected
    h.Picture(kT + 108);
    VideoArchive a;
    LoadBytes(a, h.Bytes());
    EXPECT_EQ(Ticks(a), (std::vector<int64_t>{kT, -1, kT + 72, kT + 108}));
  }
  // A continuation after a complete picture is skipped; the block after it is read.
  {
    HandArchive h;
    h.Picture(kT);
    HandArchive::Block b;
    b.tick = kT + 36;
    b.payload = 2000;
    b.fragment = 2;
    h.Add(b);
    h.Picture(kT + 72);
    VideoArchive a;
    LoadBytes(a, h.Bytes());
    EXPECT_EQ(Ticks(a), (std::vector<int64_t>{kT, -1, kT + 72}));
  }
  // A last fragment without the end-of-image marker drops its picture.
  {
    HandArchive h;
    h.Picture(kT);
    HandArchive::Block b;
    b.tick = kT + 36;
    b.payload = 9000;
    h.Add(b);
    b.fragment = 2;
    h.Add(b, 8192, 0x11, -1);
    VideoArchive a;
    LoadBytes(a, h.Bytes());
    EXPECT_EQ(Ticks(a), (std::vector<int64_t>{kT}));
  }
}

TEST(VideoArchiveScan, ForeignBytesAreSkippedWithinOneMebibyte) {
  HandArchive h;
  h.Picture(kT);
  h.Garbage(5000);
  h.Picture(kT + 36);
  h.Garbage((size_t(1) << 20) + 100);  // beyond the window: the scan ends here
  h.Picture(kT + 72);
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  EXPECT_EQ(Ticks(a), (std::vector<int64_t>{kT, kT + 36}));
}

// The search after a failed block covers 1 MiB from that block's content start, however
// far above the last good block it starts: a signature ending on the window's last byte
// is found (and what follows it is kept), one ending a byte later is not.
TEST(VideoArchiveScan, ForeignBytesReachTheWindowsEnd) {
  constexpr size_t kWindow = size_t(1) << 20;
  // The failed block starts where the foreign bytes do; its content 64 bytes later, and
  // a block's signature ends 80 bytes into the block.
  const struct {
    size_t foreign;
    std::vector<int64_t> ticks;
    bool sound;
  } cases[] = {
      {kWindow + 64 - 80, {kT, kT + 36, kT + 72}, true},
      {kWindow + 64 - 79, {kT}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.foreign);
    HandArchive h;
    h.Picture(kT);
    h.Garbage(c.foreign, 0x00);
    h.Picture(kT + 36);
    h.Picture(kT + 72);
    h.Sound(kT + 80, 4096, 0x91);
    VideoArchive a;
    MemorySink sound;
    a.Load(std::make_unique<MemorySource>(h.Bytes()), nullptr, &sound);
    EXPECT_EQ(Ticks(a), c.ticks);
    const auto& wave = sound.Bytes();
    EXPECT_EQ(std::find(wave.begin(), wave.end(), 0x91) != wave.end(), c.sound);
  }
}

TEST(VideoArchiveScan, AnOlderRecordingEndsTheScan) {
  HandArchive h;
  h.Picture(kT);
  HandArchive::Block b;
  b.tick = kT + 36;
  b.payload = 20000;
  h.Add(b);  // incomplete when the older recording starts: dropped
  b.id = 0x12345678;
  b.fragment = 2;
  h.Add(b);
  h.Picture(kT + 72);
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  EXPECT_EQ(Ticks(a), (std::vector<int64_t>{kT}));
}

TEST(VideoArchiveScan, FormatVersionIsTestedOnTheFirstPictureAndOnEveryRead) {
  HandArchive::Block b;
  b.payload = 2000;
  b.version = FormatVersion{0x03, 0x02};
  {
    HandArchive h;
    b.tick = kT;
    h.Add(b, 8192, 0x11, 2000);
    h.Picture(kT + 36);
    VideoArchive a;
    EXPECT_THROW(LoadBytes(a, h.Bytes()), VideoArchiveException);
    EXPECT_FALSE(a.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(a.SoundPath())));
  }
  {
    HandArchive h;
    h.Picture(kT);
    b.tick = kT + 36;
    h.Add(b, 8192, 0x11, 2000);
    VideoArchive a;
    LoadBytes(a, h.Bytes());
    ASSERT_EQ(a.SlotCount(), 2);
    std::vector<uint8_t> jpeg;
    EXPECT_TRUE(a.ReadFrameJpeg(0, jpeg));
    EXPECT_FALSE(a.ReadFrameJpeg(1, jpeg));
    EXPECT_EQ(a.ReadFrameImage(1), nullptr);
  }
}

TEST(VideoArchiveScan, InvalidPictureDateTakesTheLastValidTime) {
  HandArchive h;
  HandArchive::Block b;
  b.payload = 2000;
  b.tick = kT;
  b.second = 0x05;
  h.Add(b, 8192, 0x11, 2000);
  b.tick = kT + 36;
  b.second = 0x75;  // 75 seconds
  h.Add(b, 8192, 0x11, 2000);
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  ASSERT_EQ(a.SlotCount(), 2);
  EXPECT_EQ(a.Entry(0)->time, a.RecordingStartTime() + 5);
  EXPECT_EQ(a.Entry(1)->time, a.Entry(0)->time);
  EXPECT_EQ(a.FirstPictureTime(), a.RecordingStartTime() + 5);
  EXPECT_EQ(a.LastPictureTime(), a.RecordingStartTime() + 5);
}

// Length fields come from the card and may be anything: none of these may crash, read
// outside the file or allocate without bound (the sanitizers watch the host run).
TEST(VideoArchiveScan, LengthFieldsAreNeverTrusted) {
  HandArchive h;
  h.Picture(kT);
  HandArchive::Block b;
  b.tick = kT + 36;
  b.payload = -5;  // negative payload: "complete", but nothing to read
  h.Add(b, 8192, 0x11, 100);
  b.payload = 200000;  // beyond ten fragments, yet inside its (huge) block
  b.blockSize = 300000;
  h.Add(b, 300000, 0x11, 200000);
  h.Sound(kT + 50, 0);
  h.Sound(kT + 80, -100);
  b.blockSize = -8192;  // negative block size: dropped, the scan resynchronises
  b.payload = 2000;
  h.Add(b, 8192, 0x33, 2000);
  h.Picture(kT + 72);
  // More fragments than the table holds, counted up by sound blocks posing as continuations.
  b = HandArchive::Block();
  b.tick = kT + 108;
  b.payload = 20000;
  h.Add(b);
  for (int f = 2; f <= 11; ++f) {
    HandArchive::Block s;
    s.type = kSoundBlock;
    s.tag = false;
    s.fragment = static_cast<uint8_t>(f);
    s.payload = 9000;  // larger than its block: counts the expected fragment up
    s.tick = kT + 110;
    h.Add(s);
  }
  b.fragment = 12;
  h.Add(b);
  h.Picture(kT + 144);
  b = HandArchive::Block();
  b.blockSize = 0x7FFFFFFF;  // cannot be right: this picture is dropped, the scan goes on
  b.tick = kT + 180;
  b.payload = 2000;
  h.Add(b, 8192, 0x11, 2000);
  h.Picture(kT + 216);

  VideoArchive a;
  LoadBytes(a, h.Bytes());
  EXPECT_EQ(Ticks(a), (std::vector<int64_t>{kT, -1, kT + 72, -1, kT + 144, -1, kT + 216}));
  std::vector<uint8_t> jpeg;
  for (int s = 0; s < a.SlotCount(); ++s) EXPECT_TRUE(a.ReadFrameJpeg(s, jpeg)) << s;
  // The sound blocks without content write nothing and break nothing.
  const std::vector<uint8_t> wav = ReadAll(a.SoundPath());
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(wav.size(), 44u + a.SoundDataBytes());
}

TEST(VideoArchiveScan, ResyncNeverSeeksBeforeTheFile) {
  uint8_t window[64] = {};
  std::copy(kSignaturePattern, kSignaturePattern + kSignaturePatternSize, window + 4);
  EXPECT_EQ(ArchiveScanner::FindResyncPoint(10, window, sizeof window), -1);
  EXPECT_EQ(ArchiveScanner::FindResyncPoint(100, window, sizeof window), 100 + 4 - 66);
  EXPECT_EQ(ArchiveScanner::FindResyncPoint(100, window, 13), -1);
  EXPECT_EQ(ArchiveScanner::FindResyncPoint(100, window, 17), -1);  // pattern not complete
}

TEST(VideoArchiveScan, ProgressFollowsTheFileInEighths) {
  HandArchive h;
  for (uint32_t i = 0; i < 40; ++i) h.Picture(kT + 36 * i);
  Progress p;
  VideoArchive a;
  LoadBytes(a, h.Bytes(), &p);
  EXPECT_EQ(p.reports, (std::vector<int>{20, 30, 40, 50, 60, 70, 80, 90, 90, 100}));
}

TEST(VideoArchiveScan, PlainFilesAndEntrySources) {
  TempDir dir;
  const std::wstring picture = (dir / "p.jpg").wstring();
  std::ofstream(std::filesystem::path(picture)) << "x";
  VideoArchive a;
  a.OpenPlain(picture);
  EXPECT_TRUE(a.IsOpen());
  EXPECT_EQ(a.SlotCount(), 1);
  EXPECT_EQ(a.Entry(0), nullptr);
  EXPECT_EQ(a.ReadFrameImage(0), nullptr);
  try {
    a.OpenEntrySource(0);  // no entry, so no source
    FAIL();
  } catch (const VideoArchiveException& e) {
    EXPECT_EQ(e.message, Unreadable());
  }
  try {
    a.OpenPlain((dir / "gone.jpg").wstring());
    FAIL();
  } catch (const VideoArchiveException& e) {
    EXPECT_EQ(e.message, LoadText(kTextPictureMoved));
  }
  EXPECT_FALSE(a.IsOpen());

  HandArchive h;
  h.Picture(kT);
  LoadBytes(a, h.Bytes());
  EXPECT_THROW(a.OpenEntrySource(1), VideoArchiveException);
  EXPECT_THROW(a.OpenEntrySource(-1), VideoArchiveException);
  EXPECT_THROW(a.OpenEntrySource(0), VideoArchiveException);  // a load never fills sourcePath
  EXPECT_FALSE(a.IsOpen());
}

TEST(VideoArchiveScan, AFailedLoadAfterAGoodOneLeavesNothingBehind) {
  HandArchive good;
  good.Picture(kT);
  VideoArchive a;
  LoadBytes(a, good.Bytes());
  const std::wstring firstSound = a.SoundPath();
  ASSERT_TRUE(std::filesystem::exists(std::filesystem::path(firstSound)));
  HandArchive bad;
  EXPECT_THROW(LoadBytes(a, bad.Bytes()), VideoArchiveException);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(firstSound)));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(a.SoundPath())));
  EXPECT_FALSE(a.IsOpen());
  EXPECT_EQ(a.SlotCount(), 0);
  EXPECT_EQ(a.Entry(0), nullptr);
}

#ifndef _WIN32
// Without a temporary folder the recording still loads, silently (on Windows the same
// path shows a warning box, which a test cannot dismiss).
TEST(VideoArchiveScan, NoTemporaryFileMeansNoSound) {
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", "/nonexistent/pathscope", 1);
  HandArchive h;
  h.Picture(kT);
  h.Sound(kT + 10);
  VideoArchive a;
  LoadBytes(a, h.Bytes());
  if (old) setenv("TMPDIR", saved.c_str(), 1);
  else unsetenv("TMPDIR");
  EXPECT_EQ(a.SlotCount(), 1);
  EXPECT_TRUE(a.SoundPath().empty());
  EXPECT_EQ(a.SoundDataBytes(), 0u);

  // Only sound and no file for it: nothing was found.
  setenv("TMPDIR", "/nonexistent/pathscope", 1);
  HandArchive s;
  s.Sound(kT);
  EXPECT_THROW(LoadBytes(a, s.Bytes()), VideoArchiveException);
  if (old) setenv("TMPDIR", saved.c_str(), 1);
  else unsetenv("TMPDIR");
}
#endif
