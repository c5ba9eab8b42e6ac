// The chart at a universal-time Julian date against the clock-time chart.
#include <gtest/gtest.h>

#include "core/calendar.h"
#include "core/chart.h"

namespace {

TEST(ChartAtJulianDate, MatchesTheClockTimeChartAtWholeMinutes) {
  ChartMoment m;
  m.longitudeDegrees = 8;
  m.longitudeMinutes = 33;
  m.latitudeDegrees = 47;
  m.latitudeMinutes = 22;
  // Universal clock times: the same chart to the last bit.
  for (int year : {1930, 1987, 2024, 2077}) {
    m.year = year;
    m.month = 1 + year % 12;
    m.day = 1 + year % 28;
    m.hour = year % 24;
    m.minute = year % 60;
    ChartRecord byClock{}, byJd{};
    ComputeChart(m, byClock);
    ChartAtJulianDate(byClock.jd, m, byJd);
    for (int b = 0; b <= 13; ++b) EXPECT_EQ(byJd.pos[b], byClock.pos[b]) << year << " body " << b;
    for (int b = 0; b < 9; ++b) EXPECT_EQ(byJd.lat[b], byClock.lat[b]) << year << " latitude " << b;
    EXPECT_EQ(byJd.lst, byClock.lst);
    EXPECT_EQ(byJd.jd, byClock.jd);
  }
  // A local clock time with zone and summer time: 00:30 on 2 January in
  // zone +1 with summer time is 22:30 UT on 1 January; the Julian date
  // carries the moment, the civil date only shifts the sidereal time's
  // century term (far below a millionth of a degree).
  m.year = 2024;
  m.month = 1;
  m.day = 2;
  m.hour = 0;
  m.minute = 30;
  m.timeZone = 1;
  m.summerTime = 1;
  ChartRecord byClock{}, byJd{};
  ComputeChart(m, byClock);
  EXPECT_DOUBLE_EQ(byClock.jd, JulianDate(2024, 1, 1, 22, 30, 0, 0));
  ChartAtJulianDate(JulianDate(2024, 1, 1, 22, 30, 0, 0), m, byJd);
  for (int b = 0; b <= 13; ++b) EXPECT_NEAR(byJd.pos[b], byClock.pos[b], 1e-7) << "body " << b;
  EXPECT_NEAR(byJd.lst, byClock.lst, 1e-8);
}

}  // namespace
