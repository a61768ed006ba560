#pragma once
// A time zone with summer time for the length of a test, and an hour its clocks skip.
#include <cstdlib>
#include <ctime>
#include <string>

#include "foundation/LocalTime.h"

class SummerTimeZone {
 public:
  SummerTimeZone() {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    Set("PST8PDT");
  }
  ~SummerTimeZone() { Set(had_ ? old_.c_str() : nullptr); }
  SummerTimeZone(const SummerTimeZone&) = delete;
  SummerTimeZone& operator=(const SummerTimeZone&) = delete;

 private:
  static void Set(const char* zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone ? zone : "");
    _tzset();
#else
    if (zone) {
      setenv("TZ", zone, 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
#endif
  }
  bool had_ = false;
  std::string old_;
};

// The first local hour of `year` (at half past) that the clocks skip, found by trying
// them all.
inline bool FindSkippedHour(int year, LocalDateTime& skipped) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int month = 1; month <= 12; ++month)
    for (int day = 1; day <= kDays[month - 1]; ++day)
      for (int hour = 0; hour < 24; ++hour) {
        const LocalDateTime local{year, month, day, hour, 30, 0};
        int64_t time = 0;
        if (!ToCalendarTime(local, time)) {
          skipped = local;
          return true;
        }
      }
  return false;
}
