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
