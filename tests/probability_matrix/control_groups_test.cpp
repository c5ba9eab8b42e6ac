// The control groups' computation on its own: draws, means, counts,
// percentages and marks, checked against the chart and matrix functions
// called directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/calendar.h"
#include "core/chart.h"
#include "core/matrices.h"
#include "probability/control_groups.h"

namespace {

ControlGroupSettings Settings(int c, bool self, int n, double jd0, double jd1) {
  ControlGroupSettings s;
  s.weights.lastBody = c;
  s.order = 4;
  s.weights.selfCorrelation = self;
  s.eventsPerGroup = n;
  s.jdStart = jd0;
  s.jdEnd = jd1;
  for (int i = 0; i <= c; ++i) s.weights.body[i] = 1.0 + 0.5 * i;
  return s;
}

// The weighted mean matrices of the given moments, from the builders.
GroupValues MeanOfMoments(const ControlGroupSettings& s, const std::vector<double>& jds) {
  const WaveTables& t = SharedWaveTables();
  GroupValues g;
  for (double jd : jds) {
    CalendarDate d = CalendarFromJulian(jd);
    ChartMoment m = kControlPlace;
    m.year = d.year, m.month = d.month, m.day = d.day, m.hour = d.hour, m.minute = d.minute;
    ChartRecord chart{};
    ComputeChart(m, chart);
    HarmonicMatrix H, D;
    BuildHarmony(t, s.order, chart.pos, H);
    BuildDynamic(t, s.order, chart.pos, D, chart.motion);
    for (int i = 0; i <= s.weights.lastBody; ++i)
      for (int j = 0; j <= s.weights.lastBody; ++j) {
        double f = s.weights.body[i] * s.weights.body[j] * (i == j ? (s.weights.selfCorrelation ? 1 : 0) : 1);
        g.cell[MatrixKind::H][i][j] += f * H[i][j] / jds.size();
        g.cell[MatrixKind::I][i][j] += f * std::fabs(H[i][j]) / jds.size();
        g.cell[MatrixKind::D][i][j] += f * D[i][j] / jds.size();
        g.cell[MatrixKind::DA][i][j] += f * std::fabs(D[i][j]) / jds.size();
      }
  }
  for (MatrixKind k : kMatrixKinds)
    for (int i = 0; i <= s.weights.lastBody; ++i) {
      for (int j = 0; j <= s.weights.lastBody; ++j) g.row[k][i] += g.cell[k][i][j];
      g.total[k] += g.row[k][i];
    }
  return g;
}

// As the event analysis' files hold them: six decimals.
GroupValues AsWritten(GroupValues g) {
  auto r = [](double& v) { v = std::round(v * 1e6) / 1e6; };
  for (MatrixKind k : kMatrixKinds) {
    for (auto& row : g.cell[k])
      for (double& v : row) r(v);
    for (double& v : g.row[k]) r(v);
    r(g.total[k]);
  }
  return g;
}

TEST(ControlMoment, IsTheMinuteOfTheJulianDateAtTheFixedPlace) {
  const double jd = JulianDate(1987, 6, 15, 13, 42, 0, 0) + 30.0 / 86400;  // 13:42:30
  ChartMoment m = ControlMoment(jd);
  EXPECT_EQ(m.year, 1987);
  EXPECT_EQ(m.month, 6);
  EXPECT_EQ(m.day, 15);
  EXPECT_EQ(m.hour, 13);
  EXPECT_EQ(m.minute, 42);
  EXPECT_EQ(m.timeZone, 0);
  EXPECT_EQ(m.summerTime, 0);
  EXPECT_EQ(m.longitudeDegrees, 13);
  EXPECT_EQ(m.latitudeMinutes, 11);
}

// The drawn moments cover the whole period evenly: the unit reaches both
// ends of 0..1 (a 15-bit runtime generator would stop at 0.33), and the
// charts' universal times, taken to the minute, fall evenly into twenty
// bins of the period and never outside it.
TEST(ControlMoment, DrawsCoverThePeriodEvenly) {
  qzRandomState state;
  qzrandom_state_seed(state, 5);
  const double jd0 = JulianDate(1900, 1, 1, 0, 0, 0, 0), jd1 = JulianDate(2100, 1, 1, 0, 0, 0, 0);
  constexpr int kDraws = 200000, kBins = 20;
  int bins[kBins] = {};
  double lowest = 1, highest = 0;
  for (int d = 0; d < kDraws; ++d) {
    const double u = RandomUnit(state);
    lowest = std::min(lowest, u);
    highest = std::max(highest, u);
    const double jd = ChartTime(ControlMoment(jd0 + u * (jd1 - jd0)));
    ASSERT_GE(jd, jd0 - 1e-9);
    ASSERT_LE(jd, jd1 + 1e-9);
    ++bins[std::min(static_cast<int>((jd - jd0) / (jd1 - jd0) * kBins), kBins - 1)];
  }
  EXPECT_LT(lowest, 1e-4);
  EXPECT_GT(highest, 1 - 1e-4);
  for (int b = 0; b < kBins; ++b) EXPECT_NEAR(bins[b], kDraws / kBins, 0.05 * kDraws / kBins) << b;
}

// One group's means are the weighted means of the moments its generator
// draws; across a chunk boundary (70 > 64 moments) too.
TEST(ControlGroup, MeansAreTheWeightedMeansOfTheDrawnMoments) {
  for (bool self : {false, true}) {
    const ControlGroupSettings s = Settings(10, self, 70, 2433282.5, 2451545.0);
    qzRandomState state, replay;
    qzrandom_state_seed(state, 99);
    qzrandom_state_seed(replay, 99);
    std::vector<double> jds;
    for (int e = 0; e < s.eventsPerGroup; ++e)
      jds.push_back(s.jdStart + RandomUnit(replay) * (s.jdEnd - s.jdStart));
    const GroupValues want = MeanOfMoments(s, jds);

    auto ws = std::make_unique<ControlGroupWorkspace>();
    GroupValues real, got;
    ControlGroupCounts counts;
    DrawControlGroup(SharedWaveTables(), s, real, state, *ws, got, counts);
    for (MatrixKind k : kMatrixKinds) {
      for (int i = 0; i <= 10; ++i) {
        for (int j = 0; j <= 10; ++j)
          EXPECT_NEAR(got.cell[k][i][j], want.cell[k][i][j], 1e-9) << KindName(k) << " " << i << " " << j;
        EXPECT_NEAR(got.row[k][i], want.row[k][i], 1e-9);
      }
      EXPECT_NEAR(got.total[k], want.total[k], 1e-8);
    }
    if (!self) {
      EXPECT_EQ(got.cell[MatrixKind::H][3][3], 0.0);
    }
    EXPECT_EQ(counts.groups, 1);
    // The generator has moved on by exactly the group's draws.
    EXPECT_EQ(qzrandom_next32(state), qzrandom_next32(replay));
  }
}

// A period of one moment: every control group is the real group itself,
// which reaches every cell (100 %) but exceeds no row sum or total (0 %),
// even though the real values went through six-decimal files.
TEST(ControlGroup, ACellWhoseControlMeansAlwaysEqualTheRealValueIs100Percent) {
  const double jd = JulianDate(1975, 3, 21, 6, 30, 0, 0);
  const ControlGroupSettings s = Settings(10, true, 5, jd, jd);
  const GroupValues real = AsWritten(MeanOfMoments(s, {jd, jd, jd, jd, jd}));
  qzRandomState state;
  qzrandom_state_seed(state, 1);
  auto ws = std::make_unique<ControlGroupWorkspace>();
  const ControlGroupCounts counts = CountControlGroups(SharedWaveTables(), s, real, 20, state, *ws);
  const ProbabilityResult r = ProbabilityOf(s, counts);
  for (MatrixKind k : kMatrixKinds) {
    for (int i = 0; i <= 10; ++i) {
      for (int j = 0; j <= 10; ++j) EXPECT_EQ(r.cell[k][i][j], 100.0) << KindName(k) << " " << i << " " << j;
      EXPECT_EQ(r.row[k][i], 0.0);
    }
    EXPECT_EQ(r.total[k], 0.0);
  }
}

TEST(SignificanceMark, BordersBelongToTheStrongerMark) {
  EXPECT_EQ(SignificanceMark(5), 1);
  EXPECT_EQ(SignificanceMark(1), 2);
  EXPECT_EQ(SignificanceMark(95), 1);
  EXPECT_EQ(SignificanceMark(99), 2);
  EXPECT_EQ(SignificanceMark(0), 2);
  EXPECT_EQ(SignificanceMark(100), 2);
  EXPECT_EQ(SignificanceMark(1.01), 1);
  EXPECT_EQ(SignificanceMark(98.99), 1);
  EXPECT_EQ(SignificanceMark(5.01), 0);
  EXPECT_EQ(SignificanceMark(94.99), 0);
  EXPECT_EQ(SignificanceMark(50), 0);
}

// Counts of 5, 1, 95 and 99 in 100 groups are exactly those percentages
// and get marks 1, 2, 1, 2; the diagonal, cells and rows of a body with
// weight 0 get none; the row sum's mark sits in column c + 1.
TEST(ProbabilityOf, PercentagesAndMarks) {
  ControlGroupSettings s = Settings(9, true, 3, 0, 1);
  s.weights.body[4] = 0;     // Mars not used
  s.weights.body[6] = -1.5;  // Saturn against the others
  ControlGroupCounts counts;
  counts.groups = 100;
  const int values[4] = {5, 1, 95, 99};
  for (MatrixKind k : kMatrixKinds) {
    for (int i = 0; i <= 9; ++i) {
      for (int j = 0; j <= 9; ++j) counts.cell[k][i][j] = 1;  // 1 %: mark 2 where counted
      counts.row[k][i] = values[KindIndex(k)];
    }
    counts.cell[k][0][1] = counts.cell[k][1][0] = values[KindIndex(k)];
    counts.total[k] = 50;
  }
  const ProbabilityResult r = ProbabilityOf(s, counts);
  const int marks[4] = {1, 2, 1, 2};
  for (MatrixKind k : kMatrixKinds) {
    EXPECT_EQ(r.cell[k][0][1], values[KindIndex(k)]);
    EXPECT_EQ(r.marks[k][0][1], marks[KindIndex(k)]);
    EXPECT_EQ(r.marks[k][1][0], marks[KindIndex(k)]);
    EXPECT_EQ(r.marks[k][2][3], 2);
    EXPECT_EQ(r.marks[k][2][2], 0) << "diagonal";
    EXPECT_EQ(r.marks[k][4][2], 0) << "weight 0 row";
    EXPECT_EQ(r.marks[k][2][4], 0) << "weight 0 column";
    EXPECT_EQ(r.row[k][3], values[KindIndex(k)]);
    EXPECT_EQ(r.marks[k][3][10], marks[KindIndex(k)]) << "row sum in column c + 1";
    EXPECT_EQ(r.marks[k][4][10], 0) << "no row mark for a body of weight 0";
    EXPECT_EQ(r.cell[k][6][2], 1.0);
    EXPECT_EQ(r.marks[k][6][2], 0) << "a negative weight product is not marked";
    EXPECT_EQ(r.marks[k][2][6], 0);
    EXPECT_EQ(r.marks[k][6][10], SignificanceMark(values[KindIndex(k)])) << "its row sum is";
    EXPECT_EQ(r.total[k], 50.0);
  }
}

// A real group of one moment repeated: where that moment's value lies far
// outside the spread of the control means (measured on control groups of
// another stream), the control groups almost never reach it (near 0 %)
// or almost always do (near 100 %).
TEST(ControlGroups, OneMomentRepeatedIsExtremeWhereItsValueIsFarOut) {
  const ControlGroupSettings s = Settings(10, false, 12, 2433282.5, 2440000.5);
  auto ws = std::make_unique<ControlGroupWorkspace>();
  const double jd = JulianDate(1960, 5, 10, 0, 0, 0, 0);
  const GroupValues one = AsWritten(MeanOfMoments(s, std::vector<double>(12, jd)));

  // Spread of the control means, from a separate stream.
  qzRandomState probe;
  qzrandom_state_seed(probe, 777);
  const int kProbe = 100;
  static double mean[kMatrixKindCount][kBodies][kBodies], square[kMatrixKindCount][kBodies][kBodies];
  for (int g = 0; g < kProbe; ++g) {
    GroupValues m;
    ControlGroupCounts ignore;
    DrawControlGroup(SharedWaveTables(), s, one, probe, *ws, m, ignore);
    for (MatrixKind k : kMatrixKinds)
      for (int i = 0; i <= 10; ++i)
        for (int j = 0; j <= 10; ++j) {
          mean[KindIndex(k)][i][j] += m.cell[k][i][j] / kProbe;
          square[KindIndex(k)][i][j] += m.cell[k][i][j] * m.cell[k][i][j] / kProbe;
        }
  }

  qzRandomState st;
  qzrandom_state_seed(st, 42);
  const ProbabilityResult r =
      ProbabilityOf(s, CountControlGroups(SharedWaveTables(), s, one, 200, st, *ws));
  int far = 0;
  for (MatrixKind k : kMatrixKinds)
    for (int i = 0; i <= 10; ++i)
      for (int j = i + 1; j <= 10; ++j) {
        const double m = mean[KindIndex(k)][i][j];
        const double sd = std::sqrt(std::max(square[KindIndex(k)][i][j] - m * m, 0.0));
        const double z = (one.cell[k][i][j] - m) / sd;
        if (z > 4) {
          EXPECT_LE(r.cell[k][i][j], 1.0) << KindName(k) << " " << i << " " << j << " z " << z;
        }
        if (z < -4) {
          EXPECT_GE(r.cell[k][i][j], 99.0) << KindName(k) << " " << i << " " << j << " z " << z;
        }
        if (std::fabs(z) > 4) ++far;
      }
  EXPECT_GT(far, 20) << "one moment repeated lies far out in many cells";
}

}  // namespace
