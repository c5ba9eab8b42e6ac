#pragma once
// Civil dates and Julian dates.
//
// Time scale: universal time throughout (the program's "world time"); no
// Delta T is applied anywhere in the core. A Julian date is a double in
// days; the day starts at noon, so 0h UT falls on .5. Dates from
// 1582-10-15 on are Gregorian, earlier ones Julian (proleptic, year 0
// exists). Valid for Julian dates >= 0 (4713 BC); the conversions are
// exact arithmetic on whole days plus a day fraction.
//
// Algorithm: Meeus, Astronomical Algorithms, ch. 7, with two deliberate
// choices: the century term is taken from the year after the
// January/February shift (so 1900-01-01 0h is 2415020.5, as published),
// and CalendarFromJulian truncates (no rounding) after adding 1e-8 day,
// so that a whole minute held a hair low prints as that minute.
#include "core/moment.h"

// Julian date of a civil date and clock time in the given zone (hours east
// of Greenwich, subtracted from the hour). Seconds are added as s / 86400.
double JulianDate(int year, int month, int day, int hour, int minute, int second, int zone);

// Julian date of 0h UT of a civil date (ends in .5).
double JulianDay0h(int year, int month, int day);

// JulianDate of a record's date, time (seconds included) and zone; the
// summer time is not applied.
double EventJulianDate(const ChartMoment& m);
template <MomentRecord Record>
double EventJulianDate(const Record& r) { return EventJulianDate(MomentOf(r)); }

// The universal-time Julian date a chart is computed for: the clock hour
// minus the summer time (the day carried by one, not renormalised into the
// month), then JulianDate with the zone and without the seconds.
double ChartTime(const ChartMoment& m);
template <MomentRecord Record>
double ChartTime(const Record& r) { return ChartTime(MomentOf(r)); }

// ChartTime(m) and JulianDay0h of the moment's civil date (the 0h its
// sidereal time counts from) at once, the same values as the two calls.
struct ChartDays {
  double jd, jd0;
};
ChartDays ChartDaysOf(const ChartMoment& m);

struct CalendarDate {
  int year;
  int month;   // 1..12
  int day;     // 1..31
  int hour;    // 0..23
  int minute;  // 0..59
};

// The civil date and UT clock time of a Julian date, all parts truncated.
// Meant for JulianDateInCalendar dates; a value beyond a billion days
// either way, an infinity or NaN gives the all-zero CalendarDate.
CalendarDate CalendarFromJulian(double jd);

// The Julian dates the calendar turns into dates: from 0 (4713 BC, 1
// January, noon) up to the end of the year 9999 (JD 5373484.5, excluded).
inline constexpr double kCalendarEndJulian = 5373484.5;
// False for a date outside that range, an infinity and NaN.
bool JulianDateInCalendar(double jd);

// The days of a month (1..12) in the calendar: Julian leap years up to
// 1582, Gregorian ones after.
int DaysInMonth(int year, int month);
// Whether the day exists: month 1..12, day 1..DaysInMonth, and none of 5
// to 14 October 1582, the days the Gregorian reform left out.
bool IsCalendarDate(int year, int month, int day);

// Julian centuries from JD 2433282.5 (1950 January 1, 0h UT): the time
// argument of the planetary elements.
double Centuries1950(double jd);
