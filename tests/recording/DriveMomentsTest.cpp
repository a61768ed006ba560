// The drive's moments and figures: where switch presses start, the combined-G peaks the
// jumps go to, and the summary's arithmetic, on timelines written out by hand.
#include "recording/DriveMoments.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

#include "StandInInfo.h"

namespace {

using Slots = std::vector<std::optional<FrameEntry>>;

FrameEntry Entry(double g, int32_t event = 0, bool copy = false) {
  FrameEntry e;
  e.gTotal = g;
  e.event = event;
  e.copy = copy;
  return e;
}

// `count` read slots at 0.1 G, with the values of `spikes` at their slots.
Slots Series(int count, const std::map<int, double>& spikes) {
  Slots slots(static_cast<size_t>(count), Entry(0.1));
  for (const auto& s : spikes) slots[static_cast<size_t>(s.first)] = Entry(s.second);
  return slots;
}

Slots Events(int count, const std::vector<int>& eventSlots, int32_t flag = 0x20) {
  Slots slots(static_cast<size_t>(count), Entry(0));
  for (int s : eventSlots) slots[static_cast<size_t>(s)] = Entry(0, flag);
  return slots;
}

}  // namespace

TEST(DriveMoments, SwitchPressesStartWhereARunOfEventSlotsBegins) {
  struct Case {
    const char* what;
    Slots slots;
    std::vector<int32_t> starts;
  };
  Slots withHole = Events(6, {2, 4});
  withHole[3].reset();
  Slots copyAfterEvent = Events(4, {1});
  copyAfterEvent[2] = Entry(0, 0, true);
  const Case cases[] = {
      {"no event", Events(10, {}), {}},
      {"runs and a lone slot", Events(45, {5, 6, 7, 40}), {5, 40}},
      {"a press from the first slot", Events(3, {0, 1}), {0}},
      {"one slot between is two presses", Events(8, {3, 5}), {3, 5}},
      {"an empty slot splits a run", withHole, {2, 4}},
      {"another flag is no event", Events(5, {1, 2}, 0x21), {}},
      {"gap copies carry no event", copyAfterEvent, {1}},
      {"empty recording", {}, {}},
  };
  for (const Case& c : cases) {
    StandInInfo info(c.slots);
    EXPECT_EQ(SwitchPressStarts(info), c.starts) << c.what;
  }
}

TEST(DriveMoments, GPeaksAreSeparatedLocalMaximaAboveTheThreshold) {
  struct Case {
    const char* what;
    Slots slots;
    std::vector<int32_t> peaks;
    double threshold = 0.5;
    int32_t gap = 28;
  };
  Slots copiesOfAPeak = Series(6, {{1, 0.9}});
  copiesOfAPeak[2] = Entry(0.9, 0, true);
  copiesOfAPeak[3] = Entry(0.9, 0, true);
  Slots backwardCopies = Series(5, {{2, 0.9}});
  backwardCopies[0] = Entry(0.9, 0, true);
  backwardCopies[1] = Entry(0.9, 0, true);
  // Copies are passed over: one standing lower between two equal readings splits nothing.
  Slots copyBetween = Series(6, {{1, 0.8}, {3, 0.8}});
  copyBetween[2] = Entry(0.3, 0, true);
  Slots holeBetween = Series(6, {{1, 0.8}, {3, 0.9}});
  holeBetween[2].reset();
  const Case cases[] = {
      {"nothing above the threshold", Series(10, {{3, 0.4}, {6, 0.5}}), {}},
      {"one spike", Series(10, {{4, 0.7}}), {4}},
      {"a plateau counts at its first slot", Series(10, {{2, 0.8}, {3, 0.8}, {4, 0.8}}), {2}},
      {"a plateau rising further is no maximum", Series(10, {{2, 0.8}, {3, 0.8}, {4, 0.9}}), {4}},
      {"maxima at both ends", Series(5, {{0, 0.7}, {4, 0.6}}), {0, 4}, 0.5, 1},
      {"27 slots apart: the higher stays", Series(60, {{10, 0.9}, {37, 0.7}}), {10}},
      {"27 slots apart, the later higher", Series(60, {{10, 0.7}, {37, 0.9}}), {37}},
      {"exactly a second apart: both", Series(60, {{10, 0.7}, {38, 0.9}}), {10, 38}},
      {"equal heights: the earlier", Series(60, {{10, 0.8}, {20, 0.8}}), {10}},
      {"the highest clears both neighbours", Series(80, {{10, 0.8}, {30, 0.9}, {50, 0.8}}), {30}},
      {"a dropped neighbour frees the next", Series(80, {{10, 0.9}, {30, 0.8}, {45, 0.7}}), {10, 45}},
      {"gap copies of a peak are no second peak", copiesOfAPeak, {1}},
      {"copies before the first picture are no peak", backwardCopies, {2}},
      {"copies are skipped, not read as a dip", copyBetween, {1}, 0.5, 1},
      {"empty slots are skipped", holeBetween, {3}, 0.5, 1},
      {"own threshold and gap", Series(20, {{2, 1.2}, {8, 0.9}, {12, 1.1}}), {2, 12}, 1.0, 5},
      {"empty recording", {}, {}},
  };
  for (const Case& c : cases) {
    StandInInfo info(c.slots);
    EXPECT_EQ(GPeaks(info, c.threshold, c.gap), c.peaks) << c.what;
  }
}

TEST(DriveMoments, SummaryCountsCopiesForTimeButNotForPeaks) {
  constexpr int64_t T = 1239000000;
  auto at = [](int64_t time, int32_t speed, double x, double y, double z, double total) {
    FrameEntry e;
    e.time = time;
    e.speed = speed;
    e.gX = x;
    e.gY = y;
    e.gZ = z;
    e.gTotal = total;
    return e;
  };
  FrameEntry first = at(T, 72, -0.6, 0.2, 0.9, 1.2);
  FrameEntry press = at(T, 36, 0.5, -0.4, 1.1, 1.3);
  press.event = 0x20;
  FrameEntry held = at(T + 1, 0, 0.1, 0.1, -1.4, 1.0);
  held.event = 0x20;
  StandInInfo info({first.GapCopy(), first, press, std::nullopt, held, held,
                    at(T + 2, 108, 0, 0, 1.0, 1.0), at(0, 0, 0, 0, 1.0, 1.0)});
  const DriveSummary s = SummarizeDrive(info);

  EXPECT_EQ(s.slotCount, 8);
  EXPECT_EQ(s.startTime, T);
  EXPECT_EQ(s.endTime, T + 2);  // the last slot carries no time
  EXPECT_DOUBLE_EQ(s.durationSeconds, 8.0 / 28);
  // 72 + 72 + 36 + 0 + 0 + 108 + 0 = 288 km/h over 1/28 s each, over 7 slots with an entry.
  EXPECT_DOUBLE_EQ(s.distanceKm, 288.0 / 28 / 3600);
  EXPECT_DOUBLE_EQ(s.averageSpeedKmh, 288.0 / 7);
  EXPECT_EQ(s.maxSpeedKmh, 108);
  EXPECT_EQ(s.maxSpeedAt.slot, 6);
  EXPECT_EQ(s.maxSpeedAt.time, T + 2);

  struct Peak {
    const char* axis;
    DrivePeak got;
    double value;
    int32_t slot;
    int64_t time;
  };
  const Peak peaks[] = {
      {"x: the picture, not its copy before it", s.peakX, -0.6, 1, T},
      {"y: signed as held", s.peakY, -0.4, 2, T},
      {"z: by magnitude", s.peakZ, -1.4, 4, T + 1},
      {"combined", s.peakTotal, 1.3, 2, T},
  };
  for (const Peak& p : peaks) {
    EXPECT_DOUBLE_EQ(p.got.value, p.value) << p.axis;
    EXPECT_EQ(p.got.at.slot, p.slot) << p.axis;
    EXPECT_EQ(p.got.at.time, p.time) << p.axis;
  }
  // The empty slot ends the first press's run: the held switch starts a second.
  ASSERT_EQ(s.switchPresses.size(), 2u);
  EXPECT_EQ(s.switchPresses[0].slot, 2);
  EXPECT_EQ(s.switchPresses[0].time, T);
  EXPECT_EQ(s.switchPresses[1].slot, 4);
  EXPECT_EQ(s.switchPresses[1].time, T + 1);
}

TEST(DriveMoments, SummaryOfNothingHasNoMoments) {
  for (const Slots& slots : {Slots{}, Slots(3)}) {
    StandInInfo info(slots);
    const DriveSummary s = SummarizeDrive(info);
    EXPECT_EQ(s.startTime, 0);
    EXPECT_EQ(s.endTime, 0);
    EXPECT_DOUBLE_EQ(s.distanceKm, 0);
    EXPECT_DOUBLE_EQ(s.averageSpeedKmh, 0);
    EXPECT_EQ(s.maxSpeedAt.slot, -1);
    EXPECT_EQ(s.peakTotal.at.slot, -1);
    EXPECT_TRUE(s.switchPresses.empty());
  }
}
