#include "playback/ChartLayout.h"

#include <algorithm>
#include <cmath>

namespace chart {

namespace {

constexpr int32_t kPlotTop = 13;
constexpr int32_t kLeftGap = 10;
constexpr int32_t kRightGap = 55;
constexpr int32_t kBottomGap = 23;

}  // namespace

Plot LayOut(int32_t width, int32_t height, Size value, Size count) {
  Plot p;
  p.left = value.cx + kLeftGap;
  p.top = kPlotTop;
  p.right = std::max(p.left, width - count.cx - kRightGap);
  p.bottom = std::max(p.top, height - value.cy - kBottomGap);
  return p;
}

Size DrawingSize(int32_t width, int32_t height) {
  return {std::max(0, width - kDrawingMarginX), std::max(0, height - kDrawingMarginY)};
}

int32_t FrameX(const Plot& plot, int32_t frame, int32_t frames) {
  if (frames <= 1) return plot.right;
  const int64_t span = int64_t(plot.right) - plot.left;
  return static_cast<int32_t>(plot.left + span * frame / (frames - 1));
}

int32_t FrameAtX(const Plot& plot, int32_t x, int32_t frames) {
  const int64_t span = int64_t(plot.right) - plot.left;
  if (frames <= 1 || span <= 0) return 0;
  const int64_t last = frames - 1;
  const int64_t along = std::clamp<int64_t>(int64_t(x) - plot.left, 0, span);
  // The first frame at or right of the column (FrameX truncates), and the one before.
  const int64_t right = std::min(last, (along * last + span - 1) / span);
  if (right == 0) return 0;
  const int64_t rightGap = span * right / last - along;
  const int64_t leftGap = along - span * (right - 1) / last;
  return static_cast<int32_t>(leftGap <= rightGap ? right - 1 : right);
}

bool OnPlot(const Plot& plot, int32_t x, int32_t y) {
  return x >= plot.left + kDrawingX && x <= plot.right + kDrawingX && y >= plot.top + kDrawingY &&
         y <= plot.bottom + kDrawingY;
}

int32_t PressStart(int32_t frame, const std::function<bool(int32_t)>& pressed) {
  if (!pressed(frame)) return frame;
  // Each round steps one frame towards 0, where it stops.
  while (frame > 0 && pressed(frame - 1)) --frame;
  return frame;
}

int32_t CurveX(const Plot& plot, int32_t frame, int32_t frames) {
  return frames == 1 ? plot.left : FrameX(plot, frame, frames);
}

int32_t GToY(const Plot& plot, double g) {
  if (std::isnan(g)) return plot.bottom;
  const double y = plot.top + (plot.bottom - plot.top) * (kTopG - g) / kTopG;
  // A value far outside any recorder's range must still give a drawable row.
  constexpr double kLimit = 1 << 20;
  return static_cast<int32_t>(std::trunc(std::clamp(y, -kLimit, kLimit)));
}

int32_t GridY(const Plot& plot, int k) { return plot.top + (k * (plot.bottom - plot.top)) / 4; }

}  // namespace chart
