// The recsim command line.
#include <gtest/gtest.h>

#include <algorithm>

#include "RecsimOptions.h"

namespace {

using recsim::ParseWriteOptions;
using recsim::UsageError;

TEST(RecsimOptions, ReadsAFullCommandLine) {
  const auto o = ParseWriteOptions({L"out.DAT", L"--start", L"2012-02-29 23:59:30", L"--seconds", L"42",
                                    L"--seed", L"7", L"--id", L"4096", L"--fast", L"--switch", L"1500",
                                    L"--switch", L"9000", L"--sound-offset", L"-100", L"--quality", L"60"});
  EXPECT_EQ(o.path, L"out.DAT");
  const LocalDateTime start{2012, 2, 29, 23, 59, 30};
  EXPECT_EQ(o.description.start, start);
  EXPECT_EQ(o.description.durationMs, 42000);
  EXPECT_EQ(o.description.seed, 7u);
  EXPECT_EQ(o.description.archiveId, 4096u);
  EXPECT_EQ(o.description.mode, recsim::PictureMode::Fast);
  EXPECT_EQ(o.description.switchPressesMs, (std::vector<int>{1500, 9000}));
  EXPECT_EQ(o.description.soundOffsetMs, -100);
  EXPECT_EQ(o.description.jpegQuality, 60);
}

TEST(RecsimOptions, IdFollowsTheSeedUnlessGiven) {
  EXPECT_NE(ParseWriteOptions({L"a.DAT", L"--seed", L"1"}).description.archiveId,
            ParseWriteOptions({L"a.DAT", L"--seed", L"2"}).description.archiveId);
}

TEST(RecsimOptions, RejectsWhatTheRecorderCannotHold) {
  const std::vector<std::vector<std::wstring>> bad = {
      {},                                                     // no output
      {L"a.DAT", L"b.DAT"},                                   // two outputs
      {L"a.DAT", L"--start", L"2009-02-29 10:00:00"},         // not a leap year
      {L"a.DAT", L"--start", L"2009-06-14 24:00:00"},
      {L"a.DAT", L"--start", L"1999-06-14 10:00:00"},         // two BCD digits after 2000
      {L"a.DAT", L"--start", L"2009-6-14 10:00:00"},
      {L"a.DAT", L"--start", L"2009-06-14 10:00:00x"},
      {L"a.DAT", L"--seconds", L"ten"},
      {L"a.DAT", L"--seconds", L"-1"},
      {L"a.DAT", L"--seconds", L"99999999999999999999"},
      {L"a.DAT", L"--seed"},                                  // value missing
      {L"a.DAT", L"--fault", L"lightning"},
      {L"a.DAT", L"--frobnicate"},
      {L"a.DAT", L"--quality", L"0"},
  };
  for (const auto& args : bad) {
    std::wstring joined;
    for (const auto& a : args) joined += a + L" ";
    EXPECT_THROW(ParseWriteOptions(args), UsageError) << std::string(joined.begin(), joined.end());
  }
}

TEST(RecsimOptions, NamedFaultsLandInsideTheRecording) {
  const auto o = ParseWriteOptions({L"a.DAT", L"--seconds", L"10", L"--fault", L"garbage,truncated",
                                    L"missing-fragment", L"--fault", L"collision", L"--fault", L"tick-wrap",
                                    L"--fault", L"invalid-date", L"--fault", L"no-end-marker", L"--fault",
                                    L"older-tail", L"--fault", L"other-version"});
  const recsim::Faults& f = o.description.faults;
  const int pictures = 10000 / 35;
  for (int index : {f.garbageAfterPicture, f.missingFragmentPicture, f.collidePicture, f.invalidDateFirst,
                    f.noEndMarkerPicture}) {
    EXPECT_GT(index, 0);
    EXPECT_LT(index, pictures);
  }
  EXPECT_GT(f.truncateLastBlockBytes, 0);
  EXPECT_GT(f.olderTailPictures, 0);
  EXPECT_EQ(f.tickWrapAfterMs, 5000);
  EXPECT_NE(o.description.version, archive::FormatVersion{});
}

TEST(RecsimOptions, FaultNotesSayWhereTheDamageWent) {
  auto o = ParseWriteOptions({L"a.DAT", L"--seconds", L"1", L"--fast", L"--fault", L"missing-fragment"});
  recsim::RecordingManifest m;
  recsim::BuildRecording(o.description, &m);
  const auto notes = recsim::DescribeFaults(o.description, m);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("fragment 2 of"), std::string::npos) << notes[0];
  // A picture that fits one block has nothing to leave out, and the note says so.
  o.description.width = 160;
  o.description.height = 120;
  recsim::BuildRecording(o.description, &m);
  const auto small = recsim::DescribeFaults(o.description, m);
  ASSERT_EQ(small.size(), 1u);
  EXPECT_NE(small[0].find("nothing left out"), std::string::npos) << small[0];
}

}  // namespace
