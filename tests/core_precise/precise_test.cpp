// The precise ephemeris against the Swiss Ephemeris' own calls, made
// here with the same flags: the direct path to 0.01 arc seconds, the
// table to 0.1, the houses to 1 arc second of swe_houses_armc; and the
// choice of ephemeris, the table's spans and fallbacks.
#include <gtest/gtest.h>
#include <swephexp.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "core/chart.h"
#include "core/core_print.h"
#include "core/ephemeris.h"
#include "core/precise.h"
#include "core/precise_table.h"

namespace {

constexpr double kArcSecond = 1 / 3600.0;
constexpr double kJd1800 = 2378496.5, kJd2400 = 2597641.5;

double Gap(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180 ? 360 - d : d;
}

// What the library gives for one moment and place, straight from its
// functions.
struct Expected {
  double lon[11], lat[11], speed[11];
  double ascendant, midheaven;
};

Expected FromLibrary(double jd, double longitude, double latitude) {
  Expected e{};
  char error[AS_MAXCH];
  double xx[6];
  for (int b = 0; b <= 10; ++b) {
    const int body = b == 10 ? SE_MEAN_NODE : b;
    EXPECT_GE(swe_calc_ut(jd, body, SEFLG_SWIEPH | SEFLG_SPEED, xx, error), 0) << error;
    e.lon[b] = xx[0], e.lat[b] = xx[1], e.speed[b] = xx[3];
  }
  EXPECT_GE(swe_calc_ut(jd, SE_ECL_NUT, 0, xx, error), 0) << error;
  const double armc = std::fmod(swe_sidtime(jd) * 15 + longitude + 360, 360.0);
  double cusps[13], ascmc[10];
  swe_houses_armc(armc, latitude, xx[0], 'P', cusps, ascmc);
  e.ascendant = ascmc[0], e.midheaven = ascmc[1];
  return e;
}

struct Moment {
  double jd;
  ChartMoment place;
};

// Random universal-time moments in first..last at random places between
// the polar circles.
std::vector<Moment> RandomMoments(int count, double first, double last, std::mt19937_64& rng) {
  std::uniform_real_distribution<double> day(first, last);
  std::uniform_int_distribution<int> lon(-179, 179), lat(-65, 65), minutes(0, 59);
  std::vector<Moment> out(count);
  for (Moment& m : out) {
    m.jd = day(rng);
    m.place.longitudeDegrees = lon(rng);
    m.place.latitudeDegrees = lat(rng);
    const int sign = m.place.latitudeDegrees < 0 ? -1 : 1;
    m.place.longitudeMinutes = (m.place.longitudeDegrees < 0 ? -1 : 1) * minutes(rng);
    m.place.latitudeMinutes = sign * minutes(rng);
  }
  return out;
}

// The largest gaps of a set of charts from the library's values, arc
// seconds (motion: degrees per day).
struct Gaps {
  double lon[11] = {}, lat[10] = {}, speed[10] = {}, houses = 0;
};

void Compare(const ChartRecord& chart, const Moment& m, Gaps& g) {
  const double lon = m.place.longitudeDegrees + m.place.longitudeMinutes / 60.0;
  const double lat = m.place.latitudeDegrees + m.place.latitudeMinutes / 60.0;
  const Expected e = FromLibrary(m.jd, lon, lat);
  for (int b = 0; b < 10; ++b) g.lon[b] = std::max(g.lon[b], Gap(chart.pos[b], e.lon[b]) / kArcSecond);
  g.lon[10] = std::max(g.lon[10], Gap(chart.pos[13], e.lon[10]) / kArcSecond);
  for (int b = 1; b < 10; ++b)
    g.lat[b] = std::max(g.lat[b], std::fabs(chart.lat[b - 1] * 57.29577951308232 - e.lat[b]) / kArcSecond);
  for (int b = 0; b < 10; ++b)
    if (b != 1) g.speed[b] = std::max(g.speed[b], std::fabs(chart.motion[b] - e.speed[b]));
  g.houses = std::max({g.houses, Gap(chart.pos[11], e.ascendant) / kArcSecond,
                       Gap(chart.pos[12], e.midheaven) / kArcSecond,
                       Gap(chart.pos[10], e.midheaven + 180) / kArcSecond});
  EXPECT_DOUBLE_EQ(chart.jd, m.jd);
  EXPECT_GE(chart.lst, 0);
  EXPECT_LT(chart.lst, 24);
}

void ExpectWithin(const Gaps& g, double position, double motion, const char* what) {
  for (int b = 0; b < 11; ++b) EXPECT_LE(g.lon[b], position) << what << ": longitude of body " << b;
  for (int b = 1; b < 10; ++b) EXPECT_LE(g.lat[b], position) << what << ": latitude of body " << b;
  for (int b = 0; b < 10; ++b) EXPECT_LE(g.speed[b], motion) << what << ": motion of body " << b;
  EXPECT_LE(g.houses, 1.0) << what << ": house angles";
}

TEST(PreciseEphemeris, DirectPathMatchesLibraryFrom1800To2400) {
  std::mt19937_64 rng(23);
  Gaps g;
  for (const Moment& m : RandomMoments(2000, kJd1800, kJd2400, rng)) {
    ChartRecord chart{};
    ASSERT_EQ(PreciseChartDirect(m.jd, m.place, chart), 0u);
    Compare(chart, m, g);
  }
  ExpectWithin(g, 0.01, 1e-9, "direct");
}

// Twenty tables of a year each, spread over 1800..2400 (a table of the
// whole span would take minutes), a hundred moments in each, the tables'
// first and last moments among them.
TEST(PreciseEphemeris, TableMatchesLibraryFrom1800To2400) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> start(kJd1800 + 2, kJd2400 - 368);
  Gaps g;
  for (int t = 0; t < 20; ++t) {
    const double first = start(rng), last = first + 365.25;
    const auto table = BuildPreciseTable(first, last, 2);
    std::vector<Moment> moments = RandomMoments(100, first, last, rng);
    moments[0].jd = first, moments[1].jd = last;
    for (const Moment& m : moments) {
      ChartRecord chart{};
      ASSERT_EQ(PreciseChartFromTable(*table, m.jd, m.place, chart), 0u);
      Compare(chart, m, g);
    }
  }
  swe_close();
  ExpectWithin(g, 0.1, 2e-4, "table");
}

// Passes behind the Sun, where the light's deflection turns within a
// day: Neptune in February 2003, Mercury in June 2000. The daily motion
// follows the turn to about 1.5 arc seconds a day there.
TEST(PreciseEphemeris, TableFollowsBodiesBehindTheSun) {
  const double around[] = {2452670.5, 2451714.5};
  for (double centre : around) {
    const auto table = BuildPreciseTable(centre - 2, centre + 2, 1);
    Gaps g;
    for (int k = 0; k <= 400; ++k) {
      const Moment m{centre - 2 + k * 0.01, ChartMoment{}};
      ChartRecord chart{};
      ASSERT_EQ(PreciseChartFromTable(*table, m.jd, m.place, chart), 0u);
      Compare(chart, m, g);
    }
    ExpectWithin(g, 0.1, 5e-4, "behind the Sun");
  }
}

TEST(PreciseEphemeris, TableValuesAreTheSameOnBothPaths) {
  const auto table = BuildPreciseTable(2451545, 2451545 + 200, 2);
  for (int k = 0; k < 500; ++k) {
    const double jd = 2451545 + k * 0.4001;
    core_detail::PreciseTableValues a, b;
    ASSERT_TRUE(core_detail::PreciseTableValuesAt(*table, jd, CorePath::Sse2, a));
    ASSERT_TRUE(core_detail::PreciseTableValuesAt(*table, jd, CorePath::Avx2, b));
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "JD " << jd;
  }
}

// Tables lie on one grid of dates: a moment gets the same chart from any
// table that covers it, whichever span it was built for.
TEST(PreciseEphemeris, TablesOfDifferentSpansGiveTheSameCharts) {
  const auto shorter = BuildPreciseTable(2451600.3, 2451700.9, 1);
  const auto longer = BuildPreciseTable(2451500.0, 2451900.0, 2);
  ChartMoment place{};
  place.latitudeDegrees = 48;
  for (int k = 0; k <= 300; ++k) {
    const double jd = 2451600.3 + k * (100.6 / 300);
    ChartRecord a{}, b{};
    PreciseChartFromTable(*shorter, jd, place, a);
    PreciseChartFromTable(*longer, jd, place, b);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "JD " << jd;
  }
}

TEST(PreciseEphemeris, MomentsOutsideTheTableAreComputedDirectly) {
  const auto table = BuildPreciseTable(2451545, 2451545 + 30, 1);
  const ChartMoment place{};
  for (double jd : {2451545 - 0.001, 2451545 + 30.001, 2400000.0}) {
    ChartRecord fromTable{}, direct{};
    PreciseChartFromTable(*table, jd, place, fromTable);
    PreciseChartDirect(jd, place, direct);
    EXPECT_EQ(std::memcmp(&fromTable, &direct, sizeof direct), 0) << "JD " << jd;
  }
}

// The charts of the entry points follow the current ephemeris; a span
// serves the precise one's batches from its table and leaves the
// classic charts alone.
TEST(PreciseEphemeris, EntryPointsFollowTheCurrentEphemerisAndSpans) {
  std::vector<ChartMoment> moments(9);
  for (int i = 0; i < 9; ++i) {
    moments[i].year = 2001, moments[i].month = 3, moments[i].day = 1 + 3 * i;
    moments[i].hour = i, moments[i].minute = 7 * i;
    moments[i].longitudeDegrees = 10 * i, moments[i].latitudeDegrees = 40 - 5 * i;
  }
  const double first = ChartTime(moments.front()) - 1, last = ChartTime(moments.back()) + 1;
  auto charts = [&] {
    std::vector<ChartRecord> out(moments.size());
    ComputeChartBatch(moments.data(), moments.size(), out.data());
    return out;
  };
  ASSERT_EQ(CurrentEphemeris(), Ephemeris::Classic);
  std::vector<ChartRecord> classic(moments.size());
  for (std::size_t i = 0; i < moments.size(); ++i) ClassicChart(moments[i], classic[i]);
  {
    PreciseSpan idle(first, last);  // nothing to do with the classic ephemeris
    const auto batch = charts();
    EXPECT_EQ(std::memcmp(batch.data(), classic.data(), sizeof(ChartRecord) * classic.size()), 0);
  }
  SetCurrentEphemeris(Ephemeris::Precise);
  const auto table = BuildPreciseTable(first, last, 1);
  std::vector<ChartRecord> direct = charts(), inSpan;
  {
    PreciseSpan span(first, last);
    inSpan = charts();
  }
  const std::vector<ChartRecord> after = charts();
  SetCurrentEphemeris(Ephemeris::Classic);
  for (std::size_t i = 0; i < moments.size(); ++i) {
    ChartRecord expectedDirect{}, expectedTable{};
    PreciseChartDirect(ChartTime(moments[i]), moments[i], expectedDirect);
    PreciseChartFromTable(*table, ChartTime(moments[i]), moments[i], expectedTable);
    EXPECT_EQ(std::memcmp(&direct[i], &expectedDirect, sizeof(ChartRecord)), 0) << i;
    EXPECT_EQ(std::memcmp(&after[i], &expectedDirect, sizeof(ChartRecord)), 0) << i;
    EXPECT_EQ(std::memcmp(&inSpan[i], &expectedTable, sizeof(ChartRecord)), 0) << i;
    EXPECT_GT(Gap(inSpan[i].pos[8], classic[i].pos[8]), 0.0) << "the precise chart is not the classic one";
  }
}

TEST(PreciseEphemeris, NamesOfTheEphemerides) {
  Ephemeris e = Ephemeris::Classic;
  EXPECT_TRUE(EphemerisFromName("precise", e));
  EXPECT_EQ(e, Ephemeris::Precise);
  EXPECT_STREQ(EphemerisName(e), "precise");
  EXPECT_TRUE(EphemerisFromName("classic", e));
  EXPECT_EQ(e, Ephemeris::Classic);
  EXPECT_STREQ(EphemerisName(e), "classic");
  for (const char* bad : {"", "Precise", "precise ", "moshier"}) {
    EXPECT_FALSE(EphemerisFromName(bad, e)) << bad;
    EXPECT_EQ(e, Ephemeris::Classic);
  }
}

std::string printed;

// Before 1800 the library turns to its analytic mode, which the chart
// says once; far beyond any range the chart is the classic one, with
// its warning bit.
TEST(PreciseEphemeris, BeyondTheDataFiles) {
  SetCorePrinter([](const char* text) { printed += text; });
  const ChartMoment place{};
  Gaps g;
  for (int k = 0; k < 20; ++k) {
    const Moment m{2300000.5 + k * 1000.3, place};
    ChartRecord chart{};
    EXPECT_EQ(PreciseChartDirect(m.jd, m.place, chart), 0u);
    Compare(chart, m, g);
  }
  ExpectWithin(g, 0.01, 1e-9, "analytic mode");
  EXPECT_NE(printed.find("analytic mode"), std::string::npos) << printed;
  EXPECT_EQ(printed.find("analytic mode"), printed.rfind("analytic mode")) << "said once: " << printed;

  ChartRecord chart{}, classic{};
  EXPECT_EQ(PreciseChartDirect(1e9, place, chart), kWarnPreciseUnavailable);
  ClassicChartAtJulianDate(1e9, place, classic);
  EXPECT_EQ(std::memcmp(&chart, &classic, sizeof chart), 0);
  SetCorePrinter(nullptr);
}

}  // namespace
