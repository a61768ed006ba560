#include "foundation/LocalTimeSystem.h"

#include <time.h>

namespace {
tm ToTm(const LocalDateTime& local) {
  tm t{};
  t.tm_year = local.year - 1900;
  t.tm_mon = local.month - 1;
  t.tm_mday = local.day;
  t.tm_hour = local.hour;
  t.tm_min = local.minute;
  t.tm_sec = local.second;
  t.tm_isdst = -1;
  return t;
}
}  // namespace

bool SystemMakeTime(const LocalDateTime& local, int64_t& time) {
  tm t = ToTm(local);
  const __time64_t converted = _mktime64(&t);
  if (converted == -1) return false;
  time = converted;
  return true;
}

bool SystemLocalTime(int64_t time, LocalDateTime& local) {
  const __time64_t value = time;
  tm t{};
  if (_localtime64_s(&t, &value) != 0) return false;
  local = {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
  return true;
}
