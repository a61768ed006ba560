// The player's arithmetic: frame from the sound or the clock, the request slot, the
// 4:3 fit.
#include "playback/PlayerArithmetic.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace player;

TEST(PlayerArithmeticTest, FrameAtPositionTruncatesAndClamps) {
  // 1000/28 ms a frame: 35 ms is still frame 0, 36 ms frame 1, 1000 ms frame 28.
  EXPECT_EQ(FrameAtPosition(0, kFramePeriodMs, 1680), 0);
  EXPECT_EQ(FrameAtPosition(35, kFramePeriodMs, 1680), 0);
  EXPECT_EQ(FrameAtPosition(36, kFramePeriodMs, 1680), 1);
  EXPECT_EQ(FrameAtPosition(1000, kFramePeriodMs, 1680), 28);
  EXPECT_EQ(FrameAtPosition(59999, kFramePeriodMs, 1680), 1679);
  // Beyond the end and before the start.
  EXPECT_EQ(FrameAtPosition(70000, kFramePeriodMs, 1680), 1679);
  EXPECT_EQ(FrameAtPosition(-40, kFramePeriodMs, 1680), 0);
  // An empty recording clamps everything to 0.
  EXPECT_EQ(FrameAtPosition(5000, kFramePeriodMs, 0), 0);
  // Every millisecond of a minute agrees with the plain truncated quotient.
  for (int32_t ms = 0; ms < 60000; ++ms) {
    ASSERT_EQ(FrameAtPosition(ms, kFramePeriodMs, 1680), static_cast<int32_t>(ms / (1000.0 / 28)))
        << ms;
  }
}

TEST(PlayerArithmeticTest, ClampFrameCoversTheWholeIntRange) {
  EXPECT_EQ(ClampFrame(INT64_MAX, 10), 9);
  EXPECT_EQ(ClampFrame(INT64_MIN, 10), 0);
  EXPECT_EQ(ClampFrame(int64_t(INT32_MAX) + 1, 10), 9);
  EXPECT_EQ(ClampFrame(5, 1), 0);
  EXPECT_EQ(ClampFrame(-1, 0), 0);
}

TEST(PlayerArithmeticTest, ClockFrameCountsFromTheStartPositionAcrossTheWrap) {
  // Started at 1000 ms (frame 28) 500 ms ago: 1500 / 35.714 = 42.
  EXPECT_EQ(FrameOnClock(20500, 20000, 1000, kFramePeriodMs), 42);
  // Not clamped: the caller must see a clock that ran past the end.
  EXPECT_EQ(FrameOnClock(200000, 0, 0, kFramePeriodMs), 5600);
  // timeGetTime wraps after 2^32 ms; the elapsed time stays 100 ms.
  EXPECT_EQ(FrameOnClock(60, 0xFFFFFFFFu - 39, 0, kFramePeriodMs), 2);
}

TEST(PlayerArithmeticTest, SoundStartIsTheTruncatedProduct) {
  EXPECT_EQ(SoundStartMs(0, kFramePeriodMs), 0);
  EXPECT_EQ(SoundStartMs(1, kFramePeriodMs), 35);
  EXPECT_EQ(SoundStartMs(28, kFramePeriodMs), 1000);  // 999.99..., or 1000 exactly
  EXPECT_EQ(SoundStartMs(1679, kFramePeriodMs), 59964);
  EXPECT_EQ(SoundStartMs(INT32_MAX, kFramePeriodMs), INT32_MAX);
}

TEST(PlayerArithmeticTest, RequestSlotIsEvenWhenPicturesSpanTwoSlots) {
  EXPECT_EQ(SlotToRequest(7, 100, 1), 7);
  EXPECT_EQ(SlotToRequest(7, 100, 2), 6);
  EXPECT_EQ(SlotToRequest(8, 100, 2), 8);
  EXPECT_EQ(SlotToRequest(500, 100, 2), 98);  // clamped to 99 first, then even
  EXPECT_EQ(SlotToRequest(-3, 100, 2), 0);
}

TEST(PlayerArithmeticTest, FitKeepsFourByThreeAndCentres) {
  struct Case {
    int32_t w, h, x, y, dw, dh;
  } cases[] = {
      {640, 480, 0, 0, 640, 480},
      {1000, 480, 180, 0, 640, 480},  // wide window: bars left and right
      {640, 600, 0, 60, 640, 480},    // tall window: bars above and below
      {641, 480, 0, 0, 640, 480},     // the odd column goes to the right
      {101, 100, 0, 12, 101, 75},     // 75.75 truncated, (100 - 75) / 2 = 12
      {100, 101, 0, 13, 100, 75},
      {0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const FitRect r = FitFourByThree(c.w, c.h);
    EXPECT_EQ(r.x, c.x) << c.w << "x" << c.h;
    EXPECT_EQ(r.y, c.y) << c.w << "x" << c.h;
    EXPECT_EQ(r.width, c.dw) << c.w << "x" << c.h;
    EXPECT_EQ(r.height, c.dh) << c.w << "x" << c.h;
  }
  EXPECT_EQ(CentredOffset(0, 640, 101), 269);
  EXPECT_EQ(CentredOffset(10, 100, 200), -55);
}

TEST(PlayerArithmeticTest, TicksComeOncePerFrameJustBeforeTheFrameTheyAskFor) {
  const double T = kFramePeriodMs;
  // A tick at 21 ms (15 ms before frame 1) asks for frame 1; the next one comes 15 ms
  // before frame 2: 2T - 15 - 21 = 35.4, rounded.
  EXPECT_EQ(MsToNextTick(21, T, 15), 35u);
  // Late or early by up to the lead, the next tick still lands lead ms before frame
  // f + 2 is due, so no frame goes without a request.
  for (int frame = 0; frame < 200; ++frame) {
    for (int offset = 0; offset < 35; ++offset) {
      const int64_t clock = static_cast<int64_t>(frame * T) + offset;
      const uint32_t interval = MsToNextTick(clock, T, 15);
      const int64_t next = clock + interval;
      const int64_t f = static_cast<int64_t>(clock / T);
      // The next tick falls inside frame f + 1, 15 ms (give or take rounding) before
      // frame f + 2 begins.
      ASSERT_NEAR(static_cast<double>(next), (f + 2) * T - 15, 0.5 + 1e-9) << clock;
      ASSERT_GE(interval, 1u);
    }
  }
  EXPECT_EQ(MsToNextTick(0, T, 15), 56u);
}

TEST(PlayerArithmetic, MsUntilDueHoldsAPictureUntilItsTimeAndNoLonger) {
  const double T = kFramePeriodMs;
  struct Case {
    int32_t frame;
    int64_t clock;
    uint32_t wait;
  } cases[] = {
      {1, 0, 36},          // 35.71 rounds up
      {1, 16, 20},         // asked the usual lead before its time
      {10, 357, 0},        // 357.14: due within half a millisecond
      {10, 340, 17},
      {10, 400, 0},        // late: shown at once
      {100, 0, 72},        // a clock far behind: never more than two periods
      {0, -50, 50},        // a clock before the start
      {2000000, 0, 72},
  };
  for (const Case& c : cases) EXPECT_EQ(MsUntilDue(c.frame, T, c.clock), c.wait) << c.frame << " " << c.clock;
}

TEST(PlayerArithmetic, AClockThatJumpsOverATickCatchesUpInsteadOfSkipping) {
  const double T = kFramePeriodMs;
  // Only the frame right after the last one asked for is caught up; an early tick, the
  // usual tick and a jump of several frames are not.
  struct Jump {
    int32_t now, lastAsked;
    bool missed;
  } jumps[] = {{11, 10, true}, {10, 10, false}, {9, 10, false}, {12, 10, false}, {0, -1, false}, {1, -1, false}};
  for (const Jump& j : jumps) EXPECT_EQ(MissedByAJump(j.now, j.lastAsked), j.missed) << j.now << " " << j.lastAsked;

  // The tick for a frame comes the lead before it is due, at least 1 ms on, at most two
  // periods on; it agrees with the usual tick when asked for the frame after next.
  struct Tick {
    int32_t frame;
    int64_t clock;
    uint32_t interval;
  } ticks[] = {{12, 400, 9}, {12, 425, 1}, {12, 300, 72}, {2, 0, 51}};
  for (const Tick& t : ticks) EXPECT_EQ(MsToTickFor(t.frame, t.clock, T, 20), t.interval) << t.frame << " " << t.clock;
  for (int64_t clock : {0, 21, 357, 1000, 59990}) {
    const int32_t frame = static_cast<int32_t>(clock / T);
    EXPECT_EQ(MsToTickFor(frame + 2, clock, T, 20), MsToNextTick(clock, T, 20)) << clock;
  }
}
