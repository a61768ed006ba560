#include "playback/RateClock.h"

#include <algorithm>
#include <cmath>

void RateClock::start(uint32_t nowMs, double positionMs, playspeed::Ratio ratio, bool backward) {
  startMs_ = nowMs;
  startPosition_ = positionMs;
  rate_ = double(ratio.numerator) / double(ratio.denominator);
  if (backward) rate_ = -rate_;
  backward_ = backward;
}

double RateClock::positionAt(uint32_t nowMs) const {
  // Unsigned difference: right across the counter's wrap every 49.7 days.
  const uint32_t elapsed = nowMs - startMs_;
  return startPosition_ + rate_ * double(elapsed);
}

int64_t RateClock::frameAt(uint32_t nowMs, double periodMs) const {
  return static_cast<int64_t>(std::floor(positionAt(nowMs) / periodMs));
}

uint32_t RateClock::msToNextTick(uint32_t nowMs, double periodMs, uint32_t minIntervalMs) const {
  const double position = positionAt(nowMs);
  const double frame = std::floor(position / periodMs);
  // Forwards the frame changes at the next boundary; backwards as soon as the position
  // drops below the current frame's start.
  const double distance = backward_ ? position - frame * periodMs : (frame + 1) * periodMs - position;
  const double wall = std::ceil(distance / std::fabs(rate_));
  const double interval = std::max({wall, double(minIntervalMs), 1.0});
  return static_cast<uint32_t>(std::min(interval, 60000.0));
}
