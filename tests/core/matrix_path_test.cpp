// The builders' four-lane pair loop against the two-lane one, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "core/matrix_path.h"

namespace {

TEST(MatrixPath, ChoiceFollowsTheProcessor) {
  EXPECT_EQ(PathFor(false), MatrixPath::Sse2);
  EXPECT_EQ(PathFor(true), MatrixPath::Avx2);
  EXPECT_EQ(DefaultMatrixPath(), PathFor(__builtin_cpu_supports("avx2")));
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
      auto run = [&](HarmonicMatrices& m, MatrixPath path) {
        BuildMatricesOnPath(tables, order, c.pos, c.motion, periods,
                            all || which == 0 ? &m.H : nullptr, all || which == 1 ? &m.I : nullptr,
                            all || which == 2 ? &m.D : nullptr, path);
      };
      run(*wide, MatrixPath::Avx2);
      run(*narrow, MatrixPath::Sse2);
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
                      &narrow->D, MatrixPath::Sse2);
  EXPECT_EQ(std::memcmp(pub.get(), narrow.get(), sizeof *pub), 0);
}

}  // namespace
