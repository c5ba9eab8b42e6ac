// The builders' four-lane pair loop against the two-lane one, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "core/core_path.h"
#include "core/self_value.h"

namespace {

TEST(MatrixPath, ChoiceFollowsTheProcessor) {
  EXPECT_EQ(PathFor(false), CorePath::Sse2);
  EXPECT_EQ(PathFor(true), CorePath::Avx2);
  EXPECT_EQ(DefaultCorePath(), PathFor(__builtin_cpu_supports("avx2")));
}

// Longitudes of many charts over 1800..2200, a few with positions outside
// 0..360 or not a number (the two-lane loop on both paths, whose test
// must see them), and both period sets and all orders.
TEST(MatrixPath, FourLanesMatchTwoLanesBitForBit) {
  if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 on this processor";
  const WaveTables& tables = SharedWaveTables();
  std::vector<ChartMoment> moments(3000);
  for (int n = 0; n < 3000; ++n) {
    ChartMoment& m = moments[n];
    m.year = 1800 + (n * 41) % 400;
    m.month = 1 + (n * 5) % 12;
    m.day = 1 + (n * 11) % 28;
    m.hour = (n * 7) % 24;
    m.minute = (n * 13) % 60;
    m.longitudeDegrees = (n * 23) % 360 - 180;
    m.latitudeDegrees = (n * 19) % 130 - 65;
  }
  std::vector<ChartRecord> charts(moments.size());
  ComputeChartBatch(moments.data(), moments.size(), charts.data());
  auto wide = std::make_unique<HarmonicMatrices>();
  auto narrow = std::make_unique<HarmonicMatrices>();
  int compared = 0;
  for (std::size_t n = 0; n < charts.size(); ++n) {
    ChartRecord c = charts[n];
    if (n % 97 == 0) c.pos[n % 11] += 360;  // a difference past a full turn
    if (n % 101 == 0) c.pos[(n + 3) % 11] = -0.0;
    if (n % 103 == 0) c.pos[(n + 5) % 11] = c.pos[(n + 6) % 11];  // a zero difference
    if (n % 107 == 0) c.pos[(n + 7) % 11] = std::numeric_limits<double>::quiet_NaN();
    if (n % 109 == 0) c.pos[10] = std::nextafter(360.0, 361.0);  // just past the turn
    if (n % 113 == 0) c.pos[n % 10] = -std::numeric_limits<double>::denorm_min();
    const int order = static_cast<int>(n % 14);  // 0 and 13 are clamped
    const double* periods = n % 2 ? kBodyPeriodsFixed3 : kBodyPeriodsOrderP;
    for (int which = 0; which < 4; ++which) {
      std::memset(wide.get(), 0x5a, sizeof *wide);
      std::memset(narrow.get(), 0x5a, sizeof *narrow);
      const bool all = which == 3;
      auto run = [&](HarmonicMatrices& m, CorePath path) {
        BuildMatricesOnPath(tables, order, c.pos, c.motion, periods,
                            all || which == 0 ? &m.H : nullptr, all || which == 1 ? &m.I : nullptr,
                            all || which == 2 ? &m.D : nullptr, path);
      };
      run(*wide, CorePath::Avx2);
      run(*narrow, CorePath::Sse2);
      ASSERT_EQ(std::memcmp(wide.get(), narrow.get(), sizeof *wide), 0)
          << "chart " << n << " matrices " << which;
      ++compared;
    }
  }
  EXPECT_EQ(compared, 12000);
}

// The public builders take this processor's path and give the two-lane
// values.
TEST(MatrixPath, PublicBuildersGiveTheTwoLaneValues) {
  const WaveTables& tables = SharedWaveTables();
  ChartMoment m;
  m.year = 1987;
  m.month = 6;
  m.day = 14;
  m.hour = 3;
  m.minute = 21;
  ChartRecord c{};
  ComputeChart(m, c);
  auto pub = std::make_unique<HarmonicMatrices>();
  auto narrow = std::make_unique<HarmonicMatrices>();
  std::memset(pub.get(), 0, sizeof *pub);
  std::memset(narrow.get(), 0, sizeof *narrow);
  BuildHarmony(tables, 6, c.pos, pub->H);
  BuildEnergy(tables, 6, c.pos, pub->I);
  BuildDynamic(tables, 6, c.pos, pub->D, c.motion);
  BuildMatricesOnPath(tables, 6, c.pos, c.motion, kBodyPeriodsOrderP, &narrow->H, &narrow->I,
                      &narrow->D, CorePath::Sse2);
  EXPECT_EQ(std::memcmp(pub.get(), narrow.get(), sizeof *pub), 0);
}

// Longitudes chosen for the four-lane path's corners: equal longitudes
// inside and across the diagonal blocks, both zeros, both ends of the
// turn, exact table steps; every cell against the two-lane path, and
// the cells beyond [12][12] left as they were.
TEST(MatrixPath, CornerLongitudesBitForBit) {
  if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 on this processor";
  const WaveTables& tables = SharedWaveTables();
  std::vector<std::vector<double>> sets = {
      std::vector<double>(11, 0.0),
      std::vector<double>(11, 360.0),
      std::vector<double>(11, 123.45),
      {0.0, -0.0, 0.0, -0.0, 360.0, 0.0, -0.0, 360.0, 0.0, -0.0, 360.0},
      {-0.0, 0.0, -0.0, 0.0, -0.0, -0.0, 0.0, 0.0, 360.0, 0.0, -0.0},
      {0.02, 0.04, 359.98, 180.0, 180.02, 0.0, 360.0, 90.0, 270.0, 0.02, 359.98},
      {10.5, 10.5, 10.5, 10.5, 200.25, 200.25, 200.25, 200.25, 33.0, 33.0, 33.0},
      {1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3},
      {359.999999, 0.000001, 180.5, 179.5, 0.5, 1.5, 2.5, 358.5, 357.5, 0.5, 359.5},
  };
  for (int n = 0; n < 200; ++n) {
    // Pairs of equal longitudes at every distance, both signs of zero.
    std::vector<double> v(11);
    for (int b = 0; b < 11; ++b) v[b] = std::fmod(37.25 * b + 0.02 * n, 360.0);
    v[n % 11] = v[(n / 11) % 11];
    if (n % 3 == 0) v[(n + 4) % 11] = n % 2 ? -0.0 : 0.0;
    sets.push_back(v);
  }
  const double motion[11] = {0.98, 13.2, -1.1, 1.2, 0.5, -0.08, 0.03, 0.01, -0.006, 0.004, 361.0};
  const double pattern = 1234.5;
  auto wide = std::make_unique<HarmonicMatrices>();
  auto narrow = std::make_unique<HarmonicMatrices>();
  for (std::size_t n = 0; n < sets.size(); ++n)
    for (int order : {1, 5, 12}) {
      for (HarmonicMatrices* m : {wide.get(), narrow.get()})
        for (HarmonicMatrix* x : {&m->H, &m->I, &m->D})
          for (auto& row : *x)
            for (double& cell : row) cell = pattern;
      BuildMatricesOnPath(tables, order, sets[n].data(), motion, kBodyPeriodsOrderP, &wide->H, &wide->I,
                          &wide->D, CorePath::Avx2);
      BuildMatricesOnPath(tables, order, sets[n].data(), motion, kBodyPeriodsOrderP, &narrow->H,
                          &narrow->I, &narrow->D, CorePath::Sse2);
      ASSERT_EQ(std::memcmp(wide.get(), narrow.get(), sizeof *wide), 0) << "set " << n << " order " << order;
      for (const HarmonicMatrix* x : {&wide->H, &wide->I, &wide->D}) {
        for (int i = 0; i < 14; ++i) {
          ASSERT_EQ((*x)[i][13], pattern) << "set " << n << " [" << i << "][13]";
          ASSERT_EQ((*x)[13][i], pattern) << "set " << n << " [13][" << i << "]";
        }
        for (int i = 0; i < 13; ++i)
          for (int j = 0; j < 13; ++j) ASSERT_FALSE(std::signbit((*x)[i][j]) && (*x)[i][j] == 0) << i << " " << j;
      }
    }
}

// The diagonal is 10 times the public self value, on both paths, for
// longitudes all over the turn; and that self value stays within 1e-13
// of the twelve cosines.
TEST(MatrixPath, DiagonalIsTenTimesTheSelfValue) {
  const WaveTables& tables = SharedWaveTables();
  auto m = std::make_unique<HarmonicMatrices>();
  for (int n = 0; n < 400; ++n) {
    double pos[11];
    for (int b = 0; b < 11; ++b) pos[b] = std::fmod(n * 0.9137 + b * 31.7, 360.0);
    if (n == 0) std::fill(pos, pos + 11, 0.0);
    if (n == 1) std::fill(pos, pos + 11, 360.0);
    for (CorePath path : {CorePath::Sse2, CorePath::Avx2}) {
      if (path == CorePath::Avx2 && !__builtin_cpu_supports("avx2")) continue;
      BuildMatricesOnPath(tables, 4, pos, nullptr, kBodyPeriodsOrderP, &m->H, nullptr, nullptr, path);
      for (int b = 0; b < 10; ++b) {
        ASSERT_EQ(m->H[b][b], 0.0 + 10 * SelfValue(b, pos[b])) << n << " body " << b;
        const double A = (pos[b] - kSelfValueRows[b].shift - 15) * 0.017453292519943295;
        const double B = A - kSelfValueRows[b].step * 0.523598775;
        auto F = [](double t) {
          return std::cos(t) + 2 * std::cos(3 * t) + 3 * std::cos(5 * t) + 3 * std::cos(7 * t) +
                 2 * std::cos(9 * t) + std::cos(11 * t);
        };
        ASSERT_NEAR(SelfValue(b, pos[b]), 0.0318305 * F(A) + 0.0121555 * F(B), 1e-13) << n << " " << b;
      }
      ASSERT_EQ(m->H[10][10], 0.0);
    }
  }
}

}  // namespace
