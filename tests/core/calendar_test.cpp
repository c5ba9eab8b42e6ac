// Julian dates, chart time and the calendar back from a Julian date.
#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "core/calendar.h"
#include "data/event_record.h"

namespace {

TEST(JulianDate, GregorianReformDropsTenDays) {
  EXPECT_DOUBLE_EQ(JulianDay0h(1582, 10, 15), 2299160.5);
  EXPECT_DOUBLE_EQ(JulianDay0h(1582, 10, 4), 2299159.5);
  EXPECT_DOUBLE_EQ(JulianDate(1582, 10, 15, 0, 0, 0, 0), 2299160.5);
}

TEST(JulianDate, EpochsAndZones) {
  EXPECT_DOUBLE_EQ(JulianDate(2000, 1, 1, 12, 0, 0, 0), 2451545.0);
  // Noon at zone +1 is 11h UT.
  EXPECT_DOUBLE_EQ(JulianDate(2000, 1, 1, 12, 0, 0, 1), 2451545.0 - 1.0 / 24);
  EXPECT_DOUBLE_EQ(JulianDate(2000, 1, 1, 12, 0, 30, 0), 2451545.0 + 30.0 / 86400);
  EXPECT_DOUBLE_EQ(JulianDay0h(1950, 1, 1), 2433282.5);
  EXPECT_DOUBLE_EQ(JulianDay0h(-4712, 1, 1), -0.5);  // Julian calendar, year 0 exists
  EXPECT_DOUBLE_EQ(JulianDay0h(1957, 10, 4), 2436115.5);
}

// January and February of century years: the century term comes from the
// year after the January/February shift, so these are the published
// values, one day later than a term taken from the year as entered.
TEST(JulianDate, CenturyYearsJanuaryAndFebruary) {
  EXPECT_DOUBLE_EQ(JulianDay0h(1900, 1, 1), 2415020.5);
  EXPECT_DOUBLE_EQ(JulianDay0h(1900, 2, 28), 2415078.5);
  EXPECT_DOUBLE_EQ(JulianDay0h(1900, 3, 1), 2415079.5);  // 1900 is no leap year
  EXPECT_DOUBLE_EQ(JulianDay0h(1800, 1, 1), 2378496.5);
  EXPECT_DOUBLE_EQ(JulianDay0h(1700, 2, 1), 2342003.5);
  EXPECT_DOUBLE_EQ(JulianDay0h(2100, 1, 1), 2488069.5);
  EXPECT_DOUBLE_EQ(JulianDay0h(2000, 2, 29), 2451603.5);  // 2000 is a leap year
  // Consecutive days never skip or repeat across the turn of a century.
  for (int year : {1700, 1800, 1900, 2000, 2100})
    EXPECT_DOUBLE_EQ(JulianDay0h(year, 1, 1) - JulianDay0h(year - 1, 12, 31), 1.0) << year;
}

TEST(ChartTime, SummerTimeCarriesTheDay) {
  EventRecord r = DefaultEventRecord();
  r.year = 2000, r.month = 7, r.day = 1, r.hour = 0, r.minute = 30, r.second = 45;
  r.summerTime = 1, r.timeZone = 0;
  const double jd = ChartTime(r);  // seconds are not used
  EXPECT_DOUBLE_EQ(jd, JulianDate(2000, 6, 30, 23, 30, 0, 0));
  const CalendarDate c = CalendarFromJulian(jd);
  EXPECT_EQ(c.year, 2000);
  EXPECT_EQ(c.month, 6);
  EXPECT_EQ(c.day, 30);
  EXPECT_EQ(c.hour, 23);
  EXPECT_EQ(c.minute, 30);
  // The day is not renormalised: day 0 of a month is the last of the one before.
  r.day = 1, r.month = 3, r.hour = 0, r.minute = 0, r.summerTime = 1;
  EXPECT_DOUBLE_EQ(ChartTime(r), JulianDate(2000, 2, 29, 23, 0, 0, 0));
  // A negative summer time moves forward past midnight.
  r.day = 31, r.month = 12, r.year = 1999, r.hour = 23, r.summerTime = -1;
  EXPECT_DOUBLE_EQ(ChartTime(r), JulianDate(2000, 1, 1, 0, 0, 0, 0));
  // EventJulianDate keeps the clock hour and the seconds.
  r = DefaultEventRecord();
  r.summerTime = 1, r.second = 30;
  EXPECT_DOUBLE_EQ(EventJulianDate(r), JulianDate(2000, 1, 1, 12, 0, 30, 1));
}

TEST(CalendarFromJulian, TruncatesWithoutRounding) {
  CalendarDate c = CalendarFromJulian(2451544.5);
  EXPECT_EQ(c.year, 2000);
  EXPECT_EQ(c.month, 1);
  EXPECT_EQ(c.day, 1);
  EXPECT_EQ(c.hour, 0);
  EXPECT_EQ(c.minute, 0);
  // 10:59:59.9 stays 10:59.
  c = CalendarFromJulian(JulianDay0h(2000, 1, 1) + (10 * 3600 + 59 * 60 + 59.9) / 86400);
  EXPECT_EQ(c.hour, 10);
  EXPECT_EQ(c.minute, 59);
  c = CalendarFromJulian(2299160.5);
  EXPECT_EQ(c.year, 1582);
  EXPECT_EQ(c.month, 10);
  EXPECT_EQ(c.day, 15);
  c = CalendarFromJulian(2299159.5);
  EXPECT_EQ(c.day, 4);
}

// Every minute of some days across the centuries comes back as itself:
// the whole minutes floating point holds a hair low print as the minute.
TEST(CalendarFromJulian, RoundTripOfWholeMinutes) {
  int failures = 0;
  for (int year : {-1000, 1, 1582, 1600, 1899, 1900, 1999, 2000, 2024, 2100, 3000}) {
    for (int month = 1; month <= 12; month += 1) {
      const int day = 1 + (year + 5000 + month * 7) % 28;
      for (int minuteOfDay = 0; minuteOfDay < 1440; minuteOfDay += 1) {
        if (year == 1582 && month == 10) continue;
        const int hour = minuteOfDay / 60, minute = minuteOfDay % 60;
        const CalendarDate c = CalendarFromJulian(JulianDate(year, month, day, hour, minute, 0, 0));
        if (c.year != year || c.month != month || c.day != day || c.hour != hour || c.minute != minute) {
          if (++failures < 5)
            ADD_FAILURE() << year << "-" << month << "-" << day << " " << hour << ":" << minute << " came back as "
                          << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute;
        }
      }
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(Centuries1950, CountsFrom1950) {
  EXPECT_DOUBLE_EQ(Centuries1950(2433282.5), 0.0);
  EXPECT_DOUBLE_EQ(Centuries1950(2433282.5 + 36525), 1.0);
}

}  // namespace

namespace {

// A date exists exactly when the Julian date of its 0h reads back as the
// same date: the month lengths, the leap years of both calendars and the
// ten days of the reform are checked against the conversions.
TEST(IsCalendarDate, AgreesWithTheJulianDateRoundTrip) {
  const std::pair<int, int> spans[] = {{-4712, -4690}, {-10, 30}, {1580, 1610}, {1695, 1705},
                                       {1895, 1905},   {1995, 2105}, {9990, 9999}};
  int dates = 0;
  for (auto [from, to] : spans)
    for (int y = from; y <= to; ++y)
      for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= 31; ++d) {
          if (JulianDay0h(y, m, d) < 0) continue;  // the conversion back starts at 0
          const CalendarDate back = CalendarFromJulian(JulianDay0h(y, m, d));
          const bool same = back.year == y && back.month == m && back.day == d;
          EXPECT_EQ(IsCalendarDate(y, m, d), same) << d << "." << m << "." << y;
          dates += same;
        }
  EXPECT_GT(dates, 80000);
  EXPECT_FALSE(IsCalendarDate(1900, 2, 29));
  EXPECT_TRUE(IsCalendarDate(1500, 2, 29)) << "a Julian leap year";
  EXPECT_TRUE(IsCalendarDate(1582, 10, 4));
  EXPECT_FALSE(IsCalendarDate(1582, 10, 5));
  EXPECT_FALSE(IsCalendarDate(1582, 10, 14));
  EXPECT_TRUE(IsCalendarDate(1582, 10, 15));
  EXPECT_FALSE(IsCalendarDate(2000, 13, 1));
  EXPECT_FALSE(IsCalendarDate(2000, 0, 1));
  EXPECT_EQ(DaysInMonth(2000, 0), 0);
}

TEST(JulianDateInCalendar, RefusesWhatNoDateCanHold) {
  EXPECT_TRUE(JulianDateInCalendar(0));
  EXPECT_TRUE(JulianDateInCalendar(2451545.0));
  EXPECT_DOUBLE_EQ(JulianDay0h(10000, 1, 1), kCalendarEndJulian);
  EXPECT_TRUE(JulianDateInCalendar(JulianDate(9999, 12, 31, 23, 59, 0, 0)));
  for (double jd : {-1e-9, kCalendarEndJulian, 1e20, -1e20, std::numeric_limits<double>::infinity(),
                    -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
    EXPECT_FALSE(JulianDateInCalendar(jd)) << jd;
  // No conversion of such a value to the date's integers.
  for (double jd : {1e20, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    const CalendarDate d = CalendarFromJulian(jd);
    EXPECT_EQ(d.year, 0);
    EXPECT_EQ(d.month, 0);
    EXPECT_EQ(d.day, 0);
  }
}

}  // namespace
