// The fast chart and matrix code held to a straightforward version of the
// same algorithms, written here with one library call per function and
// the plain reductions (the chart in reference_chart.cpp), over a few
// hundred random moments: speed work may
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
#include "core/matrices.h"
#include "core/wave_coefficients.h"
#include "reference_chart.h"

namespace {

using reference::kRad;

double Gap(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180 ? 360 - d : d;
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
    const ChartRecord ref = reference::Chart(moments[n]);
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
    const ChartRecord ref = reference::Chart(moments[n]);
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
        EXPECT_EQ(SiderealTime(jd, jd0, lon, lonMin), reference::Sidereal(jd, jd0, lon, lonMin)) << jd << " " << lon;
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
