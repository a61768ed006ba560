#pragma once
// Calendar time: a signed 64-bit count of seconds since 1970-01-01 00:00 UTC, made from
// a local date and time of the computer's time zone. 0 means "no time".
#include <cstdint>

struct LocalDateTime {
  int year = 0;  // full year, e.g. 2009
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool operator==(const LocalDateTime& o) const {
    return year == o.year && month == o.month && day == o.day && hour == o.hour &&
           minute == o.minute && second == o.second;
  }
  bool operator!=(const LocalDateTime& o) const { return !(*this == o); }
};

// Converts a local date and time into calendar time. Valid only if the system converts
// it and converting the result back gives the same fields, so 30 February or 25:00
// are rejected rather than rolled over. Daylight saving is the system's choice.
bool ToCalendarTime(const LocalDateTime& local, int64_t& time);

// Converts calendar time into the local date and time; false if the system cannot.
bool ToLocalDateTime(int64_t time, LocalDateTime& local);

// ToCalendarTime, or 0 for a date and time that is not valid.
int64_t CalendarTimeOrZero(const LocalDateTime& local);
