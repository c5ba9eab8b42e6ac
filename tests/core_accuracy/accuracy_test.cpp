// The chart's longitudes against an independent ephemeris: the Swiss
// Ephemeris in its built-in analytic mode (Moshier, no data files),
// geometric positions in the mean equinox of date at UT, 1900..2100.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/chart.h"

#if KMWB_HAVE_SWE
#include <swephexp.h>

namespace {

double Gap(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180 ? 360 - d : d;
}

TEST(Accuracy, LongitudesAgainstSwissEphemeris1900To2100) {
  const int planets[10] = {SE_SUN, SE_MOON, SE_MERCURY, SE_VENUS, SE_MARS,
                           SE_JUPITER, SE_SATURN, SE_URANUS, SE_NEPTUNE, SE_PLUTO};
  const char* names[10] = {"Sun", "Moon", "Mercury", "Venus", "Mars",
                           "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto"};
  // Bounds in degrees: about 1.5 times what mean elements reach.
  const double bound[10] = {0.02, 0.03, 0.03, 0.05, 0.08, 0.4, 0.4, 0.3, 0.6, 0.8};
  const int32_t flags = SEFLG_MOSEPH | SEFLG_TRUEPOS | SEFLG_NOABERR | SEFLG_NOGDEFL | SEFLG_NONUT;
  double worst[10] = {0};
  double worstJd[10] = {0};
  constexpr int kMoments = 4000;
  for (int n = 0; n < kMoments; ++n) {
    // Evenly over 1900-01-01 .. 2100-12-31 with a fraction of a day that
    // wanders through the hours.
    ChartMoment m;
    const double jd = 2415020.5 + n * (73413.0 / kMoments);
    m.year = 1900 + static_cast<int>((jd - 2415020.5) / 365.25);
    m.month = 1;
    m.day = 1 + static_cast<int>(jd - 2415020.5 - (m.year - 1900) * 365.25);  // a day beyond the month is fine
    m.hour = n % 24;
    m.minute = (n * 7) % 60;
    ChartRecord chart{};
    ComputeChart(m, chart);
    for (int b = 0; b < 10; ++b) {
      double xx[6];
      char error[AS_MAXCH];
      ASSERT_GE(swe_calc_ut(chart.jd, planets[b], flags, xx, error), 0) << error;
      const double gap = Gap(chart.pos[b], xx[0]);
      if (gap > worst[b]) {
        worst[b] = gap;
        worstJd[b] = chart.jd;
      }
    }
  }
  swe_close();
  for (int b = 0; b < 10; ++b) {
    std::printf("%-8s largest error %.4f degrees (JD %.2f), bound %.2f\n", names[b], worst[b], worstJd[b], bound[b]);
    EXPECT_LT(worst[b], bound[b]) << names[b] << " at JD " << worstJd[b];
  }
}

}  // namespace

#else

TEST(Accuracy, LongitudesAgainstSwissEphemeris1900To2100) {
  GTEST_SKIP() << "the Swiss Ephemeris library (Debian libswe-dev: swephexp.h, -lswe) was not found "
                  "when this was built; scripts/install-deps.sh test installs it";
}

#endif
