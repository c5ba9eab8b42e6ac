// The fast chart and matrix code held to a straightforward version of the
// same algorithms, written here with one library call per function and
// the plain reductions, over a few hundred random moments: speed work may
// change the last bits but never a number beyond 1e-9 degrees (positions)
// or 1e-12 (wave values).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/chart.h"
#include "core/core_path.h"
#include "core/core_print.h"
#include "core/houses.h"
#include "core/lunar_arguments.h"
#include "core/lunar_terms.h"
#include "core/matrices.h"
#include "core/planet_elements.h"
#include "core/wave_coefficients.h"

namespace {

constexpr double kRad = 0.017453292519943295;
constexpr double kPi = 3.14159265358979323846;

double Gap(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180 ? 360 - d : d;
}

double Mod360(double x) { return x - 360 * std::floor(x / 360); }

// --- the chart, straightforward ---

double ReferenceJulian(int year, int month, int day, int hour, int minute, int zone) {
  const bool gregorian = year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day >= 15)));
  const double t = day + (hour - zone) / 24.0 + minute / 1440.0;
  if (month <= 2) {
    month += 12;
    year -= 1;
  }
  double B = 0;
  if (gregorian) {
    const int A = year / 100;
    B = 2 - A + A / 4;
  }
  return std::trunc(365.25 * (year + 4716)) + std::trunc(30.6001 * (month + 1)) + t + B - 1524.5;
}

double ReferenceSidereal(double jd, double jd0, int lonDeg, int lonMin) {
  const double T = (jd0 - 2451545) / 36525;
  double theta =
      280.46061837 + 360.98564736629 * (jd - 2451545) + 0.000387933 * T * T - T * T * T / 38710000;
  if (theta > 0)
    while (theta > 0) theta -= 360;
  else
    while (theta < 0) theta += 360;
  double h = lonDeg + theta + lonMin / 60.0;
  if (h > 360) h -= 360;
  double s = h / 360 * 24;
  if (s >= 0)
    while (s > 24) s -= 24;
  else
    while (s < 0) s += 24;
  return s;
}

double ReferenceMidheaven(double s) {
  const double c = std::trunc(s > 24 ? s - 24 : s);
  double m;
  if (s == c) {
    const double theta = s * 15 * kRad;
    m = std::atan2(std::sin(theta), std::cos(theta) * 0.917436945) / kRad;
  } else {
    const double a = std::atan(std::tan(s * 2 * kPi / 24) / 0.917436945) / kRad;
    const int q = static_cast<int>(c / 6);
    m = q == 0 ? a : (q == 3 ? a + 360 : a + 180);
  }
  if (m < 0) m += 360;
  if (m >= 360) m -= 360;
  return m;
}

double ReferenceAscendant(double s, int latDeg, int latMin) {
  const double R = s * 15 * kRad;
  const double phi = (latDeg + latMin / 60.0) * kRad;
  double t = std::atan(-std::cos(R) / (std::sin(R) * 0.917436945 + std::tan(phi) * 0.397881203));
  t = t * 12 / kPi;
  if (t < 0) t += 24;
  double x = s + 6;
  if (x > 24) x -= 24;
  auto circular = [](double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 24.0);
    return d > 12 ? 24 - d : d;
  };
  if (circular(t + 12, x) < circular(t, x)) t += 12;
  if (t >= 24) t -= 24;
  return t * 15;
}

double Argument(const ArgumentPolynomial& p, double T) {
  double v = p.c0 + p.c1 * T + p.c2 * T * T;
  if (p.d3 != 0) v += T * T * T / p.d3;
  if (p.d4 != 0) v += T * T * T * T / p.d4;
  return Mod360(v);
}

void ReferenceMoon(double jd, double& longitude, double& latitude) {
  const double T = (jd - 2451545.0) / 36525;
  const LunarArgumentSet& set = kLunarArgumentsFirstEdition;
  const double Lp = Argument(set.Lp, T), D = Argument(set.D, T), M = Argument(set.M, T);
  const double Mp = Argument(set.Mp, T), F = Argument(set.F, T);
  const double A1 = Mod360(119.75 + 131.849 * T), A2 = Mod360(53.09 + 479264.29 * T);
  const double A3 = Mod360(313.45 + 481266.484 * T);
  const double E = 1 - 0.002516 * T - 0.0000074 * T * T;
  auto factor = [E](int m) { return m == 0 ? 1.0 : (std::abs(m) == 1 ? E : E * E); };
  double l = 0, b = 0;
  for (const LunarLongitudeTerm& t : kLunarLongitudeTerms)
    l += t.sigmaL * factor(t.M) * std::sin((t.D * D + t.M * M + t.Mp * Mp + t.F * F) * kRad);
  for (const LunarLatitudeTerm& t : kLunarLatitudeTerms)
    b += t.sigmaB * factor(t.M) * std::sin((t.D * D + t.M * M + t.Mp * Mp + t.F * F) * kRad);
  l += 3958 * std::sin(A1 * kRad) + 1962 * std::sin((Lp - F) * kRad) + 318 * std::sin(A2 * kRad);
  b += -2235 * std::sin(Lp * kRad) + 382 * std::sin(A3 * kRad) + 175 * std::sin((A1 - F) * kRad) +
       175 * std::sin((A1 + F) * kRad) + 127 * std::sin((Lp - Mp) * kRad) - 115 * std::sin((Lp + Mp) * kRad);
  longitude = Lp + l / 1e6;
  latitude = b / 1e6;
}

double Half(double X, double Y) {
  if (X == 0 && Y == 0) return 0.0;
  const double q = 2 * std::atan(Y / (std::fabs(X) + std::sqrt(X * X + Y * Y)));
  if (X >= 0 && Y < 0) return q + 2 * kPi;
  if (X < 0) return kPi - q;
  return q;
}

void ReferencePlanets(double T, ChartRecord& c) {
  double XE = 0, YE = 0, vE = 0, gE = 0, LE = 0;
  for (int k = 0; k < 9; ++k) {
    const OrbitalElements& el = kOrbitalElements[k];
    const double e = el.e0 + el.e1 * T;
    auto reduce = [](double d) { return (d - 360 * std::trunc(d / 360)) * kRad; };
    const double i = reduce(el.i0 + el.i1 * T), N = reduce(el.N0 + el.N1 * T);
    const double P = reduce(el.P0 + el.P1 * T), M = reduce(el.M0 + el.M1 * T);
    double E = M;
    for (int s = 0; s < 5; ++s) E = M + e * std::sin(E);
    const double a = el.a;
    const double x = a * (std::cos(E) - e), y = a * std::sqrt(1 - e * e) * std::sin(E);
    const double w = P - N;
    const double x1 = x * std::cos(w) - y * std::sin(w), y1 = y * std::cos(w) + x * std::sin(w);
    const double z = k == 0 ? 0 : y1 * std::sin(i), y2 = k == 0 ? y1 : y1 * std::cos(i);
    const double X = k == 0 ? x1 : x1 * std::cos(N) - y2 * std::sin(N);
    const double Y = k == 0 ? y2 : y2 * std::cos(N) + x1 * std::sin(N);
    const double r = std::sqrt(X * X + Y * Y + z * z);
    if (k == 0) {
      LE = Half(X, Y);
      c.pos[0] = Mod360((LE + kPi) / kRad);
      vE = 0.017203197 * std::sqrt(2 / r - 1);
      gE = std::acos(0.017203197 * e * std::sin(E) / (vE * r));
      c.motion[0] = vE / kRad / r;
      XE = X, YE = Y;
      continue;
    }
    const int b = k + 1;
    const double L = Half(X, Y);
    const double dx = X - XE, dy = Y - YE;
    const double rho = std::sqrt(dx * dx + dy * dy + z * z);
    const double G = Half(dx, dy);
    c.lat[b - 1] = std::atan(z / std::sqrt(dx * dx + dy * dy));
    const double v = 0.017203197 * std::sqrt(2 / r - 1 / a);
    const double g = std::acos((std::sqrt(a) * 0.017203197 * e * std::sin(E) / r) / v);
    c.motion[b] = (v * std::sin(g + L - G) - vE * std::sin(gE + LE - G)) / kRad / rho;
    c.pos[b] = Mod360(G / kRad);
  }
}

ChartRecord ReferenceChart(const ChartMoment& m) {
  ChartRecord c{};
  int hour = m.hour - m.summerTime, day = m.day;
  if (hour >= 24) hour -= 24, day += 1;
  if (hour < 0) hour += 24, day -= 1;
  c.jd = ReferenceJulian(m.year, m.month, day, hour, m.minute, m.timeZone);
  const double jd0 = ReferenceJulian(m.year, m.month, m.day, 0, 0, 0);
  c.lst = ReferenceSidereal(c.jd, jd0, m.longitudeDegrees, m.longitudeMinutes);
  double moonLatitude;
  ReferenceMoon(c.jd, c.pos[1], moonLatitude);
  c.lat[0] = moonLatitude * kRad;
  const double T = (c.jd - 2433282.5) / 36525;
  ReferencePlanets(T, c);
  c.pos[13] = Mod360(12.1128 - 1934.1399 * T + 0.0021 * T * T);
  c.pos[11] = ReferenceAscendant(c.lst, m.latitudeDegrees, m.latitudeMinutes);
  c.pos[12] = ReferenceMidheaven(c.lst);
  c.pos[10] = Mod360(c.pos[12] - 180);
  for (int i = 0; i <= 12; ++i) c.pos[i] = Mod360(c.pos[i]);
  return c;
}

// Random moments 1500..2500 at random places, seconds and summer time
// included; a fixed seed keeps failures reproducible.
std::vector<ChartMoment> RandomMoments(int count, unsigned seed) {
  std::mt19937 rng(seed);
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::vector<ChartMoment> out(count);
  for (ChartMoment& m : out) {
    m.year = uniform(1500, 2500);
    m.month = uniform(1, 12);
    m.day = uniform(1, 28);
    m.hour = uniform(0, 23);
    m.minute = uniform(0, 59);
    m.second = uniform(0, 59);
    m.timeZone = uniform(-12, 12);
    m.summerTime = uniform(0, 1);
    m.longitudeDegrees = uniform(-180, 179);
    m.longitudeMinutes = uniform(0, 59) * (m.longitudeDegrees < 0 ? -1 : 1);
    m.latitudeDegrees = uniform(-65, 65);
    m.latitudeMinutes = uniform(0, 59) * (m.latitudeDegrees < 0 ? -1 : 1);
  }
  return out;
}

void ExpectChartNear(const ChartRecord& fast, const ChartRecord& ref, int n) {
  EXPECT_EQ(fast.jd, ref.jd) << n;
  EXPECT_NEAR(fast.lst, ref.lst, 1e-10) << n;
  for (int b = 0; b < 14; ++b) {
    EXPECT_LT(Gap(fast.pos[b], ref.pos[b]), 1e-9) << "moment " << n << " body " << b;
    EXPECT_GE(fast.pos[b], 0) << "moment " << n << " body " << b;
    EXPECT_LE(fast.pos[b], 360) << "moment " << n << " body " << b;
  }
  for (int b = 0; b < 9; ++b) EXPECT_NEAR(fast.lat[b], ref.lat[b], 1e-11) << "moment " << n << " lat " << b;
  for (int b = 0; b < 13; ++b) EXPECT_NEAR(fast.motion[b], ref.motion[b], 1e-9) << "moment " << n << " motion " << b;
}

TEST(ChartRegression, RandomMomentsMatchTheStraightforwardChart) {
  const std::vector<ChartMoment> moments = RandomMoments(400, 20261208);
  std::vector<ChartRecord> batch(moments.size());
  ComputeChartBatch(moments.data(), moments.size(), batch.data());
  for (std::size_t n = 0; n < moments.size(); ++n) {
    ChartRecord fast{};
    ComputeChart(moments[n], fast);
    const ChartRecord ref = ReferenceChart(moments[n]);
    ExpectChartNear(fast, ref, static_cast<int>(n));
    EXPECT_EQ(std::memcmp(&fast, &batch[n], sizeof fast), 0) << "batch differs from single chart " << n;
  }
}

// Far from the epoch the fast paths step aside (large eccentricities,
// secular angles beyond their short series, reductions past the 32-bit
// range): each orbit decides for itself, so a chart is the same alone and
// beside any other moment, and still matches the straightforward one.
TEST(ChartRegression, FarMomentsAloneAndSideBySide) {
  std::vector<ChartMoment> moments = RandomMoments(48, 99);
  for (std::size_t n = 0; n < moments.size(); ++n) moments[n].year = n % 2 ? 6000 - 97 * int(n) : -3000 + 61 * int(n);
  std::vector<ChartRecord> batch(moments.size());
  ComputeChartBatch(moments.data(), moments.size(), batch.data());
  std::vector<ChartMoment> shifted(moments.begin() + 1, moments.end());
  std::vector<ChartRecord> shiftedBatch(shifted.size());
  ComputeChartBatch(shifted.data(), shifted.size(), shiftedBatch.data());
  for (std::size_t n = 0; n < moments.size(); ++n) {
    ChartRecord fast{};
    ComputeChart(moments[n], fast);
    EXPECT_EQ(std::memcmp(&fast, &batch[n], sizeof fast), 0) << "batch differs from single chart " << n;
    if (n > 0) {
      EXPECT_EQ(std::memcmp(&fast, &shiftedBatch[n - 1], sizeof fast), 0) << "neighbours changed chart " << n;
    }
    const ChartRecord ref = ReferenceChart(moments[n]);
    for (int b = 0; b < 14; ++b) EXPECT_LT(Gap(fast.pos[b], ref.pos[b]), 1e-9) << "moment " << n << " body " << b;
  }
}

// Both register widths of the batch against single charts, moment by
// moment: ordinary and far moments, odd places (the equator, the polar
// circles, the date line), counts that leave one to three moments over.
std::vector<ChartMoment> PathMoments() {
  std::vector<ChartMoment> out = RandomMoments(1001, 4242);
  std::vector<ChartMoment> far = RandomMoments(47, 7);
  for (std::size_t n = 0; n < far.size(); ++n) far[n].year = n % 2 ? 6000 - 131 * int(n) : -3000 + 173 * int(n);
  out.insert(out.end(), far.begin(), far.end());
  for (int lat : {0, 66, -66, 89, -89}) {
    for (int hour : {0, 6, 12, 18}) {
      ChartMoment m;
      m.year = 2000;
      m.hour = hour;
      m.latitudeDegrees = lat;
      m.longitudeDegrees = lat == 0 ? 180 : -180;
      out.push_back(m);
    }
  }
  return out;
}

void ExpectPathGivesSingleCharts(CorePath path, const std::vector<ChartMoment>& moments) {
  for (std::size_t count : {moments.size(), moments.size() - 1, std::size_t{1}, std::size_t{2}, std::size_t{3},
                            std::size_t{5}}) {
    std::vector<ChartRecord> batch(count);
    std::memset(batch.data(), 0x5a, count * sizeof(ChartRecord));  // stale contents are overwritten
    ComputeChartBatchOnPath(moments.data(), count, batch.data(), path);
    for (std::size_t n = 0; n < count; ++n) {
      ChartRecord single{};
      ComputeChart(moments[n], single);
      ASSERT_EQ(std::memcmp(&single, &batch[n], sizeof single), 0)
          << "path " << int(path) << " count " << count << " chart " << n << " year " << moments[n].year;
    }
  }
}

TEST(ChartPath, BothWidthsGiveTheSingleChartsBitForBit) {
  const std::vector<ChartMoment> moments = PathMoments();
  ExpectPathGivesSingleCharts(CorePath::Sse2, moments);
  if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 on this processor: four-moment path not run";
  EXPECT_EQ(DefaultCorePath(), CorePath::Avx2);
  ExpectPathGivesSingleCharts(CorePath::Avx2, moments);
}

// Far beyond the elements' range (Pluto's eccentricity passes 1 about
// 26000 years out) both widths print the same diagnostics in the order of
// the charts and return the same bits.
TEST(ChartPath, DiagnosticsTheSameOnBothWidths) {
  std::vector<ChartMoment> moments = RandomMoments(9, 31);
  for (std::size_t n = 0; n < moments.size(); ++n) moments[n].year = n % 3 ? 2000 : 30000 + 1000 * int(n);
  static std::string printed;
  auto run = [&](CorePath path, std::vector<ChartRecord>& charts) {
    printed.clear();
    SetCorePrinter([](const char* text) { printed += text; });
    const unsigned warnings = ComputeChartBatchOnPath(moments.data(), moments.size(), charts.data(), path);
    SetCorePrinter(nullptr);
    return warnings;
  };
  std::vector<ChartRecord> pairs(moments.size()), quads(moments.size());
  const unsigned pairWarnings = run(CorePath::Sse2, pairs);
  const std::string pairText = printed;
  EXPECT_TRUE(pairWarnings & kWarnEccentricity);
  EXPECT_NE(pairText.find("740 Test tafeln !!! exc "), std::string::npos) << pairText;
  const unsigned quadWarnings = run(CorePath::Avx2, quads);
  EXPECT_EQ(quadWarnings, pairWarnings);
  EXPECT_EQ(printed, pairText);
  for (std::size_t n = 0; n < moments.size(); ++n)
    EXPECT_EQ(std::memcmp(&pairs[n], &quads[n], sizeof(ChartRecord)), 0) << n;
}

// Longitudes of many turns leave the day by far: the sidereal time is
// still the loops' own result, bit for bit.
TEST(SiderealTimeRegression, FarLongitudesGiveTheLoopsResult) {
  for (double jd : {2451545.0, 2415020.75, 2488069.3})
    for (int lon : {400, -400, 1000, -1000, 123456, -123456, 20000000, -20000000, 1440, -1440})
      for (int minutes : {0, 59}) {
        const double jd0 = std::floor(jd - 0.5) + 0.5;
        const int lonMin = lon < 0 ? -minutes : minutes;
        EXPECT_EQ(SiderealTime(jd, jd0, lon, lonMin), ReferenceSidereal(jd, jd0, lon, lonMin)) << jd << " " << lon;
      }
}

// The chart's three angles at once agree with the three functions,
// whole hours and the ends of the day included; a sidereal time outside
// the day goes through the functions themselves.
TEST(HouseAnglesAt, SameAsTheThreeFunctions) {
  for (int step = 0; step <= 24 * 16; ++step) {
    const double lst = step / 16.0 + (step % 3 == 1 ? 1e-7 : 0);
    for (int lat : {-66, -45, -1, 0, 12, 50, 66}) {
      const HouseAngles a = HouseAnglesAt(lst, lat, lat < 0 ? -30 : 30);
      EXPECT_LT(Gap(a.ascendant, Ascendant(lst, lat, lat < 0 ? -30 : 30)), 1e-9) << lst << " " << lat;
      EXPECT_LT(Gap(a.midheaven, Midheaven(lst)), 1e-9) << lst;
      EXPECT_LT(Gap(a.imumCoeli, ImumCoeli(lst)), 1e-9) << lst;
      EXPECT_GE(a.midheaven, 0);
      EXPECT_LT(a.midheaven, 360);
      EXPECT_GE(a.imumCoeli, 0);
      EXPECT_LT(a.imumCoeli, 360);
    }
  }
  static std::string printed;
  printed.clear();
  SetCorePrinter([](const char* text) { printed += text; });
  const HouseAngles outside = HouseAnglesAt(50.25, 50, 0);
  const double mc = Midheaven(50.25);
  SetCorePrinter(nullptr);
  EXPECT_EQ(outside.midheaven, mc);
  EXPECT_EQ(outside.ascendant, Ascendant(50.25, 50, 0));
  EXPECT_NE(printed.find("error MC!"), std::string::npos) << printed;
}

// --- the matrices, straightforward ---

double ReferenceSelfValue(int body, double x) {
  const double A = (x - kSelfValueRows[body].shift - 15) * kRad;
  const double B = A - kSelfValueRows[body].step * 0.523598775;
  auto F = [](double t) {
    return std::cos(t) + 2 * std::cos(3 * t) + 3 * std::cos(5 * t) + 3 * std::cos(7 * t) +
           2 * std::cos(9 * t) + std::cos(11 * t);
  };
  return 0.0318305 * F(A) + 0.0121555 * F(B);
}

double Read(const double* row, double difference) {
  const double x = difference * 50;
  const int k = static_cast<int>(x);
  return row[k] + (row[k + 1] - row[k]) * (x - k);
}

void ReferenceMatrices(const WaveTables& t, int order, const double* periods, const ChartRecord& c,
                       HarmonicMatrices& out) {
  std::memset(&out, 0, sizeof out);
  for (int i = 0; i <= 10; ++i)
    for (int j = 0; j <= 10; ++j) {
      if (i == j) {
        out.H[i][i] = 10 * ReferenceSelfValue(i, c.pos[i]);
        out.I[i][i] = std::fabs(out.H[i][i]);
        const double P = periods[i];
        out.D[i][i] = i == 1 ? 100 * P : (i == 0 ? 10 * P * c.motion[0] : -10 * P * c.motion[i]);
        continue;
      }
      const double e = c.pos[i] - c.pos[j];
      const double h = 10 * Read(t.harmony[order], std::fabs(e));
      out.H[i][j] = h;
      out.I[i][j] = std::fabs(h);
      double v = -Read(t.dynamic[order], std::fabs(e)) * (e >= 0 ? 1 : -1);
      if (i < j) v = -v;
      out.D[i][j] = 10 * v;
    }
  out.H[10][10] = out.I[10][10] = 0;
}

void ExpectMatrixNear(const HarmonicMatrix& fast, const HarmonicMatrix& ref, const char* name, int n) {
  for (int i = 0; i <= 12; ++i)
    for (int j = 0; j <= 12; ++j)
      EXPECT_NEAR(fast[i][j], ref[i][j], 1e-11) << name << " chart " << n << " [" << i << "][" << j << "]";
}

TEST(MatrixRegression, RandomChartsMatchTheStraightforwardBuilders) {
  const WaveTables& tables = SharedWaveTables();
  const std::vector<ChartMoment> moments = RandomMoments(300, 7);
  std::vector<ChartRecord> charts(moments.size());
  auto batch = std::make_unique<HarmonicMatrices[]>(moments.size());
  ComputeChartBatch(tables, MatrixForm::OrderP, 4, moments.data(), moments.size(), charts.data(),
                    batch.get());
  auto ref = std::make_unique<HarmonicMatrices>();
  auto fast = std::make_unique<HarmonicMatrices>();
  auto fused = std::make_unique<HarmonicMatrices>();
  for (std::size_t n = 0; n < moments.size(); ++n) {
    ChartRecord c = charts[n];
    c.motion[10] = 0.5 + static_cast<double>(n) / 7;  // the IC's motion, not computed, is still used
    const int order = 1 + static_cast<int>(n % 12);
    const int idx = static_cast<int>(n);
    ReferenceMatrices(tables, order, kBodyPeriodsOrderP, c, *ref);
    BuildHarmony(tables, order, c.pos, fast->H);
    BuildEnergy(tables, order, c.pos, fast->I);
    BuildDynamic(tables, order, c.pos, fast->D, c.motion);
    ExpectMatrixNear(fast->H, ref->H, "H", idx);
    ExpectMatrixNear(fast->I, ref->I, "I", idx);
    ExpectMatrixNear(fast->D, ref->D, "D", idx);
    BuildMatrices(tables, MatrixForm::OrderP, order, c, *fused);
    EXPECT_EQ(std::memcmp(fused.get(), fast.get(), sizeof *fast), 0) << "one pass differs " << n;

    ReferenceMatrices(tables, 3, kBodyPeriodsFixed3, c, *ref);
    BuildHarmony(tables, c.pos, fast->H);
    BuildEnergy(tables, c.pos, fast->I);
    BuildDynamic(tables, c.pos, fast->D, c.motion);
    ExpectMatrixNear(fast->H, ref->H, "fixed H", idx);
    ExpectMatrixNear(fast->I, ref->I, "fixed I", idx);
    ExpectMatrixNear(fast->D, ref->D, "fixed D", idx);

    BuildMatrices(tables, MatrixForm::OrderP, 4, charts[n], *fused);
    EXPECT_EQ(std::memcmp(fused.get(), &batch[n], sizeof *fused), 0) << "batch matrices differ " << n;
  }
}

}  // namespace
