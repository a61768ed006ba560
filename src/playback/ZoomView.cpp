#include "playback/ZoomView.h"

#include <algorithm>
#include <cmath>

namespace {

// The fraction of `area`'s side at which `at` lies, held inside the side.
double FractionAlong(int32_t at, int32_t start, int32_t length) {
  return std::clamp((double(at) - start) / length, 0.0, 1.0);
}

}  // namespace

double ZoomView::scale() const { return std::pow(2.0, level_ / 2.0); }

bool ZoomView::zoomAt(int steps, int32_t x, int32_t y, const Rect& area) {
  if (area.width <= 0 || area.height <= 0) return false;
  const int level = std::clamp(level_ + steps, 0, kMaxLevel);
  if (level == level_) return false;
  const double fx = FractionAlong(x, area.x, area.width);
  const double fy = FractionAlong(y, area.y, area.height);
  // The picture point under the pointer, before and after, is the same.
  const double u = left_ + fx * span();
  const double v = top_ + fy * span();
  level_ = level;
  left_ = u - fx * span();
  top_ = v - fy * span();
  clampToPicture();
  return true;
}

bool ZoomView::zoomAtCentre(int steps) {
  // Any area will do: the fractions are what count.
  const Rect unit = {0, 0, 2, 2};
  return zoomAt(steps, 1, 1, unit);
}

bool ZoomView::showWhole() {
  if (level_ == 0) return false;
  level_ = 0;
  left_ = top_ = 0.0;
  return true;
}

bool ZoomView::pan(int32_t dx, int32_t dy, const Rect& area) {
  if (!zoomed() || area.width <= 0 || area.height <= 0) return false;
  const double left = left_;
  const double top = top_;
  left_ -= double(dx) / area.width * span();
  top_ -= double(dy) / area.height * span();
  clampToPicture();
  return left_ != left || top_ != top;
}

int ZoomView::takeWheelNotches(int32_t delta) {
  if ((delta > 0 && wheelRest_ < 0) || (delta < 0 && wheelRest_ > 0)) wheelRest_ = 0;
  // In 64 bits: a delta near the type's end must not overflow the sum.
  const int64_t total = int64_t(wheelRest_) + delta;
  const int64_t notches = total / kWheelNotch;
  wheelRest_ = static_cast<int32_t>(total - notches * kWheelNotch);
  return static_cast<int>(std::clamp<int64_t>(notches, -kMaxLevel, kMaxLevel));
}

void ZoomView::clampToPicture() {
  const double most = 1.0 - span();
  left_ = std::clamp(left_, 0.0, most);
  top_ = std::clamp(top_, 0.0, most);
}

ZoomView::Rect ZoomView::sourceRect(int32_t width, int32_t height) const {
  if (!zoomed() || width <= 0 || height <= 0) return {0, 0, std::max(0, width), std::max(0, height)};
  const auto cover = [&](double start, int32_t side, int32_t& from, int32_t& length) {
    from = std::clamp(static_cast<int32_t>(std::floor(start * side)), 0, side - 1);
    const int32_t end = std::clamp(static_cast<int32_t>(std::ceil((start + span()) * side)), from + 1, side);
    length = end - from;
  };
  Rect r;
  cover(left_, width, r.x, r.width);
  cover(top_, height, r.y, r.height);
  return r;
}

ZoomView::Rect ZoomView::destinationRect(const Rect& source, int32_t width, int32_t height,
                                         const Rect& area) const {
  if (!zoomed() || width <= 0 || height <= 0) return area;
  // Window pixels per picture pixel, and where the view's corner lies in the picture.
  const double kx = area.width * scale() / width;
  const double ky = area.height * scale() / height;
  const double x0 = left_ * width;
  const double y0 = top_ * height;
  const auto at = [](double v) { return static_cast<int32_t>(std::lround(v)); };
  Rect d;
  d.x = area.x + at((source.x - x0) * kx);
  d.y = area.y + at((source.y - y0) * ky);
  d.width = area.x + at((source.x + source.width - x0) * kx) - d.x;
  d.height = area.y + at((source.y + source.height - y0) * ky) - d.y;
  return d;
}
