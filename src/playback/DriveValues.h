#pragma once
// The drive's numbers beside the picture: the texts of the frame on screen's speed and G
// values, and where the chart's extra curves (the three axes, the speed) and the G circle
// put a value. Portable, so that the arithmetic is tested everywhere.
#include <cstdint>
#include <string>

#include "playback/ChartLayout.h"

struct FrameEntry;
class IVideoInfo;

namespace drivevalues {

// "52 km/h", "+0.12" for each axis, "1.02" for the combined G; dashes without an entry.
struct Texts {
  std::wstring speed;
  std::wstring x, y, z;
  std::wstring total;
};
Texts ForEntry(const FrameEntry* entry);

// What the chart draws. The combined G alone is the chart as it always was.
struct ChartSeries {
  bool total = true;
  bool x = false, y = false, z = false;
  bool speed = false;
  bool threshold = false;  // the G-peak jumps' threshold line
  bool onlyTotal() const { return total && !x && !y && !z && !speed && !threshold; }
  bool operator==(const ChartSeries& o) const {
    return total == o.total && x == o.x && y == o.y && z == o.z && speed == o.speed && threshold == o.threshold;
  }
};

constexpr double kThresholdG = 0.5;
constexpr int32_t kSpeedStep = 20;
// The axes are signed: they run from -kAxisG at the bottom line to +kAxisG at the top,
// 0 on the middle line.
constexpr double kAxisG = 2.0;

// The top of the speed scale: the recording's highest speed rounded up to 20 km/h, at
// least 20.
int32_t SpeedScaleTop(const IVideoInfo& info);
// The row of `speed` on a scale from 0 (bottom line) to `top` (top line), truncated.
int32_t SpeedToY(const chart::Plot& plot, int32_t speed, int32_t top);
// The row of an axis value, truncated toward zero.
int32_t AxisToY(const chart::Plot& plot, double g);

// The G circle: a square of `side` pixels whose centre is 0 G and whose edge is
// kCircleG. Lateral G runs along x (right positive), longitudinal G along y (up positive).
constexpr double kCircleG = 1.25;
struct Point {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};
Point CirclePoint(int32_t side, double lateral, double longitudinal);
// The radius in pixels of the ring at `g`.
int32_t RingRadius(int32_t side, double g);

}  // namespace drivevalues
