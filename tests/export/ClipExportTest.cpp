// Exporting a range of a simulator recording: the three files and nothing else, the
// sound of the range second by second before its pictures, the telemetry and hash
// list, the burned-in band, and that a stop or a failure leaves no file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>

#include "AviWalk.h"
#include "RecorderSimulator.h"
#include "TempDir.h"
#include "export/ClipExport.h"
#include "export/ClipOverlay.h"
#include "export/ClipTimes.h"
#include "export/Sha256.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "recording/VideoArchive.h"
#include "toolkit/Image.h"
#include "toolkit/JpegDecoder.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

class Progress : public IClipProgress {
 public:
  explicit Progress(std::function<bool(int, int)> answer) : answer_(std::move(answer)) {}
  bool Continue(int done, int total) override {
    calls.emplace_back(done, total);
    return answer_(done, total);
  }
  std::vector<std::pair<int, int>> calls;

 private:
  std::function<bool(int, int)> answer_;
};

class ClipExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recsim::RecordingDescription d = recsim::FastDrive(3000, 160, 120);
    // Pictures now and then late leave gaps that the timeline fills with copies.
    d.maxIntervalMs = 60;
    d.switchPressesMs = {1000};
    archivePath_ = (dir_ / "0001_001.DAT").wstring();
    recsim::WriteRecording(d, archivePath_);
    archive_.Load(archivePath_, nullptr);
  }

  ClipRequest Request(int first, int last, bool overlay = false) const {
    ClipRequest r;
    r.archivePath = archivePath_;
    r.clipPath = (dir_ / "clip.avi").wstring();
    r.first = first;
    r.last = last;
    r.overlay = overlay;
    return r;
  }

  std::vector<aviwalk::Chunk> Movi(const std::vector<uint8_t>& avi) const {
    const auto top = aviwalk::Parse(avi);
    if (top.empty() || !top[0].Child("movi")) return {};
    return top[0].Child("movi")->children;
  }

  TempDir dir_;
  std::wstring archivePath_;
  VideoArchive archive_;
};

TEST_F(ClipExportTest, WritesTheClipWithEachSecondsSoundBeforeItsPictures) {
  Progress progress([](int, int) { return true; });
  ASSERT_EQ(ExportClip(archive_, Request(10, 70), &progress), ClipOutcome::kWritten);
  EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"0001_001.DAT", "clip.avi", "clip.csv", "clip.sha256"}));
  EXPECT_EQ(progress.calls.front(), std::make_pair(1, 61));
  EXPECT_EQ(progress.calls.back(), std::make_pair(61, 61));

  const std::vector<uint8_t> avi = ReadAll(dir_ / "clip.avi");
  const std::vector<uint8_t> wave = ReadAll(archive_.SoundPath());
  const auto movi = Movi(avi);
  // Slots 10..37, 38..65, 66..70: each run's samples in one chunk ahead of it.
  const int runs[][2] = {{10, 38}, {38, 66}, {66, 71}};
  size_t at = 0;
  for (const auto& run : runs) {
    ASSERT_LT(at, movi.size());
    ASSERT_EQ(movi[at].id, "01wb") << "chunk " << at;
    const int64_t from = cliptimes::FirstSampleOf(run[0], 13183);
    const int64_t to = cliptimes::FirstSampleOf(run[1], 13183);
    ASSERT_EQ(movi[at].size, to - from);
    EXPECT_TRUE(std::equal(avi.begin() + movi[at].DataOffset(), avi.begin() + movi[at].DataOffset() + (to - from),
                           wave.begin() + 44 + from))
        << "sound of slots " << run[0] << ".." << run[1] - 1;
    for (int slot = run[0]; slot < run[1]; ++slot) EXPECT_EQ(movi[++at].id, "00dc") << slot;
    ++at;
  }
  EXPECT_EQ(at, movi.size());
}

TEST_F(ClipExportTest, TheTableHasARowASlotAndTheHashListVerifiesAllThree) {
  ASSERT_EQ(ExportClip(archive_, Request(0, -1), nullptr), ClipOutcome::kWritten);
  std::ifstream csv(dir_ / "clip.csv");
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(line, "slot,local_time,copy,gx,gy,gz,gtotal,speed,switch");
  int rows = 0, copies = 0, switches = 0;
  while (std::getline(csv, line)) {
    const FrameEntry* e = archive_.Entry(rows);
    ASSERT_TRUE(e);
    std::stringstream fields(line);
    std::vector<std::string> f;
    for (std::string s; std::getline(fields, s, ',');) f.push_back(s);
    ASSERT_EQ(f.size(), 9u) << line;
    EXPECT_EQ(f[0], std::to_string(rows));
    EXPECT_EQ(f[1], cliptimes::LocalText(e->time));
    EXPECT_EQ(std::stod(f[6]), e->gTotal);
    copies += f[2] == "1";
    switches += f[8] == "1";
    ++rows;
  }
  EXPECT_EQ(rows, archive_.SlotCount());
  EXPECT_GT(copies, 0);
  EXPECT_GT(switches, 0);

  std::ifstream list(dir_ / "clip.sha256");
  const std::pair<std::string, fs::path> expected[] = {
      {"clip.avi", dir_ / "clip.avi"}, {"clip.csv", dir_ / "clip.csv"}, {fs::path(archivePath_).string(), archivePath_}};
  for (const auto& file : expected) {
    ASSERT_TRUE(std::getline(list, line));
    const std::vector<uint8_t> bytes = ReadAll(file.second);
    Sha256 hash;
    hash.Update(bytes.data(), bytes.size());
    EXPECT_EQ(line, Sha256::Hex(hash.Finish()) + "  " + file.first);
  }
  EXPECT_FALSE(std::getline(list, line));
}

TEST_F(ClipExportTest, TheBandIsBurnedIntoEveryPictureOfAnOverlayClip) {
  ASSERT_EQ(ExportClip(archive_, Request(0, 5, true), nullptr), ClipOutcome::kWritten);
  const std::vector<uint8_t> avi = ReadAll(dir_ / "clip.avi");
  JpegDecoder decoder;
  std::vector<uint8_t> stored;
  int frames = 0;
  for (const aviwalk::Chunk& c : Movi(avi)) {
    if (c.id != "00dc") continue;
    const auto image = decoder.Decode(avi.data() + c.DataOffset(), c.size, ImageDecodingLimits());
    ASSERT_TRUE(image);
    ASSERT_TRUE(archive_.ReadFrameJpeg(frames, stored));
    const auto original = decoder.Decode(stored.data(), stored.size(), ImageDecodingLimits());
    ASSERT_EQ(image->Width(), original->Width());
    ASSERT_EQ(image->Height(), original->Height());
    // The band (the bottom rows, first in the buffer) is dark but for the text; above it
    // the picture is the stored one again, within what re-encoding changes.
    const size_t row = static_cast<size_t>(image->Width()) * 4;
    long bright = 0, farOff = 0;
    for (size_t i = 0; i < 11 * row; i += 4) bright += image->Pixels()[i + 1] > 200;
    for (size_t i = 20 * row; i < static_cast<size_t>(image->ByteSize()); ++i) {
      farOff += std::abs(int(image->Pixels()[i]) - int(original->Pixels()[i])) > 48;
    }
    EXPECT_GT(bright, 30) << "frame " << frames;
    EXPECT_LT(farOff, image->ByteSize() / 100) << "frame " << frames;
    ++frames;
  }
  EXPECT_EQ(frames, 6);
}

TEST(ClipExport, ASlotWhosePictureCannotBeReadRepeatsThePictureBeforeIt) {
  TempDir dir;
  recsim::RecordingDescription d = recsim::FastDrive(1500, 160, 120);
  d.faults.otherVersionPicture = 20;  // its tag fails the test when it is read
  const std::wstring path = (dir / "0001_001.DAT").wstring();
  recsim::WriteRecording(d, path);
  VideoArchive archive;
  archive.Load(path, nullptr);
  ClipRequest r;
  r.archivePath = path;
  r.clipPath = (dir / "clip.avi").wstring();
  ASSERT_EQ(ExportClip(archive, r, nullptr), ClipOutcome::kWritten);

  const std::vector<uint8_t> avi = ReadAll(dir / "clip.avi");
  const auto top = aviwalk::Parse(avi);
  ASSERT_EQ(top.size(), 1u);
  std::vector<uint8_t> expected, read;
  int slot = 0, unreadable = 0;
  for (const aviwalk::Chunk& c : top[0].Child("movi")->children) {
    if (c.id != "00dc") continue;
    if (archive.ReadFrameJpeg(slot, read)) {
      expected = read;
    } else {
      ++unreadable;
    }
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), avi.begin() + c.DataOffset()) && c.size == expected.size())
        << "slot " << slot;
    ++slot;
  }
  EXPECT_EQ(slot, archive.SlotCount());
  EXPECT_GE(unreadable, 1);
}

TEST(ClipOverlay, TheBandTextNamesTheMomentToTheFrame) {
  FrameEntry e;
  e.speed = 42;
  e.gTotal = 0.355;
  EXPECT_EQ(clipoverlay::BandText(e, 7, 3), "---------- --:--:-- 03/28  #7  42 km/h  0.36 G");
  LocalDateTime t{2009, 6, 14, 9, 30, 5};
  ASSERT_TRUE(ToCalendarTime(t, e.time));
  e.gTotal = 2.0;
  EXPECT_EQ(clipoverlay::BandText(e, 12345, 27), "2009-06-14 09:30:05 27/28  #12345  42 km/h  2.00 G");
}

TEST_F(ClipExportTest, TheFrameWithinASecondCountsTheSlotsBeforeItOfTheSameSecond) {
  for (int slot = 1; slot < archive_.SlotCount(); ++slot) {
    const int frame = cliptimes::FrameWithinSecond(archive_, slot);
    const int before = cliptimes::FrameWithinSecond(archive_, slot - 1);
    const bool sameSecond = archive_.Entry(slot)->time == archive_.Entry(slot - 1)->time;
    EXPECT_EQ(frame, sameSecond ? std::min(before + 1, 27) : 0) << slot;
  }
}

TEST_F(ClipExportTest, AStopAnywhereLeavesNoFileAndAnOlderClipUntouched) {
  std::ofstream(dir_ / "clip.avi") << "older clip";
  // A stop after the first picture, in the middle, and at the last one.
  const std::function<bool(int, int)> stops[] = {
      [](int done, int) { return done < 1; },
      [](int done, int) { return done < 30; },
      [](int done, int total) { return done < total; },
  };
  for (const auto& stop : stops) {
    Progress progress(stop);
    EXPECT_EQ(ExportClip(archive_, Request(0, 60), &progress), ClipOutcome::kCancelled);
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"0001_001.DAT", "clip.avi"}));
    const std::vector<uint8_t> older = ReadAll(dir_ / "clip.avi");
    EXPECT_EQ(std::string(older.begin(), older.end()), "older clip");
  }
}

TEST_F(ClipExportTest, AFailureIsToldFromTheStringTableAndLeavesNoFile) {
  struct Case {
    const char* what;
    ClipRequest request;
    unsigned text;
  };
  ClipRequest unwritable = Request(0, 10);
  unwritable.clipPath = (dir_ / "missing" / "clip.avi").wstring();
  ClipRequest noArchive = Request(0, 10);
  noArchive.archivePath = (dir_ / "gone.DAT").wstring();
  ClipRequest overArchive = Request(0, 10);
  overArchive.clipPath = archivePath_;
  ClipRequest overArchiveByAnotherName = Request(0, 10);
  overArchiveByAnotherName.clipPath = (dir_ / "." / "0001_001.DAT").wstring();
  ClipRequest likeItsTable = Request(0, 10);
  likeItsTable.clipPath = (dir_ / "clip.csv").wstring();
  const std::vector<uint8_t> archiveBytes = ReadAll(archivePath_);
  const Case cases[] = {
      {"first after last", Request(20, 10), kTextExportRangeOutside},
      {"clip over the archive", overArchive, kTextExportNameClash},
      {"clip over the archive by another name", overArchiveByAnotherName, kTextExportNameClash},
      {"clip named like its table", likeItsTable, kTextExportNameClash},
      {"last beyond the recording", Request(0, archive_.SlotCount()), kTextExportRangeOutside},
      {"folder missing", unwritable, kTextExportWriteFailed},
      {"archive file gone", noArchive, kTextExportArchiveUnreadable},
  };
  for (const Case& c : cases) {
    try {
      ExportClip(archive_, c.request, nullptr);
      ADD_FAILURE() << c.what << ": no failure";
    } catch (const Exception& e) {
      EXPECT_EQ(e.message, LoadText(c.text)) << c.what;
      EXPECT_FALSE(e.message.empty()) << c.what;
    }
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"0001_001.DAT"})) << c.what;
  }
  EXPECT_EQ(ReadAll(archivePath_), archiveBytes);
}

TEST(ClipNames, TheTableAndListTakeTheClipsNameAndTheTemporaryNamesAreBesideIt) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"/a/b/clip.avi", L"/a/b/clip.csv"},
      {L"C:\\x.y\\clip", L"C:\\x.y\\clip.csv"},
      {L"/a.b/clip", L"/a.b/clip.csv"},
      {L"clip.v1.avi", L"clip.v1.csv"},
  };
  for (const auto& c : cases) EXPECT_EQ(BesideClip(c.first, L".csv"), c.second);
  EXPECT_EQ(PartialName(L"/a/clip.avi"), L"/a/clip.avi.partial");
}

}  // namespace
