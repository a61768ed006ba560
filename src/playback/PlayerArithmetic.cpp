#include "playback/PlayerArithmetic.h"

#include <algorithm>
#include <cmath>

namespace player {

namespace {

// Truncation toward zero of a product or quotient that may be out of int32 range.
int64_t Truncate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.0e18) return INT64_MAX;
  if (value <= -9.0e18) return INT64_MIN;
  return static_cast<int64_t>(value);
}

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

int32_t ClampFrame(int64_t frame, int32_t count) {
  return static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(frame, int64_t(count) - 1)));
}

int32_t FrameAtPosition(int32_t positionMs, double periodMs, int32_t count) {
  return ClampFrame(Truncate(positionMs / periodMs), count);
}

int32_t FrameOnClock(uint32_t nowMs, uint32_t playStartMs, int32_t basePositionMs,
                     double periodMs) {
  // The difference is taken in the clock's own wrapping arithmetic, so a clock that
  // passes 2^32 ms during playback keeps counting forward.
  const int64_t elapsed = static_cast<int32_t>(nowMs - playStartMs);
  return Saturate(Truncate(static_cast<double>(elapsed + basePositionMs) / periodMs));
}

int32_t SoundStartMs(int32_t frame, double periodMs) {
  return Saturate(Truncate(frame * periodMs));
}

int32_t SlotToRequest(int32_t frame, int32_t count, int32_t imagesPerSlot) {
  int32_t slot = ClampFrame(frame, count);
  if (imagesPerSlot != 1) slot = slot / 2 * 2;
  return slot;
}

FitRect FitFourByThree(int32_t clientWidth, int32_t clientHeight) {
  FitRect r;
  if (clientWidth / 640.0 < clientHeight / 480.0) {
    r.width = clientWidth;
    r.height = static_cast<int32_t>(clientWidth * 480.0 / 640.0);
  } else {
    r.width = static_cast<int32_t>(clientHeight * 640.0 / 480.0);
    r.height = clientHeight;
  }
  r.x = (clientWidth - r.width) / 2;
  r.y = (clientHeight - r.height) / 2;
  return r;
}

uint32_t MsToNextTick(int64_t clockMs, double periodMs, uint32_t leadMs) {
  const double frame = std::floor(static_cast<double>(clockMs) / periodMs);
  const double target = (frame + 2.0) * periodMs - leadMs;
  const double interval = std::round(target - static_cast<double>(clockMs));
  return static_cast<uint32_t>(std::clamp(interval, 1.0, std::ceil(2.0 * periodMs)));
}

uint32_t MsToTickFor(int32_t frame, int64_t clockMs, double periodMs, uint32_t leadMs) {
  const double interval = std::round(static_cast<double>(frame) * periodMs - leadMs - static_cast<double>(clockMs));
  return static_cast<uint32_t>(std::clamp(interval, 1.0, std::ceil(2.0 * periodMs)));
}

bool MissedByAJump(int32_t frameNow, int32_t lastAsked) {
  return lastAsked >= 0 && int64_t(frameNow) == int64_t(lastAsked) + 1;
}

uint32_t MsUntilDue(int32_t frame, double periodMs, int64_t clockMs) {
  const double wait = std::round(static_cast<double>(frame) * periodMs - static_cast<double>(clockMs));
  return static_cast<uint32_t>(std::clamp(wait, 0.0, std::ceil(2.0 * periodMs)));
}

int32_t CentredOffset(int32_t low, int32_t high, int32_t extent) {
  return (high - extent - low) / 2;
}

}  // namespace player
