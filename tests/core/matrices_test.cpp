// The H, I and D matrices of a chart.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "core/matrices.h"

namespace {

const WaveTables& Tables() { return SharedWaveTables(); }

ChartRecord SampleChart(int n) {
  ChartMoment m;
  m.year = 1920 + (n * 13) % 170;
  m.month = 1 + n % 12;
  m.day = 1 + (n * 7) % 28;
  m.hour = (n * 5) % 24;
  m.minute = (n * 11) % 60;
  m.longitudeDegrees = (n * 31) % 360 - 180;
  m.latitudeDegrees = (n * 17) % 120 - 60;
  ChartRecord c{};
  ComputeChart(m, c);
  c.motion[10] = 0.25 + n;  // the IC's motion is never computed; give it one to see it used
  return c;
}

struct Matrices {
  HarmonicMatrix H, I, D;
};

// Fills with a marker so that a cell the builder forgets shows.
void Poison(HarmonicMatrix& m) {
  for (auto& row : m)
    for (double& x : row) x = 1234.5;
}

TEST(BuildHarmony, CellsFromLookupsAndSelfValues) {
  const ChartRecord c = SampleChart(3);
  auto m = std::make_unique<Matrices>();
  Poison(m->H);
  BuildHarmony(Tables(), 7, c.pos, m->H);
  for (int i = 0; i <= 10; ++i)
    for (int j = 0; j <= 10; ++j) {
      if (i == j) continue;
      EXPECT_DOUBLE_EQ(m->H[i][j], 10 * HarmonyLookup(Tables(), 7, c.pos[i], c.pos[j]));
      EXPECT_EQ(m->H[i][j], m->H[j][i]);
    }
  for (int i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(m->H[i][i], 10 * SelfValue(i, c.pos[i]));
  EXPECT_EQ(m->H[10][10], 0.0);
  for (int i = 0; i <= 12; ++i) {
    EXPECT_EQ(m->H[11][i], 0.0);
    EXPECT_EQ(m->H[i][12], 0.0);
  }
  EXPECT_EQ(m->H[13][13], 1234.5) << "row 13 is outside the cleared cells";
}

TEST(BuildEnergy, IsTheAbsoluteOfHarmony) {
  for (int n = 0; n < 20; ++n) {
    const ChartRecord c = SampleChart(n);
    auto m = std::make_unique<Matrices>();
    Poison(m->I);
    BuildHarmony(Tables(), n % 12 + 1, c.pos, m->H);
    BuildEnergy(Tables(), n % 12 + 1, c.pos, m->I);
    for (int i = 0; i <= 12; ++i)
      for (int j = 0; j <= 12; ++j) EXPECT_EQ(m->I[i][j], std::fabs(m->H[i][j])) << i << " " << j;
  }
}

TEST(BuildDynamic, SymmetricWithPeriodsOnTheDiagonal) {
  const ChartRecord c = SampleChart(5);
  auto m = std::make_unique<Matrices>();
  Poison(m->D);
  BuildDynamic(Tables(), 4, c.pos, m->D, c.motion);
  for (int i = 0; i <= 10; ++i)
    for (int j = i + 1; j <= 10; ++j) {
      EXPECT_DOUBLE_EQ(m->D[i][j], -10 * DynamicLookup(Tables(), 4, c.pos[i], c.pos[j]));
      EXPECT_DOUBLE_EQ(m->D[j][i], m->D[i][j]);
    }
  const double periods[11] = {1.0, 0.08, 1.0, 1.0, 1.88, 11.7, 29.5, 84.0, 164.8, 247.7, 0.00274};
  EXPECT_DOUBLE_EQ(m->D[0][0], 10 * periods[0] * c.motion[0]);
  EXPECT_DOUBLE_EQ(m->D[1][1], 100 * 0.08);
  for (int i = 2; i <= 10; ++i) EXPECT_DOUBLE_EQ(m->D[i][i], -10 * periods[i] * c.motion[i]) << i;
  EXPECT_DOUBLE_EQ(m->D[10][10], -10 * 0.00274 * c.motion[10]);
  // The fixed-order form has its own IC period.
  BuildDynamic(Tables(), c.pos, m->D, c.motion);
  EXPECT_DOUBLE_EQ(m->D[10][10], -10 * 0.0027 * c.motion[10]);
  EXPECT_DOUBLE_EQ(m->D[0][1], -10 * DynamicLookup(Tables(), 3, c.pos[0], c.pos[1]));
}

TEST(BuildDynamic, IdenticalLongitudesGiveZero) {
  ChartRecord c = SampleChart(8);
  c.pos[4] = c.pos[2];
  auto m = std::make_unique<Matrices>();
  BuildDynamic(Tables(), 6, c.pos, m->D, c.motion);
  EXPECT_EQ(m->D[2][4], 0.0);
  EXPECT_EQ(m->D[4][2], 0.0);
  EXPECT_FALSE(std::signbit(m->D[2][4]));
  EXPECT_FALSE(std::signbit(m->D[4][2]));
}

TEST(FixedOrder, IsOrderThreeWithItsOwnPeriod) {
  const ChartRecord c = SampleChart(11);
  auto fixed = std::make_unique<Matrices>();
  auto ordered = std::make_unique<Matrices>();
  BuildHarmony(Tables(), c.pos, fixed->H);
  BuildHarmony(Tables(), 3, c.pos, ordered->H);
  BuildEnergy(Tables(), c.pos, fixed->I);
  BuildEnergy(Tables(), 3, c.pos, ordered->I);
  EXPECT_EQ(std::memcmp(fixed->H, ordered->H, sizeof(HarmonicMatrix)), 0);
  EXPECT_EQ(std::memcmp(fixed->I, ordered->I, sizeof(HarmonicMatrix)), 0);
}

// The one-pass builder and the batch give the three builders' values bit
// for bit, and do not depend on the order of the moments.
TEST(BuildMatrices, SameAsTheThreeBuildersAndTheBatch) {
  std::vector<ChartMoment> moments;
  for (int n = 0; n < 60; ++n) {
    ChartMoment m;
    m.year = 1900 + n * 3;
    m.month = 1 + n % 12;
    m.day = 1 + n % 28;
    m.hour = n % 24;
    m.latitudeDegrees = n % 60;
    moments.push_back(m);
  }
  for (MatrixForm form : {MatrixForm::OrderP, MatrixForm::Fixed3}) {
    std::vector<ChartRecord> charts(moments.size());
    std::vector<HarmonicMatrices> all(moments.size());
    ComputeChartBatch(Tables(), form, 9, moments.data(), moments.size(), charts.data(), all.data());
    std::vector<HarmonicMatrices> backwards(moments.size());
    std::vector<ChartMoment> reversed(moments.rbegin(), moments.rend());
    ComputeChartBatch(Tables(), form, 9, reversed.data(), reversed.size(), nullptr, backwards.data());
    for (std::size_t n = 0; n < moments.size(); ++n) {
      auto three = std::make_unique<Matrices>();
      if (form == MatrixForm::OrderP) {
        BuildHarmony(Tables(), 9, charts[n].pos, three->H);
        BuildEnergy(Tables(), 9, charts[n].pos, three->I);
        BuildDynamic(Tables(), 9, charts[n].pos, three->D, charts[n].motion);
      } else {
        BuildHarmony(Tables(), charts[n].pos, three->H);
        BuildEnergy(Tables(), charts[n].pos, three->I);
        BuildDynamic(Tables(), charts[n].pos, three->D, charts[n].motion);
      }
      for (int i = 0; i <= 12; ++i)
        for (int j = 0; j <= 12; ++j) {
          ASSERT_EQ(all[n].H[i][j], three->H[i][j]) << n << " " << i << " " << j;
          ASSERT_EQ(all[n].I[i][j], three->I[i][j]) << n << " " << i << " " << j;
          ASSERT_EQ(all[n].D[i][j], three->D[i][j]) << n << " " << i << " " << j;
        }
      const std::size_t r = moments.size() - 1 - n;
      EXPECT_EQ(std::memcmp(&all[n], &backwards[r], sizeof(HarmonicMatrices)), 0) << n;
    }
  }
}

}  // namespace
