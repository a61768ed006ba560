// The drive's numbers: the frame's texts, the extra curves' scales and the G circle's
// mapping, against hand-computed values.
#include "playback/DriveValues.h"

#include <gtest/gtest.h>

#include "StandInInfo.h"

namespace {

using drivevalues::Point;

FrameEntry Values(int32_t speed, double x, double y, double z, double total) {
  FrameEntry e;
  e.speed = speed;
  e.gX = x;
  e.gY = y;
  e.gZ = z;
  e.gTotal = total;
  return e;
}

const chart::Plot kPlot{45, 13, 624, 54};  // 41 rows high

}  // namespace

TEST(DriveValues, FrameTextsHaveTwoDecimalsAndDashesWithoutAnEntry) {
  struct Case {
    FrameEntry entry;
    const wchar_t *speed, *x, *y, *z, *total;
  };
  const Case cases[] = {
      {Values(52, 0.12, -0.05, 1.01, 1.02), L"52 km/h", L"+0.12", L"-0.05", L"+1.01", L"1.02"},
      {Values(0, 0, 0, 0, 0), L"0 km/h", L"+0.00", L"+0.00", L"+0.00", L"0.00"},
      // Rounded as printf rounds; a negative value that rounds to zero loses its sign.
      {Values(180, -0.004, 0.125, -1.996, 2.0), L"180 km/h", L"+0.00", L"+0.12", L"-2.00", L"2.00"},
  };
  for (const Case& c : cases) {
    const drivevalues::Texts t = drivevalues::ForEntry(&c.entry);
    EXPECT_EQ(t.speed, c.speed);
    EXPECT_EQ(t.x, c.x);
    EXPECT_EQ(t.y, c.y);
    EXPECT_EQ(t.z, c.z);
    EXPECT_EQ(t.total, c.total);
  }
  const drivevalues::Texts none = drivevalues::ForEntry(nullptr);
  EXPECT_EQ(none.speed, L"--- km/h");
  EXPECT_EQ(none.x + none.y + none.z + none.total, L"-.---.---.---.--");
}

TEST(DriveValues, SpeedScaleIsTheHighestSpeedRoundedUpTo20) {
  struct Case {
    std::vector<int32_t> speeds;
    int32_t top;
  };
  const Case cases[] = {{{}, 20}, {{0, 0}, 20}, {{1}, 20}, {{20}, 20}, {{21, 3}, 40}, {{52, 99, 7}, 100}, {{180}, 180}};
  for (const Case& c : cases) {
    std::vector<std::optional<FrameEntry>> slots;
    for (int32_t s : c.speeds) slots.push_back(Values(s, 0, 0, 0, 0));
    slots.push_back(std::nullopt);  // an empty slot is no speed
    StandInInfo info(slots);
    EXPECT_EQ(drivevalues::SpeedScaleTop(info), c.top) << c.speeds.size();
  }
}

TEST(DriveValues, ExtraCurvesFallOnTheirScales) {
  // Speed: 0 on the bottom line, the scale's top on the top line; 13 + 41 × 60 / 100 = 37.6.
  EXPECT_EQ(drivevalues::SpeedToY(kPlot, 0, 100), 54);
  EXPECT_EQ(drivevalues::SpeedToY(kPlot, 100, 100), 13);
  EXPECT_EQ(drivevalues::SpeedToY(kPlot, 40, 100), 37);
  // Axes: -2 G at the bottom, 0 on the middle (13 + 20.5), +2 G at the top, +1 G at 23.25.
  EXPECT_EQ(drivevalues::AxisToY(kPlot, -2.0), 54);
  EXPECT_EQ(drivevalues::AxisToY(kPlot, 0.0), 33);
  EXPECT_EQ(drivevalues::AxisToY(kPlot, 2.0), 13);
  EXPECT_EQ(drivevalues::AxisToY(kPlot, 1.0), 23);
  // Far beyond the scale the row stays a number a window can take.
  EXPECT_EQ(drivevalues::AxisToY(kPlot, -1e300), 1000000000);
}

TEST(DriveValues, CircleMapsLateralRightAndLongitudinalUp) {
  // A 76-pixel view: centre (38, 38), 1.25 G at its edge, so 30.4 pixels a G.
  struct Case {
    double lateral, longitudinal;
    Point at;
  };
  const Case cases[] = {
      {0, 0, {38, 38}},
      {1.0, 0, {68, 38}},     // 38 + 30.4
      {-0.5, 0, {22, 38}},    // 38 - 15.2 = 22.8, floored
      {0, 0.5, {38, 22}},     // up is forward
      {0, -1.0, {38, 68}},
      {3.0, 4.0, {60, 7}},    // 5 G shrunk onto the edge: 0.75 and 1.0 G → 38 + 22.8, 38 - 30.4, floored
  };
  for (const Case& c : cases) {
    EXPECT_EQ(drivevalues::CirclePoint(76, c.lateral, c.longitudinal), c.at) << c.lateral << "," << c.longitudinal;
  }
  EXPECT_EQ(drivevalues::RingRadius(76, 0.5), 15);
  EXPECT_EQ(drivevalues::RingRadius(76, 1.0), 30);
}

TEST(DriveValues, OnlyTheCombinedGIsTheUsualChart) {
  drivevalues::ChartSeries s;
  EXPECT_TRUE(s.onlyTotal());
  for (bool drivevalues::ChartSeries::*flag :
       {&drivevalues::ChartSeries::x, &drivevalues::ChartSeries::y, &drivevalues::ChartSeries::z,
        &drivevalues::ChartSeries::speed, &drivevalues::ChartSeries::threshold}) {
    drivevalues::ChartSeries t;
    t.*flag = true;
    EXPECT_FALSE(t.onlyTotal());
  }
  s.total = false;
  EXPECT_FALSE(s.onlyTotal());
}
