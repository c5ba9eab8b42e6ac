// The time shift on the fixed-length-month calendar.
#include <gtest/gtest.h>

#include "analyses/timeshift.h"

namespace {

void ExpectHour(const CivilHour& got, int year, int month, int day, int hour) {
  EXPECT_EQ(got.year, year);
  EXPECT_EQ(got.month, month);
  EXPECT_EQ(got.day, day);
  EXPECT_EQ(got.hour, hour);
}

TEST(TimeShift, DaysCarryIntoTheNextOrPreviousYear) {
  ExpectHour(ShiftCivilHour({1999, 12, 31, 12}, 1, 0), 2000, 1, 1, 12);
  ExpectHour(ShiftCivilHour({2000, 1, 1, 12}, -1, 0), 1999, 12, 31, 12);
  ExpectHour(ShiftCivilHour({1980, 1, 20, 5}, 25, 0), 1980, 2, 14, 5);
  ExpectHour(ShiftCivilHour({1980, 3, 10, 5}, -25, 0), 1980, 2, 13, 5);
}

TEST(TimeShift, NegativeHoursBorrowWholeDays) {
  // -30 hours: from 02:00 to 20:00 two days earlier, from 10:00 to 04:00 the day before.
  ExpectHour(ShiftCivilHour({1970, 6, 15, 2}, 0, -30), 1970, 6, 13, 20);
  ExpectHour(ShiftCivilHour({1970, 6, 15, 10}, 0, -30), 1970, 6, 14, 4);
  ExpectHour(ShiftCivilHour({1970, 1, 1, 0}, 0, -47), 1969, 12, 30, 1);
  ExpectHour(ShiftCivilHour({1970, 12, 31, 23}, 0, 47), 1971, 1, 2, 22);
}

TEST(TimeShift, MonthsHaveFixedLengths) {
  // February has 28 days in every year, leap years included.
  ExpectHour(ShiftCivilHour({2000, 2, 28, 12}, 1, 0), 2000, 3, 1, 12);
  ExpectHour(ShiftCivilHour({2000, 3, 1, 12}, -1, 0), 2000, 2, 28, 12);
  // A 29 February is the day after the 28th: 1 March under any shift.
  ExpectHour(ShiftCivilHour({2000, 2, 29, 10}, 0, 1), 2000, 3, 1, 11);
  ExpectHour(ShiftCivilHour({2000, 4, 30, 23}, 0, 1), 2000, 5, 1, 0);
  ExpectHour(ShiftCivilHour({2000, 5, 1, 0}, 0, -1), 2000, 4, 30, 23);
}

TEST(TimeShift, DaysFirstThenHoursOnTheRecord) {
  EventRecord r{};
  r.year = 1990;
  r.month = 12;
  r.day = 31;
  r.hour = 22;
  r.minute = 17;
  ShiftEventTime(r, 1, 3);
  EXPECT_EQ(r.year, 1991);
  EXPECT_EQ(r.month, 1);
  EXPECT_EQ(r.day, 2);
  EXPECT_EQ(r.hour, 1);
  EXPECT_EQ(r.minute, 17);
}

TEST(TimeShift, NoShiftKeepsTheDate) {
  ExpectHour(ShiftCivilHour({-100, 7, 4, 9}, 0, 0), -100, 7, 4, 9);
  ExpectHour(ShiftCivilHour({-1, 12, 31, 23}, 0, 1), 0, 1, 1, 0);
}

}  // namespace
