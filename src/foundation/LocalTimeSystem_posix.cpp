#include "foundation/LocalTimeSystem.h"

#include <time.h>

bool SystemMakeTime(const LocalDateTime& local, int64_t& time) {
  tm t{};
  t.tm_year = local.year - 1900;
  t.tm_mon = local.month - 1;
  t.tm_mday = local.day;
  t.tm_hour = local.hour;
  t.tm_min = local.minute;
  t.tm_sec = local.second;
  t.tm_isdst = -1;
  const time_t converted = mktime(&t);
  if (converted == static_cast<time_t>(-1)) return false;
  time = static_cast<int64_t>(converted);
  return true;
}

bool SystemLocalTime(int64_t time, LocalDateTime& local) {
  const time_t value = static_cast<time_t>(time);
  tm t{};
  if (localtime_r(&value, &t) == nullptr) return false;
  local = {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
  return true;
}
