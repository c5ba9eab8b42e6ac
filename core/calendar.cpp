#include "core/calendar.h"

#include <cmath>

#include "core/angles.h"

namespace {

// The Gregorian reform: 1582-10-15 is the first Gregorian day.
bool IsGregorian(int year, int month, int day) {
  return year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day >= 15)));
}

// The whole-day part of Meeus's formula (ch. 7) for a date whose day
// counts separately: trunc(365.25 (Y + 4716)) + trunc(30.6001 (M + 1)),
// and the century term B. The century term uses the year after the
// January/February shift, as published, so that 1900-01-01 falls on the
// right day.
struct DayTerms {
  double years;
  double months;
  double B;
};

DayTerms DayTermsOf(int year, int month, int day) {
  const bool gregorian = IsGregorian(year, month, day);
  if (month <= 2) {
    month += 12;
    year -= 1;
  }
  double B = 0;
  if (gregorian) {
    const int A = year / 100;
    B = 2 - A + A / 4;
  }
  return {core_detail::Trunc(365.25 * (year + 4716)), core_detail::Trunc(30.6001 * (month + 1)), B};
}

double JulianDateOf(const DayTerms& d, int day, int hour, int minute, int second, int zone) {
  const double t = day + (hour - zone) / 24.0 + minute / 1440.0;
  return d.years + d.months + t + d.B - 1524.5 + second / 86400.0;
}

double Day0hOf(const DayTerms& d, int day) { return d.years + d.months + day + d.B - 1524.5; }

// The clock hour less the summer time, the day carried by one either way.
struct CarriedTime {
  int day, hour;
};
CarriedTime CarriedTimeOf(const ChartMoment& m) {
  int hour = m.hour - m.summerTime;
  int day = m.day;
  if (hour >= 24) {
    hour -= 24;
    day += 1;
  }
  if (hour < 0) {
    hour += 24;
    day -= 1;
  }
  return {day, hour};
}

}  // namespace

double JulianDate(int year, int month, int day, int hour, int minute, int second, int zone) {
  return JulianDateOf(DayTermsOf(year, month, day), day, hour, minute, second, zone);
}

double JulianDay0h(int year, int month, int day) { return Day0hOf(DayTermsOf(year, month, day), day); }

double EventJulianDate(const ChartMoment& m) {
  return JulianDate(m.year, m.month, m.day, m.hour, m.minute, m.second, m.timeZone);
}

double ChartTime(const ChartMoment& m) {
  const CarriedTime c = CarriedTimeOf(m);
  return JulianDate(m.year, m.month, c.day, c.hour, m.minute, 0, m.timeZone);
}

ChartDays ChartDaysOf(const ChartMoment& m) {
  const CarriedTime c = CarriedTimeOf(m);
  const DayTerms civil = DayTermsOf(m.year, m.month, m.day);
  // The day terms depend on the day only through the side of the reform
  // it falls on.
  const bool sameSide = c.day == m.day || IsGregorian(m.year, m.month, c.day) == IsGregorian(m.year, m.month, m.day);
  const DayTerms carried = sameSide ? civil : DayTermsOf(m.year, m.month, c.day);
  return {JulianDateOf(carried, c.day, c.hour, m.minute, 0, m.timeZone), Day0hOf(civil, m.day)};
}

CalendarDate CalendarFromJulian(double jd) {
  // Beyond this the day counts below would not fit the date's integers.
  if (!(std::fabs(jd) < 1e9)) return CalendarDate{};
  // A little under a millisecond, so that a whole minute that floating
  // point holds a hair low is not truncated to the minute before.
  jd += 1e-8;
  const double Z = std::trunc(jd + 0.5);
  const double F = jd + 0.5 - Z;
  double A = Z;
  if (Z >= 2299161) {
    const double alpha = std::trunc((Z - 1867216.25) / 36524.25);
    A = Z + 1 + alpha - std::trunc(alpha / 4);
  }
  double B = A + 1524;
  const double C = std::trunc((B - 122.1) / 365.25);
  B = B - std::trunc(365.25 * C);
  const double E = std::trunc(B / 30.6001);
  const double dayWithFraction = B - std::trunc(30.6001 * E) + F;

  CalendarDate out;
  out.month = static_cast<int>(E > 13 ? E - 13 : E - 1);
  out.year = static_cast<int>(out.month < 3 ? C - 4715 : C - 4716);
  out.day = static_cast<int>(dayWithFraction);
  const double hours = (dayWithFraction - out.day) * 24;
  out.hour = static_cast<int>(hours);
  out.minute = static_cast<int>((hours - out.hour) * 60);
  return out;
}

bool JulianDateInCalendar(double jd) { return jd >= 0 && jd < kCalendarEndJulian; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = year > 1582 ? (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 : year % 4 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

bool IsCalendarDate(int year, int month, int day) {
  if (day < 1 || day > DaysInMonth(year, month)) return false;
  return !(year == 1582 && month == 10 && day >= 5 && day <= 14);
}

double Centuries1950(double jd) { return (jd - 2433282.5) / 36525; }
