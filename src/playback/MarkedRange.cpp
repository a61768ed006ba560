#include "playback/MarkedRange.h"

#include <algorithm>
#include <utility>

void MarkedRange::setStart(int32_t frame) {
  start_ = std::max(frame, 0);
  if (end_ >= 0 && end_ < start_) std::swap(start_, end_);
}

void MarkedRange::setEnd(int32_t frame) {
  end_ = std::max(frame, 0);
  if (start_ >= 0 && end_ < start_) std::swap(start_, end_);
}

void MarkedRange::clearMarks() {
  start_ = -1;
  end_ = -1;
}

MarkedRange::Bounds MarkedRange::bounds(int32_t count) const {
  const int32_t last = std::max(count - 1, 0);
  Bounds b;
  b.first = start_ >= 0 ? std::min(start_, last) : 0;
  b.last = end_ >= 0 ? std::min(end_, last) : last;
  return b;
}
