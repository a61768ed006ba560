#include "foundation/LocalTime.h"

#include "foundation/LocalTimeSystem.h"

bool ToCalendarTime(const LocalDateTime& local, int64_t& time) {
  int64_t converted = 0;
  if (!SystemMakeTime(local, converted)) return false;
  LocalDateTime back;
  if (!SystemLocalTime(converted, back) || back != local) return false;
  time = converted;
  return true;
}

bool ToLocalDateTime(int64_t time, LocalDateTime& local) { return SystemLocalTime(time, local); }

int64_t CalendarTimeOrZero(const LocalDateTime& local) {
  int64_t time = 0;
  return ToCalendarTime(local, time) ? time : 0;
}
