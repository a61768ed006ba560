#pragma once
// The arithmetic of the G-value chart: where the plot lies in the window, where a frame
// and a G value fall in it, and how large the off-screen drawing is. Sizes never come
// out negative, however small the window: a minimised or squeezed window gets an empty
// plot and no drawing instead of negative rectangles.
#include <cstdint>
#include <functional>

namespace chart {

// A width and height: a text's extent in the chart's font, or the drawing's size.
struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
};

// The plot rectangle in the coordinates of the off-screen drawing.
struct Plot {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const Plot& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// Where the off-screen drawing is copied to in the window.
constexpr int32_t kDrawingX = 20;
constexpr int32_t kDrawingY = 7;
// The drawing covers the window less these margins.
constexpr int32_t kDrawingMarginX = 45;
constexpr int32_t kDrawingMarginY = 18;
// The value on the plot's top line; 0 lies on its bottom line.
constexpr double kTopG = 2.0;

// The plot for a client area of width x height, given the extents of "+0.00" (`value`)
// and of "999" (`count`). Right never lies left of left, bottom never above top.
Plot LayOut(int32_t width, int32_t height, Size value, Size count);

// The off-screen drawing's size for the client area; either side 0 means no drawing.
Size DrawingSize(int32_t width, int32_t height);

// The column of frame `frame` of `frames` (> 0): the right end for a single frame.
// Integer arithmetic, truncated, in 64 bits so that long plots cannot overflow.
int32_t FrameX(const Plot& plot, int32_t frame, int32_t frames);

// The frame under column `x`, the inverse of FrameX: of the frames whose columns are
// nearest x, the first; x beyond the plot's ends counts as the end. 0 when there are no
// frames or the plot has no width.
int32_t FrameAtX(const Plot& plot, int32_t x, int32_t frames);

// Whether window point (x, y) lies on the plot (the drawing is copied to kDrawingX,
// kDrawingY).
bool OnPlot(const Plot& plot, int32_t x, int32_t y);

// The first frame of the run of switch-press frames that holds `frame` (as
// `pressed` tells), or `frame` itself when it is not pressed.
int32_t PressStart(int32_t frame, const std::function<bool(int32_t)>& pressed);

// The column of frame `frame` on the curve: as FrameX, but a single frame lies at the
// left end, where the curve starts.
int32_t CurveX(const Plot& plot, int32_t frame, int32_t frames);

// The row of G value `g`: the bottom line at 0, the top line at kTopG, truncated toward
// zero; larger values lie above the top line.
int32_t GToY(const Plot& plot, double g);

// The row of grid line k (0 top .. 4 bottom).
int32_t GridY(const Plot& plot, int k);

}  // namespace chart
