// The tests of a run gathered while its control groups are drawn: the
// moments and counts of every table value, the ranks of the family in
// one pass or several, and the whole run against the specified counts.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "probability/cell_tests.h"
#include "probability/control_statistics.h"
#include "probability/tested_control_groups.h"

namespace {

std::size_t IndexOf(const std::vector<TableCell>& cells, MatrixKind kind, CellPlace place, int row,
                    int column) {
  for (std::size_t k = 0; k < cells.size(); ++k)
    if (cells[k].kind == kind && cells[k].place == place && cells[k].row == row &&
        cells[k].column == column)
      return k;
  return cells.size();
}

TEST(TableCells, OrderAndFamily) {
  const std::vector<TableCell> cells = TableCells(10);
  // Per kind 11 rows of 11 cells and a row sum, then the total.
  ASSERT_EQ(cells.size(), 4u * (11 * 12 + 1));
  EXPECT_EQ(IndexOf(cells, MatrixKind::H, CellPlace::RowSum, 0, 0), 11u);
  EXPECT_EQ(IndexOf(cells, MatrixKind::H, CellPlace::Total, 0, 0), 132u);
  EXPECT_EQ(IndexOf(cells, MatrixKind::I, CellPlace::Cell, 0, 0), 133u);

  // All eleven bodies weighted: 55 pairs and 11 row sums per kind.
  BodyWeights w{10, false, {}};
  for (int i = 0; i <= 10; ++i) w.body[i] = 1;
  auto familySize = [&] {
    int n = 0;
    for (const TableCell& c : TableCells(w.lastBody)) n += InFamily(w, c);
    return n;
  };
  EXPECT_EQ(familySize(), 4 * 66);
  // Self-correlation adds no diagonal to the family; Mars without weight
  // takes its 10 pairs and its row sum; a negative product is not marked.
  w.selfCorrelation = true;
  w.body[4] = 0;
  EXPECT_EQ(familySize(), 4 * (45 + 10));
  w.body[6] = -1;
  EXPECT_EQ(familySize(), 4 * (45 - 9 + 10));
  EXPECT_FALSE(InFamily(w, {MatrixKind::H, CellPlace::Total, 0, 0}));
  EXPECT_FALSE(InFamily(w, {MatrixKind::H, CellPlace::Cell, 3, 2}));  // the lower half
  EXPECT_TRUE(InFamily(w, {MatrixKind::H, CellPlace::Cell, 2, 3}));

  EXPECT_EQ(PlaceName({MatrixKind::D, CellPlace::Cell, 0, 10}), "sun - IC");
  EXPECT_EQ(ColumnName({MatrixKind::D, CellPlace::RowSum, 2, 0}), "SUM");
  EXPECT_EQ(RowName({MatrixKind::D, CellPlace::Total, 0, 0}), "TOTAL");
}

// Values far from 0 with a small spread (10^9 times smaller), over
// several blocks: the mean and the standard deviation of a two-pass sum
// in long double, to about the digits that means of 10^6 keep (a sum of
// squares would keep none).
TEST(ControlStatistics, MomentsOverBlocksKeepTheirDigits) {
  GroupValues real;
  real.cell[MatrixKind::D][1][2] = 1e6;
  ControlStatistics s(9, real);
  const int groups = 3 * kStatisticsBlock + 17;
  std::vector<double> xs;
  for (int g = 0; g < groups; ++g) {
    GroupValues v;
    v.cell[MatrixKind::D][1][2] = 1e6 + std::sin(g * 0.7) * 1e-3 + (g > groups / 2 ? 2e-4 : 0);
    xs.push_back(v.cell[MatrixKind::D][1][2]);
    s.Add(v);
  }
  s.Finish();
  long double sum = 0, squares = 0;
  for (double x : xs) sum += x;
  const long double mean = sum / groups;
  for (double x : xs) squares += (x - mean) * (x - mean);
  const double sd = static_cast<double>(std::sqrt(squares / (groups - 1)));
  const RunningMoments& m = s.Moments(IndexOf(s.Cells(), MatrixKind::D, CellPlace::Cell, 1, 2));
  EXPECT_EQ(m.n, groups);
  EXPECT_NEAR(m.mean, static_cast<double>(mean), 1e-12 * 1e6);
  EXPECT_NEAR(m.Sd(), sd, 1e-8 * sd);
  // A value no group varies: standard deviation 0.
  EXPECT_EQ(s.Moments(IndexOf(s.Cells(), MatrixKind::H, CellPlace::Total, 0, 0)).Sd(), 0.0);
}

TEST(ControlStatistics, CountsBothTailsWithTheFilesResolution) {
  GroupValues real;
  real.row[MatrixKind::I][3] = 0.5;
  ControlStatistics s(10, real);
  for (double x : {0.2, 0.5 + 0.4e-6, 0.5 - 0.4e-6, 0.5 + 2e-6, 0.9}) {
    GroupValues v;
    v.row[MatrixKind::I][3] = x;
    s.Add(v);
  }
  s.Finish();
  const std::size_t k = IndexOf(s.Cells(), MatrixKind::I, CellPlace::RowSum, 3, 0);
  EXPECT_EQ(s.CountGe(k), 4);
  EXPECT_EQ(s.CountLe(k), 3);
  EXPECT_EQ(s.Real(k), 0.5);
}

// Six control groups in two cells, the group at 0 and at 10. Cell a:
// values -3 -2 -1 1 2 3 with the group in the middle; tails among the
// seven values 1 2 3 3 2 1. Cell b: 1 2 3 4 5 6 with the group above all;
// tails 1 2 3 4 3 2. Smallest: 1 2 3 3 2 1.
TEST(FamilyRanks, SmallestTailsAgreeByHandAndOverPasses) {
  const std::vector<TableCell> family{{MatrixKind::H, CellPlace::Cell, 0, 1},
                                      {MatrixKind::DA, CellPlace::RowSum, 2, 0}};
  GroupValues real;
  real.cell[MatrixKind::H][0][1] = 0;
  real.row[MatrixKind::DA][2] = 10;
  std::vector<GroupValues> groups(6);
  for (int g = 0; g < 6; ++g) {
    groups[g].cell[MatrixKind::H][0][1] = g < 3 ? g - 3 : g - 2;
    groups[g].row[MatrixKind::DA][2] = g + 1;
  }
  auto smallest = [&](std::size_t budget) {
    FamilyRanks r(family, real, 6, budget);
    for (int pass = 0; pass < r.Passes(); ++pass) {
      for (int g = 0; g < 6; ++g) r.Keep(pass, g, groups[g]);
      r.RankPass(pass);
    }
    return std::pair{r.Passes(), r.SmallestTails()};
  };
  const auto [onePass, one] = smallest(kRankBudgetBytes);
  const auto [twoPasses, two] = smallest(1);
  EXPECT_EQ(onePass, 1);
  EXPECT_EQ(twoPasses, 2);
  const std::vector<int> expected{1, 2, 3, 3, 2, 1};
  EXPECT_EQ(one, expected);
  EXPECT_EQ(two, expected);
}

ControlGroupSettings Settings() {
  ControlGroupSettings s;
  s.weights.lastBody = 10;
  s.order = 3;
  s.eventsPerGroup = 3;
  s.jdStart = 2433282.5;  // 1950
  s.jdEnd = 2440587.5;    // 1970
  for (int i = 0; i <= 10; ++i) s.weights.body[i] = 1 + 0.25 * i;
  s.weights.body[7] = 0;
  return s;
}

// A real group that is one control group of another stream, as the
// files give it (six decimals).
GroupValues SomeGroup(const ControlGroupSettings& s, uint64_t seed) {
  qzRandomState state;
  qzrandom_state_seed(state, seed);
  ControlGroupWorkspace workspace;
  const GroupValues none;
  GroupValues g;
  ControlGroupCounts unused;
  DrawControlGroup(SharedWaveTables(), s, none, state, workspace, g, unused);
  auto six = [](double& v) { v = std::round(v * 1e6) / 1e6; };
  for (MatrixKind k : kMatrixKinds) {
    for (auto& row : g.cell[k])
      for (double& v : row) six(v);
    for (double& v : g.row[k]) six(v);
    six(g.total[k]);
  }
  return g;
}

// The run keeps the specified counts and percentages of the same stream,
// and the tests do not depend on how many passes the ranks took.
TEST(DrawTestedControlGroups, KeepsTheCountsAndGivesTheSameTestsInEveryNumberOfPasses) {
  const ControlGroupSettings s = Settings();
  const GroupValues real = SomeGroup(s, 99);
  const int G = 60;
  qzRandomState seed;
  qzrandom_state_seed(seed, 12345);

  qzRandomState plain = seed;
  ControlGroupWorkspace workspace;
  const ControlGroupCounts counts = CountControlGroups(SharedWaveTables(), s, real, G, plain, workspace);

  qzRandomState a = seed, b = seed;
  std::vector<double> progress;
  const TestedControlGroups one =
      DrawTestedControlGroups(SharedWaveTables(), s, real, G, a, [&](double p) { progress.push_back(p); });
  const TestedControlGroups many = DrawTestedControlGroups(SharedWaveTables(), s, real, G, b, {},
                                                           60 * sizeof(double) * 50);
  // The state after the run is that after the first pass.
  EXPECT_EQ(a.state, plain.state);
  EXPECT_EQ(b.state, plain.state);
  ASSERT_EQ(progress.size(), static_cast<std::size_t>(G));
  EXPECT_DOUBLE_EQ(progress.back(), 100.0);

  const ProbabilityResult result = ProbabilityOf(s, counts);
  for (MatrixKind k : kMatrixKinds) {
    for (int i = 0; i <= 10; ++i) {
      for (int j = 0; j <= 10; ++j) EXPECT_EQ(one.counts.cell[k][i][j], counts.cell[k][i][j]);
      EXPECT_EQ(one.counts.row[k][i], counts.row[k][i]);
      EXPECT_EQ(one.result.row[k][i], result.row[k][i]);
    }
    EXPECT_EQ(one.counts.total[k], counts.total[k]);
  }

  const FamilyTests& t = one.tests;
  ASSERT_EQ(t.cells.size(), 4u * (11 * 12 + 1));
  EXPECT_EQ(t.familySize, 4 * (45 + 10));
  ASSERT_EQ(many.tests.cells.size(), t.cells.size());
  double smallestAdjusted = 1;
  for (std::size_t k = 0; k < t.cells.size(); ++k) {
    const CellTest& c = t.cells[k];
    const CellTest& d = many.tests.cells[k];
    EXPECT_EQ(c.p, d.p);
    EXPECT_TRUE(c.pAdjusted == d.pAdjusted || (std::isnan(c.pAdjusted) && std::isnan(d.pAdjusted)));
    EXPECT_GE(c.countGe + c.countLe, G);
    EXPECT_EQ(c.p, EmpiricalPValue(c.countGe, c.countLe, G));
    // The specified count is one of the two tails: control >= group for a
    // cell, control > group for a row sum or a total.
    const int specified = c.cell.place == CellPlace::Cell ? c.countGe : G - c.countLe;
    EXPECT_DOUBLE_EQ(c.percent, 100.0 * specified / G);
    EXPECT_LE(c.percentLow, c.percent);
    EXPECT_GE(c.percentHigh, c.percent);
    if (c.inFamily) {
      EXPECT_GE(c.pAdjusted, c.p - 1e-15) << k;
      EXPECT_GE(c.q, c.p - 1e-15) << k;
      smallestAdjusted = std::min(smallestAdjusted, c.pAdjusted);
    } else {
      EXPECT_TRUE(std::isnan(c.q));
    }
  }
  EXPECT_EQ(t.globalP, many.tests.globalP);
  EXPECT_EQ(t.globalP, smallestAdjusted);
  EXPECT_GE(t.globalP, t.globalFloor);
  EXPECT_GT(t.globalFloor, 1.0 / (G + 1));  // 220 cells: some control group is at an edge
  ASSERT_GE(t.strongest, 0);
  EXPECT_TRUE(t.cells[static_cast<std::size_t>(t.strongest)].inFamily);
}

// A period of one moment: every control group equals the group, in every
// value, and nothing is beyond chance.
TEST(DrawTestedControlGroups, AGroupEqualToEveryControlGroupHasPOne) {
  ControlGroupSettings s = Settings();
  s.jdEnd = s.jdStart;  // one moment: every group equal to the group
  const GroupValues real = SomeGroup(s, 5);
  qzRandomState state;
  qzrandom_state_seed(state, 77);
  const TestedControlGroups run = DrawTestedControlGroups(SharedWaveTables(), s, real, 30, state, {});
  for (const CellTest& c : run.tests.cells) {
    EXPECT_EQ(c.countGe, 30);
    EXPECT_EQ(c.countLe, 30);
    EXPECT_EQ(c.p, 1.0);
    if (c.inFamily) {
      EXPECT_EQ(c.pAdjusted, 1.0);
    }
  }
  EXPECT_EQ(run.tests.globalP, 1.0);
}

}  // namespace
