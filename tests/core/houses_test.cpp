// Sidereal time and the house angles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/calendar.h"
#include "core/core_print.h"
#include "core/houses.h"
#include "core/side_by_side.h"
#include "reference_chart.h"

namespace {

double CircularGap(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180 ? 360 - d : d;
}

TEST(SiderealTime, Greenwich2000) {
  EXPECT_NEAR(SiderealTime(2451545.0, 2451544.5, 0, 0), 18.697374558, 1e-6);
  // 90 degrees east adds six hours.
  EXPECT_NEAR(SiderealTime(2451545.0, 2451544.5, 90, 0), 18.697374558 + 6 - 24, 1e-6);
  EXPECT_NEAR(SiderealTime(2451545.0, 2451544.5, 7, 30), 18.697374558 + 0.5, 1e-6);
}

// The reduction of the sidereal angle gives what the loops "subtract 360
// while above 0" / "add 360 while below 0" give, bit for bit, also far
// from the year 2000.
TEST(SiderealTime, ReductionEqualsTheLoops) {
  for (int n = 0; n < 400; ++n) {
    const double jd0 = 2451544.5 + (n - 200) * 91.31;  // 1950 .. 2050
    const double jd = jd0 + (n % 24) / 24.0 + n * 1e-5;
    const int lon = (n * 37) % 361 - 180;
    EXPECT_EQ(SiderealTime(jd, jd0, lon, n % 60), reference::Sidereal(jd, jd0, lon, n % 60)) << n;
  }
  for (double jd0 : {2415020.5, 2488069.5, 2378496.5, 2305447.5, 2524594.5, 2451544.5 - 1e-9}) {
    EXPECT_EQ(SiderealTime(jd0 + 0.3, jd0, 10, 0), reference::Sidereal(jd0 + 0.3, jd0, 10, 0));
  }
}

TEST(Midheaven, QuadrantsAndWholeHours) {
  EXPECT_NEAR(Midheaven(0), 0, 1e-12);
  EXPECT_NEAR(Midheaven(6), 90, 1e-12);
  EXPECT_NEAR(Midheaven(12), 180, 1e-12);
  EXPECT_NEAR(Midheaven(18), 270, 1e-12);
  EXPECT_NEAR(Midheaven(24), 0, 1e-12);
  // A whole hour lies between its neighbours a hair on either side (the
  // tangent alone would put 7h..17h and 18h in the opposite half).
  for (int h = 0; h < 24; ++h) {
    const double m = Midheaven(h);
    EXPECT_LT(CircularGap(m, Midheaven(h + 1e-7)), 1e-4) << h;
    if (h > 0) {
      EXPECT_LT(CircularGap(m, Midheaven(h - 1e-7)), 1e-4) << h;
    }
    EXPECT_NEAR(CircularGap(ImumCoeli(h), m), 180, 1e-9) << h;
    EXPECT_GE(m, 0);
    EXPECT_LT(m, 360);
  }
}

TEST(ImumCoeli, IsMidheavenLessHalfATurn) {
  for (double s = 0.05; s < 24; s += 0.37) {
    const double ic = ImumCoeli(s);
    double expected = Midheaven(s) - 180;
    if (expected < 0) expected += 360;
    EXPECT_NEAR(ic, expected, 1e-12) << s;
    EXPECT_GE(ic, 0);
    EXPECT_LE(ic, 360);
  }
}

TEST(Ascendant, ReferenceValuesAtLatitude50) {
  EXPECT_NEAR(Ascendant(12, 50, 0), 244.6, 0.05);
  EXPECT_NEAR(Ascendant(3, 50, 0), 147.8, 0.05);
}

// At the equator with 3h sidereal time the rising point is near 132.5
// degrees, not the setting one near 312.5.
TEST(Ascendant, RisingRootAtTheEquator) { EXPECT_NEAR(Ascendant(3, 0, 0), 132.5, 0.1); }

// The AC lies in the half of the ecliptic east of the MC, on the
// horizon: for every sidereal time and latitude between the polar
// circles, AC - MC is strictly between 0 and 180 degrees, and the AC's
// altitude is zero.
TEST(Ascendant, RisesEastOfTheMidheaven) {
  const double eps = std::acos(0.917436945);  // the obliquity the angles use
  for (int lat = -65; lat <= 65; lat += 5) {
    for (double s = 0.013; s < 24; s += 0.25) {
      const double ac = Ascendant(s, lat, 0);
      ASSERT_GE(ac, 0);
      ASSERT_LE(ac, 360);
      double d = ac - Midheaven(s);
      if (d < 0) d += 360;
      EXPECT_GT(d, 0) << "lat " << lat << " s " << s;
      EXPECT_LT(d, 180) << "lat " << lat << " s " << s;
      // Equatorial coordinates of the ecliptic point, its hour angle and altitude.
      const double l = ac * M_PI / 180;
      const double ra = std::atan2(std::sin(l) * std::cos(eps), std::cos(l));
      const double dec = std::asin(std::sin(l) * std::sin(eps));
      const double H = s * M_PI / 12 - ra;
      const double phi = lat * M_PI / 180;
      const double altitude = std::asin(std::sin(phi) * std::sin(dec) + std::cos(phi) * std::cos(dec) * std::cos(H));
      EXPECT_NEAR(altitude, 0, 1e-6) << "lat " << lat << " s " << s;
      EXPECT_LT(std::sin(H), 1e-9) << "the AC must be east of the meridian, lat " << lat << " s " << s;
    }
  }
}

std::string g_printed;
void Capture(const char* text) { g_printed += text; }

// A sidereal time beyond 48h has no quadrant: the message is printed and
// the value of the tangent stands in.
TEST(Midheaven, QuadrantMessageOutsideTheDay) {
  g_printed.clear();
  SetCorePrinter(Capture);
  Midheaven(30.5);  // reduced by one day: quadrant 1, no message
  const double mc = Midheaven(48.5);
  const double ic = ImumCoeli(48.5);
  SetCorePrinter(nullptr);
  EXPECT_EQ(g_printed, "\n  error MC! i= 4 \n \n  error IC! i= 4 \n ");
  const double b = std::tan(48.5 * 2 * M_PI / 24) * 1.0899931656883515;
  EXPECT_DOUBLE_EQ(mc, b < 0 ? b + 360 : b);
  EXPECT_GE(ic, 0);
}

// The forms of two and four moments give each lane what the one-moment
// functions give, bit for bit: whole hours, the ends of the day, the
// equator and the polar circles, a sidereal time outside the day (its
// message printed once, from that lane alone) and moments far from the
// epoch.
template <int Lanes>
void ExpectHouseLanesAsOne() {
  static std::string printed;
  printed.clear();
  SetCorePrinter([](const char* text) { printed += text; });
  const int lats[] = {0, -66, 66, 50, -1, 12, 89, -89};
  int n = 0;
  for (int step = 0; step <= 24 * 8 + 3; step += 4) {
    double lst[Lanes];
    int latDeg[Lanes], latMin[Lanes];
    for (int l = 0; l < Lanes; ++l, ++n) {
      lst[l] = (step + l) / 8.0 + ((step + l) % 3 == 1 ? 1e-7 : 0);
      latDeg[l] = lats[n % 8];
      latMin[l] = latDeg[l] < 0 ? -(n % 60) : n % 60;
    }
    if (step == 100) lst[Lanes / 2] = 50.25;  // outside the day
    HouseAngles lanes[Lanes];
    core_detail::HouseAnglesSideBySide(lst, latDeg, latMin, lanes);
    for (int l = 0; l < Lanes; ++l) {
      const HouseAngles one = HouseAnglesAt(lst[l], latDeg[l], latMin[l]);
      EXPECT_EQ(std::memcmp(&one, &lanes[l], sizeof one), 0) << Lanes << " lanes, " << lst[l] << " " << latDeg[l];
    }
  }
  SetCorePrinter(nullptr);
  // Once from the call with lanes, once from the check above.
  const std::size_t first = printed.find("error MC!");
  ASSERT_NE(first, std::string::npos) << printed;
  EXPECT_NE(printed.find("error MC!", first + 1), std::string::npos) << printed;
  EXPECT_EQ(printed.find("error MC!", printed.find("error MC!", first + 1) + 1), std::string::npos) << printed;

  // Past the 32-bit quotient (1e12) and with longitudes that leave the
  // day by far, lanes go through SiderealTime alone.
  for (double jd : {2451545.0, 2415020.5, 2488069.75, 625000.25, 4500000.5, 1e7 + 0.125, 1e12 + 0.25}) {
    const int lonDegs[4] = {0, 179, -180, jd > 3e6 ? 20000 : 13}, lonMins[4] = {0, 59, -59, 30};
    for (int group = 0; group < 4; group += Lanes) {
      double day[Lanes], day0[Lanes], lst[Lanes];
      int lonDeg[Lanes], lonMin[Lanes];
      for (int l = 0; l < Lanes; ++l) {
        day[l] = jd + (group + l) * 0.3;
        day0[l] = std::floor(day[l] - 0.5) + 0.5;
        lonDeg[l] = lonDegs[group + l], lonMin[l] = lonMins[group + l];
      }
      core_detail::SiderealTimesSideBySide(day, day0, lonDeg, lonMin, lst);
      for (int l = 0; l < Lanes; ++l)
        EXPECT_EQ(lst[l], SiderealTime(day[l], day0[l], lonDeg[l], lonMin[l])) << Lanes << " lanes, " << jd;
    }
  }
}

TEST(HousesFour, SameAsOneMomentAtATime) {
  ExpectHouseLanesAsOne<2>();
  if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 on this processor: four-moment houses not run";
  ExpectHouseLanesAsOne<4>();
}

}  // namespace
