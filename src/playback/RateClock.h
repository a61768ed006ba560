#pragma once
// The clock of playback at any speed other than 1 time forwards, where the sound is
// silent and cannot be the clock: the position in the recording moves by a fixed ratio
// of the system clock's milliseconds, forwards or backwards. Wall times are
// timeGetTime's wrapping milliseconds; positions are milliseconds of the recording.
#include <cstdint>

#include "playback/PlaySpeed.h"

class RateClock {
 public:
  // Starts at `positionMs` at wall time `nowMs`, at `ratio` (backwards when `backward`).
  void start(uint32_t nowMs, double positionMs, playspeed::Ratio ratio, bool backward);

  // The position at `nowMs`, which is taken to be no earlier than the start.
  double positionAt(uint32_t nowMs) const;
  // The frame at `nowMs`: the position over the period, rounded down. Not clamped, so
  // the caller sees that it has run past either end (-1 before the start).
  int64_t frameAt(uint32_t nowMs, double periodMs) const;
  // Wall milliseconds from `nowMs` to the next tick: when the frame shown changes, and
  // no sooner than `minIntervalMs` (faster than that, frames in between are skipped).
  // At least 1.
  uint32_t msToNextTick(uint32_t nowMs, double periodMs, uint32_t minIntervalMs) const;

  bool backward() const { return backward_; }

 private:
  uint32_t startMs_ = 0;
  double startPosition_ = 0;
  // Recording milliseconds a wall millisecond, negative backwards.
  double rate_ = 1;
  bool backward_ = false;
};
