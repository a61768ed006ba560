#pragma once
// The video player's arithmetic, kept apart from its window so that it can be checked
// everywhere: which frame belongs to a moment of the sound or of the system clock, which
// slot to ask the loader for, and where a picture goes in the window.
#include <cstdint>

namespace player {

// 28 pictures a second.
constexpr double kFramePeriodMs = 1000.0 / 28.0;
// A little shorter than the frame period, so that every frame gets at least one tick.
constexpr uint32_t kTickIntervalMs = 35;
// Before anything is loaded.
constexpr double kInitialFramePeriodMs = 35.7142;
constexpr uint32_t kInitialTickIntervalMs = 100;

// max(0, min(frame, count - 1)); 0 for an empty recording.
int32_t ClampFrame(int64_t frame, int32_t count);

// The frame at a sound position: position / period, truncated toward zero, clamped.
int32_t FrameAtPosition(int32_t positionMs, double periodMs, int32_t count);

// The frame on the system clock when there is no playable sound: the time since play
// started (both in timeGetTime's wrapping milliseconds) plus the position it started
// from, divided by the period and truncated toward zero. Not clamped: the caller sees
// when it has run past the end.
int32_t FrameOnClock(uint32_t nowMs, uint32_t playStartMs, int32_t basePositionMs,
                     double periodMs);

// Where the sound starts for a frame: frame × period, truncated toward zero.
int32_t SoundStartMs(int32_t frame, double periodMs);

// The slot to request for a frame: clamped, and rounded down to an even slot when a
// picture spans two slots.
int32_t SlotToRequest(int32_t frame, int32_t count, int32_t imagesPerSlot);

// A 4:3 rectangle as large as fits the client area, centred.
struct FitRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};
FitRect FitFourByThree(int32_t clientWidth, int32_t clientHeight);

// While a clock runs, the next tick is placed by the clock rather than a fixed interval
// after this one: each tick asks for the frame after the one due now, so ticks must
// come once per frame, a little before the frame they ask for is due, whatever the
// delay of the last tick. The tick for frame f + 1 comes leadMs before f + 1 is due,
// which leaves the loader that long to decode it and lets a tick be that late without
// missing a frame (an early tick only asks again for the frame on screen). Returns the
// milliseconds from `clockMs` to the tick after it (between 1 and two frame periods).
constexpr uint32_t kTickLeadMs = 20;
uint32_t MsToNextTick(int64_t clockMs, double periodMs, uint32_t leadMs);

// The milliseconds from `clockMs` to the tick for `frame` (leadMs before it is due),
// between 1 and two frame periods.
uint32_t MsToTickFor(int32_t frame, int64_t clockMs, double periodMs, uint32_t leadMs);

// Whether a tick that finds `frameNow` due must catch up: it is the frame after the last
// one asked for, so the clock jumped over the tick that should have asked for it. (The
// sound clock moves in steps and now and then several at once.) Such a frame is asked
// for late rather than lost.
bool MissedByAJump(int32_t frameNow, int32_t lastAsked);

// How long after a clock reading of `clockMs` frame `frame` is due (frame × period),
// rounded to the millisecond: 0 when it is due already, never more than two frame
// periods (a picture is held that long at most, whatever a clock jump says).
uint32_t MsUntilDue(int32_t frame, double periodMs, int64_t clockMs);

// Where the progress text goes: centred, halves truncated toward zero.
int32_t CentredOffset(int32_t low, int32_t high, int32_t extent);

}  // namespace player
