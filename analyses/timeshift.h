#pragma once
// The event analysis' time shift: every member's civil date and clock time
// moved by a number of days, then by a number of hours, on a calendar whose
// months have fixed lengths (February always 28 days, no leap years).
//
// Days and hours carry into the neighbouring months and years in both
// directions: +1 day on 31 December gives 1 January of the next year, -30
// hours from 02:00 give 20:00 two days earlier. A date the fixed calendar
// does not know (29 February) counts as the day after 28 February, so it
// becomes 1 March under any shift. Minutes and seconds are not touched.
#include <array>

#include "data/event_record.h"

// Days of the months January .. December on the shift calendar.
inline constexpr std::array<int, 12> kFixedMonthDays{31, 28, 31, 30, 31, 30,
                                                     31, 31, 30, 31, 30, 31};

struct CivilHour {
  int year;
  int month;  // 1..12
  int day;    // 1..31
  int hour;   // 0..23
};

// Moves `t` by `days` days and then `hours` hours. The month must be
// 1..12; a day beyond the month's fixed length carries forward.
CivilHour ShiftCivilHour(CivilHour t, int days, int hours);

// The same on a record's year, month, day and hour.
void ShiftEventTime(EventRecord& record, int days, int hours);
