// The speeds, the clock of playback at other speeds and backwards, and the marked range.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "StandInInfo.h"
#include "foundation/LocalTime.h"
#include "playback/FrameReadout.h"
#include "playback/MarkedRange.h"
#include "playback/PlaySpeed.h"
#include "playback/PlayerArithmetic.h"
#include "playback/RateClock.h"

using player::kFramePeriodMs;

TEST(PlaySpeed, StepsAlongTheListAndStopsAtItsEnds) {
  const struct {
    int index;
    const wchar_t* label;
    int faster;
    int slower;
  } rows[] = {
      {0, L"1/8", 1, 0}, {1, L"1/4", 2, 0}, {2, L"1/2", 3, 1}, {3, L"1", 4, 2},
      {4, L"2", 5, 3},   {5, L"4", 6, 4},   {6, L"8", 6, 5},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(playspeed::Label(r.index), r.label);
    EXPECT_EQ(playspeed::Faster(r.index), r.faster) << r.index;
    EXPECT_EQ(playspeed::Slower(r.index), r.slower) << r.index;
  }
  // An index out of the list stands for the nearest end.
  EXPECT_EQ(playspeed::Label(-3), L"1/8");
  EXPECT_EQ(playspeed::Label(99), L"8");
}

TEST(RateClock, MovesByItsRatioBothWaysAcrossTheCountersWrap) {
  const struct {
    int speed;
    bool backward;
    double start;
    uint32_t elapsed;
    double position;
  } rows[] = {
      {3, false, 1000, 500, 1500},  // 1 time
      {6, false, 0, 1000, 8000},    // 8 seconds of recording a second
      {0, false, 0, 800, 100},      // 1/8
      {3, true, 1000, 400, 600},
      {4, true, 1000, 600, -200},   // past the start: negative, not clamped
  };
  for (const uint32_t origin : {0u, 0xFFFFFF00u}) {  // the second run wraps
    for (const auto& r : rows) {
      RateClock clock;
      clock.start(origin, r.start, playspeed::RatioAt(r.speed), r.backward);
      EXPECT_DOUBLE_EQ(clock.positionAt(origin + r.elapsed), r.position) << r.speed << r.backward;
    }
  }
  RateClock before;
  before.start(0, 10, playspeed::RatioAt(3), true);
  EXPECT_EQ(before.frameAt(20, kFramePeriodMs), -1);
}

TEST(RateClock, TicksWhenTheFrameChangesButNoFasterThanTheFloor) {
  const struct {
    int speed;
    bool backward;
    double start;
    uint32_t floorMs;
    uint32_t expected;
  } rows[] = {
      // Frame 0 starts at 0 and ends at 35.71 ms: 36 ms forwards at 1 time, 8 x 36
      // (rounded up) at 1/8.
      {3, false, 0, 1, 36},
      {0, false, 0, 1, 286},
      // Backwards from the middle of frame 1 (50 ms): it began at 35.71, 15 ms ago.
      {3, true, 50, 1, 15},
      // At 8 times a frame lasts 4.5 ms: the floor decides.
      {6, false, 0, 16, 16},
      {6, true, 1000, 16, 16},
  };
  for (const auto& r : rows) {
    RateClock clock;
    clock.start(100, r.start, playspeed::RatioAt(r.speed), r.backward);
    EXPECT_EQ(clock.msToNextTick(100, kFramePeriodMs, r.floorMs), r.expected)
        << r.speed << " " << r.backward;
  }
}

TEST(MarkedRange, EndsSwapWhenReversedAndDefaultToTheRecordingsEnds) {
  const int32_t kCount = 560;
  struct Step {
    char what;  // 's' start, 'e' end, 'x' clear
    int32_t frame;
  };
  const struct {
    std::initializer_list<Step> steps;
    bool marked;
    int32_t first;
    int32_t last;
  } rows[] = {
      {{}, false, 0, 559},
      {{{'s', 100}}, true, 100, 559},
      {{{'e', 200}}, true, 0, 200},
      {{{'s', 100}, {'e', 200}}, true, 100, 200},
      {{{'s', 300}, {'e', 200}}, true, 200, 300},  // an end before the start
      {{{'e', 200}, {'s', 300}}, true, 200, 300},  // a start after the end
      {{{'s', 100}, {'e', 200}, {'s', 150}}, true, 150, 200},
      {{{'s', 100}, {'e', 900}}, true, 100, 559},  // clamped to the recording
      {{{'s', 100}, {'e', 200}, {'x', 0}}, false, 0, 559},
  };
  for (const auto& r : rows) {
    MarkedRange range;
    range.setLoop(true);
    for (const Step& s : r.steps) {
      if (s.what == 's') range.setStart(s.frame);
      if (s.what == 'e') range.setEnd(s.frame);
      if (s.what == 'x') range.clearMarks();
    }
    EXPECT_EQ(range.marked(), r.marked);
    EXPECT_EQ(range.bounds(kCount).first, r.first);
    EXPECT_EQ(range.bounds(kCount).last, r.last);
    EXPECT_TRUE(range.loop());  // the marks never touch the loop
  }
  EXPECT_EQ(MarkedRange().bounds(0).last, 0);
}

TEST(FrameReadout, NumbersTheFrameAndPlacesItInItsSecond) {
  const int64_t second = CalendarTimeOrZero({2013, 4, 5, 9, 8, 7});
  ASSERT_NE(second, 0);
  // A recording that starts 26 slots into a second, a gap copy, a slot without an entry.
  std::vector<std::optional<FrameEntry>> entries;
  for (int i = 0; i < 2; ++i) entries.push_back(StandInInfo::At(second));
  for (int i = 0; i < 30; ++i) entries.push_back(StandInInfo::At(second + 1));
  entries[5]->copy = true;
  entries.push_back(std::nullopt);
  const StandInInfo info(entries);
  const struct {
    int32_t frame;
    int inSecond;
    std::wstring line;
  } rows[] = {
      {0, 0, L"#00001 / 00033  09:08:07 00/28"},
      {1, 1, L"#00002 / 00033  09:08:07 01/28"},
      {2, 0, L"#00003 / 00033  09:08:08 00/28"},
      {5, 3, L"#00006 / 00033  09:08:08 03/28 複製"},
      // A second that lasts longer than 28 slots is not counted past its 28th.
      {31, 27, L"#00032 / 00033  09:08:08 27/28"},
      {32, 0, L"#00033 / 00033  --:--:-- 00/28"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(readout::FrameInSecond(info, r.frame), r.inSecond) << r.frame;
    EXPECT_EQ(readout::FrameLine(info, r.frame), r.line) << r.frame;
  }
}

TEST(FrameReadout, SpeedLineIsEmptyOnlyAtOneTimeForwardsWithoutALoop) {
  const struct {
    int speed;
    bool backward;
    bool loop;
    std::wstring line;
  } rows[] = {
      {playspeed::kNormal, false, false, L""},
      {6, false, false, L"8倍速"},
      {0, true, false, L"1/8倍速 逆再生"},
      {playspeed::kNormal, true, true, L"1倍速 逆再生 ループ"},
      {playspeed::kNormal, false, true, L"ループ"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(readout::SpeedLine(r.speed, r.backward, r.loop), r.line) << r.speed;
  }
}
