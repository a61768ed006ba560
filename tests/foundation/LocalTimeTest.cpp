#include <gtest/gtest.h>

#include "foundation/LocalTime.h"

// The test environment runs in the POSIX zone JST-9 (no daylight saving).
TEST(LocalTime, ConvertsLocalDateAndTimeBothWays) {
  int64_t t = 0;
  ASSERT_TRUE(ToCalendarTime({2009, 3, 1, 0, 0, 0}, t));
  EXPECT_EQ(t, 1235833200);
  LocalDateTime back;
  ASSERT_TRUE(ToLocalDateTime(t, back));
  EXPECT_EQ(back, (LocalDateTime{2009, 3, 1, 0, 0, 0}));
}

TEST(LocalTime, RejectsFieldsTheSystemWouldRollOver) {
  int64_t t = 77;
  EXPECT_FALSE(ToCalendarTime({2009, 2, 29, 12, 0, 0}, t));  // not a leap year
  EXPECT_FALSE(ToCalendarTime({2010, 2, 30, 0, 0, 0}, t));
  EXPECT_FALSE(ToCalendarTime({2010, 1, 1, 25, 0, 0}, t));
  EXPECT_FALSE(ToCalendarTime({2010, 13, 1, 0, 0, 0}, t));
  EXPECT_FALSE(ToCalendarTime({2010, 1, 0, 0, 0, 0}, t));
  EXPECT_FALSE(ToCalendarTime({2010, 1, 1, 0, 60, 0}, t));
  EXPECT_EQ(t, 77);  // untouched on failure
  EXPECT_TRUE(ToCalendarTime({2008, 2, 29, 23, 59, 59}, t));
  EXPECT_EQ(CalendarTimeOrZero({2009, 2, 29, 0, 0, 0}), 0);
  EXPECT_NE(CalendarTimeOrZero({2008, 2, 29, 0, 0, 0}), 0);
}
