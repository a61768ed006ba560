#pragma once
// The moments of a recording's slots as exports name them: the local date and time of a
// slot, the frame within its second, and the samples of the sound that belong to a run
// of slots (slot k starts at k / 28 s).
#include <cstdint>
#include <string>

class VideoArchive;

namespace cliptimes {

constexpr int kSlotsPerSecond = 28;

// "YYYY-MM-DD HH:MM:SS" in local time; dashes and colons only for 0 or a time the
// system cannot convert.
std::string LocalText(int64_t time);
// The same digits without separators, "YYYYMMDD_HHMMSS" (file names); empty for none.
std::string CompactText(int64_t time);

// How many slots right before `slot` show the same second (0..27): the frame within
// its second.
int FrameWithinSecond(const VideoArchive& archive, int slot);

// The first sample at or after the start of `slot` at `rate` samples a second.
int64_t FirstSampleOf(int64_t slot, int64_t rate);

}  // namespace cliptimes
