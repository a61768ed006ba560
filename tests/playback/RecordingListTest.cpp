// The recording list: paths and times by index, the date jumps forward and backward with
// their messages and failures, single-file mode, and a list built from a real folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "PlaybackTestSupport.h"
#include "RecorderSimulator.h"
#include "TempDir.h"
#include "foundation/Exception.h"
#include "foundation/LocalTime.h"
#include "foundation/Text.h"
#include "playback/RecordingList.h"

namespace {

int64_t At(int year, int month, int day, int hour, int minute = 0) {
  const int64_t t = CalendarTimeOrZero(LocalDateTime{year, month, day, hour, minute, 0});
  EXPECT_NE(t, 0) << year << "-" << month << "-" << day;
  return t;
}

RecordingEntry Entry(const std::wstring& name, int64_t time) { return RecordingEntry{L"rec\\" + name, time}; }

// Recordings on 1 May (indexes 0-2), 3 May (3-5) and 9 May (6).
std::vector<RecordingEntry> MayList() {
  return {Entry(L"0001_001.DAT", At(2009, 5, 1, 8)),  Entry(L"0001_002.DAT", At(2009, 5, 1, 12)),
          Entry(L"0001_003.DAT", At(2009, 5, 1, 23, 59)), Entry(L"0002_001.DAT", At(2009, 5, 3, 0, 1)),
          Entry(L"0002_002.DAT", At(2009, 5, 3, 9)),  Entry(L"0002_003.DAT", At(2009, 5, 3, 18)),
          Entry(L"0003_001.DAT", At(2009, 5, 9, 7))};
}

// Stands in for the player: logs every call and moves the list's current index on a
// load as the player does. Loads fail for the indexes in `refuse` (false) and `broken`
// (VideoArchiveException).
class FakePlayer : public IRecordingNavigator {
 public:
  explicit FakePlayer(RecordingList& list) : list_(list) {}

  bool isPlaying() const override { return playing; }
  void stop() override {
    calls.push_back("stop");
    playing = false;
  }
  bool openRecordingAt(int index) override {
    calls.push_back("open " + std::to_string(index));
    list_.setCurrentIndex(index);
    if (broken.count(index)) throw VideoArchiveException(L"broken");
    if (failHard.count(index)) throw Exception(L"out of memory");
    return refuse.count(index) == 0;
  }
  void continueAfterLoad() override { calls.push_back("continue"); }
  void showDateWarning(TextId text) override { calls.push_back("warn " + std::to_string(text)); }

  bool playing = false;
  std::set<int> refuse, broken, failHard;
  std::vector<std::string> calls;

 private:
  RecordingList& list_;
};

using Calls = std::vector<std::string>;

class DateJump : public testing::Test {
 protected:
  void SetUp() override { list.setEntries(MayList()); }

  // Jumps from `from`; returns the message of an Exception, or "-" when none was thrown.
  std::wstring Jump(int from, bool backward) {
    list.setCurrentIndex(from);
    player.calls.clear();
    try {
      list.jumpToDate(backward, player);
    } catch (const VideoArchiveException& e) {
      return L"archive:" + e.message;
    } catch (const Exception& e) {
      return e.message;
    }
    return L"-";
  }

  RecordingList list;
  FakePlayer player{list};
};

}  // namespace

TEST_F(DateJump, FirstRecordingOfTheNeighbouringDate) {
  EXPECT_EQ(Jump(1, false), L"-");
  EXPECT_EQ(player.calls, (Calls{"open 3", "continue"}));
  EXPECT_EQ(list.currentIndex(), 3);

  EXPECT_EQ(Jump(4, true), L"-");
  EXPECT_EQ(player.calls, (Calls{"open 0", "continue"}));
  EXPECT_EQ(list.currentIndex(), 0);

  EXPECT_EQ(Jump(6, true), L"-");
  EXPECT_EQ(player.calls, (Calls{"open 3", "continue"}));

  EXPECT_EQ(Jump(5, false), L"-");
  EXPECT_EQ(player.calls, (Calls{"open 6", "continue"}));

  // The first recording of a date jumps back to the first of the previous date, not to
  // the start of its own.
  EXPECT_EQ(Jump(3, true), L"-");
  EXPECT_EQ(player.calls, (Calls{"open 0", "continue"}));
}

TEST_F(DateJump, NoFurtherDateWarnsAndThrowsAnEmptyMessage) {
  EXPECT_EQ(Jump(6, false), L"");
  EXPECT_EQ(player.calls, (Calls{"warn 5065"}));
  EXPECT_EQ(list.currentIndex(), 6);

  EXPECT_EQ(Jump(2, true), L"");
  EXPECT_EQ(player.calls, (Calls{"warn 5066"}));
  EXPECT_EQ(Jump(0, true), L"");
  EXPECT_EQ(player.calls, (Calls{"warn 5066"}));
}

TEST_F(DateJump, PlayingIsStoppedFirstEvenWhenNothingFollows) {
  player.playing = true;
  EXPECT_EQ(Jump(1, false), L"-");
  EXPECT_EQ(player.calls, (Calls{"stop", "open 3", "continue"}));
  player.playing = true;
  EXPECT_EQ(Jump(6, false), L"");
  EXPECT_EQ(player.calls, (Calls{"stop", "warn 5065"}));
  EXPECT_EQ(Jump(6, true), L"-");  // paused now: no second stop
  EXPECT_EQ(player.calls, (Calls{"open 3", "continue"}));
}

TEST_F(DateJump, ForwardSkipsLaterRecordingsThatDoNotLoad) {
  player.refuse = {3};
  player.broken = {4};
  EXPECT_EQ(Jump(0, false), L"-");
  EXPECT_EQ(player.calls, (Calls{"open 3", "open 4", "open 5", "continue"}));
  EXPECT_EQ(list.currentIndex(), 5);

  // Nothing later loads: the warning, as if there were no later date.
  player.refuse = {3, 4, 5, 6};
  EXPECT_EQ(Jump(2, false), L"");
  EXPECT_EQ(player.calls, (Calls{"open 3", "open 4", "open 5", "open 6", "warn 5065"}));
}

TEST_F(DateJump, OtherLoadFailuresPassToTheCaller) {
  player.failHard = {3};
  EXPECT_EQ(Jump(1, false), L"out of memory");
  EXPECT_EQ(player.calls, (Calls{"open 3"}));
  EXPECT_EQ(Jump(6, true), L"out of memory");
  EXPECT_EQ(player.calls, (Calls{"open 3"}));
}

TEST_F(DateJump, BackwardFailureReportsUnreadableDataAfterOneAttempt) {
  const std::wstring unreadable = L"archive:" + LoadText(kTextDataUnreadable);
  ASSERT_FALSE(LoadText(kTextDataUnreadable).empty());

  // The previous date's first recording lies after an earlier date's recordings.
  player.refuse = {3};
  EXPECT_EQ(Jump(6, true), unreadable);
  EXPECT_EQ(player.calls, (Calls{"open 3"}));  // not retried once per earlier recording

  // ... and at the start of the list.
  player.refuse.clear();
  player.broken = {0};
  EXPECT_EQ(Jump(4, true), unreadable);
  EXPECT_EQ(player.calls, (Calls{"open 0"}));
}

TEST(RecordingList, DatesAcrossTheYearAndMonthEnds) {
  RecordingList list;
  list.setEntries({Entry(L"0001_001.DAT", At(2009, 12, 31, 23, 50)), Entry(L"0001_002.DAT", At(2010, 1, 1, 0, 10)),
                   Entry(L"0001_003.DAT", At(2010, 1, 31, 22)), Entry(L"0001_004.DAT", At(2010, 2, 1, 6))});
  FakePlayer player(list);
  list.setCurrentIndex(0);
  list.jumpToDate(false, player);
  EXPECT_EQ(player.calls, (Calls{"open 1", "continue"}));
  list.jumpToDate(false, player);
  list.jumpToDate(false, player);
  EXPECT_EQ(list.currentIndex(), 3);
  list.jumpToDate(true, player);
  EXPECT_EQ(list.currentIndex(), 2);
  list.jumpToDate(true, player);
  list.jumpToDate(true, player);
  EXPECT_EQ(list.currentIndex(), 0);
  EXPECT_TRUE(list.datesDiffer(0, 1));
  EXPECT_FALSE(list.datesDiffer(1, 1));
}

TEST(RecordingList, DatesAreLocalCalendarDates) {
  // JST-9: 23:30 and 00:30 local fall on one UTC day, 08:00 and 10:00 local on two.
  RecordingList list;
  list.setEntries({Entry(L"a", At(2009, 5, 1, 23, 30)), Entry(L"b", At(2009, 5, 2, 0, 30)),
                   Entry(L"c", At(2009, 5, 2, 8)), Entry(L"d", At(2009, 5, 2, 10))});
  if (list.timeOf(1) - list.timeOf(0) != 3600 || std::getenv("TZ") == nullptr ||
      std::string(std::getenv("TZ")) != "JST-9")
    GTEST_SKIP() << "needs TZ=JST-9";
  EXPECT_TRUE(list.datesDiffer(0, 1));
  EXPECT_FALSE(list.datesDiffer(2, 3));
  EXPECT_FALSE(list.datesDiffer(1, 3));
}

TEST_F(DateJump, ButtonEnablingFollowsTheJumps) {
  const struct {
    int index;
    bool next, previous;
  } cases[] = {{0, true, false}, {2, true, false}, {3, true, true}, {5, true, true}, {6, false, true}};
  for (const auto& c : cases) {
    list.setCurrentIndex(c.index);
    EXPECT_EQ(list.hasNextDate(), c.next) << c.index;
    EXPECT_EQ(list.hasPreviousDate(), c.previous) << c.index;
  }
  // A recording without a date has no neighbouring date to jump to.
  list.setEntries({Entry(L"a", 0), Entry(L"b", At(2009, 5, 1, 8)), Entry(L"c", At(2009, 5, 2, 8))});
  list.setCurrentIndex(0);
  EXPECT_FALSE(list.hasNextDate());
  list.setCurrentIndex(1);
  EXPECT_TRUE(list.hasNextDate());
}

TEST_F(DateJump, ARecordingWithoutATimeOnlyStops) {
  list.setEntries({Entry(L"a", 0), Entry(L"b", 0), Entry(L"c", At(2009, 5, 1, 8))});
  player.playing = true;
  EXPECT_EQ(Jump(1, false), L"-");
  EXPECT_EQ(player.calls, (Calls{"stop"}));
  EXPECT_EQ(Jump(1, true), L"-");
  EXPECT_EQ(player.calls, Calls{});
  EXPECT_EQ(list.currentIndex(), 1);
}

TEST(RecordingList, SingleFileReachesNothingElse) {
  RecordingList list;
  list.setEntries(MayList());
  EXPECT_EQ(list.setSingleFile(L"D:\\pictures\\0042_001.DAT"), 0);
  list.setCurrentIndex(0);
  EXPECT_EQ(list.count(), 0);
  ASSERT_EQ(list.entries().size(), 1u);
  EXPECT_EQ(list.pathOf(0).value_or(L"none"), L"D:\\pictures\\0042_001.DAT");
  EXPECT_FALSE(list.pathOf(1).has_value());
  EXPECT_EQ(list.timeOf(0), 0);
  EXPECT_FALSE(list.hasNextDate());
  EXPECT_FALSE(list.hasPreviousDate());

  FakePlayer player(list);
  player.playing = true;
  list.jumpToDate(false, player);
  list.jumpToDate(true, player);
  EXPECT_EQ(player.calls, (Calls{"stop"}));
}

TEST(RecordingList, IndexesOutsideTheListAreAbsent) {
  RecordingList list;
  EXPECT_FALSE(list.pathOf(0).has_value());
  EXPECT_EQ(list.timeOf(0), 0);
  EXPECT_FALSE(list.datesDiffer(0, 5));  // both absent: one (non-)date

  std::vector<RecordingEntry> entries(RecordingList::kMaxListIndex + 2);
  const int64_t day1 = At(2009, 5, 1, 8), day2 = At(2009, 5, 2, 8);
  for (size_t i = 0; i < entries.size(); ++i) entries[i] = RecordingEntry{L"r" + std::to_wstring(i), day1};
  entries.back().startTime = day2;
  entries[RecordingList::kMaxListIndex].startTime = day2;
  entries[5].path.clear();
  list.setEntries(std::move(entries));

  const int last = RecordingList::kMaxListIndex - 1;
  EXPECT_EQ(list.pathOf(last).value_or(L"none"), L"r65535");
  EXPECT_EQ(list.timeOf(last), day1);
  EXPECT_FALSE(list.pathOf(RecordingList::kMaxListIndex).has_value());
  EXPECT_EQ(list.timeOf(RecordingList::kMaxListIndex), 0);
  EXPECT_EQ(list.timeOf(RecordingList::kMaxListIndex + 1), 0);
  EXPECT_FALSE(list.pathOf(-1).has_value());
  EXPECT_EQ(list.timeOf(-1), 0);
  EXPECT_FALSE(list.pathOf(5).has_value());  // empty path
  EXPECT_EQ(list.timeOf(5), day1);

  // The later date lies only beyond the limit, so it cannot be reached.
  list.setCurrentIndex(last);
  EXPECT_FALSE(list.hasNextDate());
  FakePlayer player(list);
  EXPECT_THROW(list.jumpToDate(false, player), Exception);
  EXPECT_EQ(player.calls, (Calls{"warn 5065"}));
}

#ifndef _WIN32
namespace {
// Sets the process's time zone for one test and restores it afterwards.
class ZoneScope {
 public:
  explicit ZoneScope(const char* zone) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneScope() {
    if (had_)
      setenv("TZ", old_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};
}  // namespace

TEST(RecordingList, ClockSetBackAcrossMidnightIsNotALaterDate) {
  // Summer time ends at 00:30 on 1 November 2009, one hour back: local 00:10 (summer
  // time) is followed 30 minutes later by 23:40 on 31 October. Comparing the fields one
  // by one would call 31 October later than 1 November because 31 > 1.
  ZoneScope zone("XST3XDT,M3.2.0/0,M11.1.0/0:30");
  const int64_t utcNov1_0210 = 1257041400;  // 2009-11-01 02:10 UTC = 00:10 summer time
  RecordingList list;
  list.setEntries({Entry(L"a", utcNov1_0210), Entry(L"b", utcNov1_0210 + 30 * 60),
                   Entry(L"c", utcNov1_0210 + 86400 + 8 * 3600)});
  LocalDateTime a;
  ASSERT_TRUE(ToLocalDateTime(list.timeOf(0), a));
  ASSERT_EQ(a, (LocalDateTime{2009, 11, 1, 0, 10, 0}));
  LocalDateTime b;
  ASSERT_TRUE(ToLocalDateTime(list.timeOf(1), b));
  ASSERT_EQ(b, (LocalDateTime{2009, 10, 31, 23, 40, 0}));

  FakePlayer player(list);
  list.setCurrentIndex(0);
  EXPECT_TRUE(list.hasNextDate());
  list.jumpToDate(false, player);
  EXPECT_EQ(player.calls, (Calls{"open 2", "continue"}));  // 2 November, not 31 October
  list.jumpToDate(true, player);
  EXPECT_EQ(list.currentIndex(), 0);  // back to 1 November's recording
}
#endif

TEST(RecordingList, FolderOfSimulatorRecordings) {
  TempDir dir;
  WriteDatedRecordings(dir.path(),
                       {{"0001_001.DAT", {2009, 5, 3, 10, 0, 0}},
                        {"0001_002.DAT", {2009, 5, 1, 9, 0, 0}},
                        {"0002_001.DAT", {2009, 5, 9, 7, 0, 0}},
                        {"0001_003.DAT", {2009, 5, 1, 12, 0, 0}},
                        {"0003_001.DAT", {2009, 5, 3, 11, 0, 0}}},
                       2);

  RecordingList list;
  int count = -1;
  const std::wstring chosen = (dir / "0001_001.DAT").wstring();
  EXPECT_EQ(list.setListFromFolder(chosen, count), 2);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(list.count(), 5);
  EXPECT_EQ(list.pathOf(2).value_or(L"none"), chosen);
  EXPECT_EQ(list.pathOf(0).value_or(L"none"), (dir / "0001_002.DAT").wstring());
  EXPECT_EQ(list.timeOf(4), At(2009, 5, 9, 7));

  FakePlayer player(list);
  list.setCurrentIndex(3);
  list.jumpToDate(true, player);
  list.jumpToDate(false, player);
  list.jumpToDate(false, player);
  EXPECT_EQ(player.calls, (Calls{"open 0", "continue", "open 2", "continue", "open 4", "continue"}));

  // A folder that cannot be scanned leaves the list as it was.
  count = -1;
  EXPECT_THROW(list.setListFromFolder((dir / "gone" / "0001_001.DAT").wstring(), count), VideoArchiveException);
  EXPECT_EQ(count, -1);
  EXPECT_EQ(list.count(), 5);
  EXPECT_EQ(list.pathOf(2).value_or(L"none"), chosen);
}
