#include "export/ClipTimes.h"

#include <cstdio>

#include "foundation/LocalTime.h"
#include "recording/VideoArchive.h"

namespace cliptimes {

std::string LocalText(int64_t time) {
  LocalDateTime t;
  if (time == 0 || !ToLocalDateTime(time, t)) return "---------- --:--:--";
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

std::string CompactText(int64_t time) {
  LocalDateTime t;
  if (time == 0 || !ToLocalDateTime(time, t)) return std::string();
  char text[48];
  std::snprintf(text, sizeof text, "%04d%02d%02d_%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

int FrameWithinSecond(const VideoArchive& archive, int slot) {
  const FrameEntry* entry = archive.Entry(slot);
  if (!entry) return 0;
  int frame = 0;
  while (frame < kSlotsPerSecond - 1) {
    const FrameEntry* before = archive.Entry(slot - frame - 1);
    if (!before || before->time != entry->time) break;
    ++frame;
  }
  return frame;
}

int64_t FirstSampleOf(int64_t slot, int64_t rate) {
  return (slot * rate + kSlotsPerSecond - 1) / kSlotsPerSecond;
}

}  // namespace cliptimes
