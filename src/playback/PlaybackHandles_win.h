#pragma once
// What the video player holds of the system for its lifetime: a raised timer
// resolution and a DrawDib drawing handle. Each is given back once, also when the player
// is only partly built.
#include <windows.h>

#include <mmsystem.h>
#include <vfw.h>

#include "toolkit/ScopedWin_win.h"

// Raises the system timer's resolution as far as the device allows (at best 1 ms), so
// that timeGetTime and the loader's waits are accurate, and ends that same period when it
// goes. A resolution that cannot be raised is left alone.
class ScopedTimerResolution {
 public:
  ScopedTimerResolution() {
    TIMECAPS caps = {};
    if (timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR) return;
    UINT period = caps.wPeriodMin < 1 ? 1 : caps.wPeriodMin;
    if (period > caps.wPeriodMax) period = caps.wPeriodMax;
    if (timeBeginPeriod(period) == TIMERR_NOERROR) period_ = period;
  }
  ~ScopedTimerResolution() {
    if (period_ != 0) timeEndPeriod(period_);
  }
  ScopedTimerResolution(const ScopedTimerResolution&) = delete;
  ScopedTimerResolution& operator=(const ScopedTimerResolution&) = delete;

  // The period in force, 0 when none was raised.
  UINT period() const { return period_; }

 private:
  UINT period_ = 0;
};

struct DrawDibTraits {  // a handle from DrawDibOpen
  using Handle = HDRAWDIB;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { DrawDibClose(h); }
};
using ScopedDrawDib = ScopedHandle<DrawDibTraits>;
