#pragma once
// The moments of a drive worth jumping to, and the figures that sum it up, read from a
// loaded recording's timeline (28 slots a second). Gap copies fill the timeline where the
// recorder dropped pictures: they count for time (duration, distance, average speed) but
// never as a moment of their own, since they only repeat the picture before them.
#include <cstdint>
#include <vector>

class IVideoInfo;

constexpr int32_t kDriveSlotsPerSecond = 28;

// True when the slot's entry carries the switch's event flag, the test the event list
// and the position slider's marks use.
bool IsEventSlot(const IVideoInfo& info, int32_t slot);

// The first slot of every run of event slots: where each switch press starts.
std::vector<int32_t> SwitchPressStarts(const IVideoInfo& info);

// Slots where the combined G has a local maximum above `threshold`, ascending. A plateau
// of equal read values counts once, at its first slot. Of two maxima closer than
// `minGapSlots`, the higher stays (the earlier one on a tie).
std::vector<int32_t> GPeaks(const IVideoInfo& info, double threshold = 0.5, int32_t minGapSlots = kDriveSlotsPerSecond);

// A slot of the drive and the calendar time its entry carries (0 when it has none).
struct DriveMoment {
  int32_t slot = -1;  // -1: no such moment
  int64_t time = 0;
};

// The largest reading of one value by magnitude, signed as the entry holds it.
struct DrivePeak {
  double value = 0;
  DriveMoment at;
};

struct DriveSummary {
  int32_t slotCount = 0;
  int64_t startTime = 0;  // the first and last time an entry carries; 0 when none does
  int64_t endTime = 0;
  double durationSeconds = 0;  // the timeline's length
  double distanceKm = 0;       // the sum over slots of speed x 1/28 s
  int32_t maxSpeedKmh = 0;
  DriveMoment maxSpeedAt;
  double averageSpeedKmh = 0;  // over the slots that hold an entry
  DrivePeak peakX, peakY, peakZ, peakTotal;
  std::vector<DriveMoment> switchPresses;
};

DriveSummary SummarizeDrive(const IVideoInfo& info);
