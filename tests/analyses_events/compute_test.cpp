// The group computation against sums formed here from each member's chart.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analyses/event_analysis_compute.h"
#include "analyses/event_analysis_graphic.h"
#include "core/calendar.h"
#include "core/chart.h"

namespace {

EventRecord Person(int year, int month, int day, int hour, int minute, int zone, int summer, int lonD, int lonM,
                   int latD, int latM) {
  EventRecord r{};
  r.year = year;
  r.month = month;
  r.day = day;
  r.hour = hour;
  r.minute = minute;
  r.timeZone = zone;
  r.summerTime = summer;
  r.longitudeDegrees = lonD;
  r.longitudeMinutes = lonM;
  r.latitudeDegrees = latD;
  r.latitudeMinutes = latM;
  return r;
}

// Group means from the builders one by one: [kind][l][g].
struct Expected {
  double cell[4][kBodies][kBodies] = {};
  std::vector<double> SH, SD;
};

Expected ByHand(const EventGroupSettings& s, const std::vector<EventRecord>& shifted) {
  const WaveTables& t = SharedWaveTables();
  Expected e;
  for (const EventRecord& r : shifted) {
    ChartRecord chart{};
    ComputeChart(r, chart);
    HarmonicMatrix H, I, D;
    BuildHarmony(t, s.order, chart.pos, H);
    BuildEnergy(t, s.order, chart.pos, I);
    BuildDynamic(t, s.order, chart.pos, D, chart.motion);
    double sh = 0, sd = 0;
    for (int l = 0; l <= s.weights.lastBody; ++l) {
      for (int g = 0; g <= s.weights.lastBody; ++g) {
        double f = s.weights.body[l] * s.weights.body[g] * (l == g ? s.weights.selfCorrelation : 1);
        e.cell[0][l][g] += f * H[l][g] / shifted.size();
        e.cell[1][l][g] += f * std::fabs(H[l][g]) / shifted.size();
        e.cell[2][l][g] += f * D[l][g] / shifted.size();
        e.cell[3][l][g] += f * std::fabs(D[l][g]) / shifted.size();
        sh += f * H[l][g];
        sd += f * D[l][g];
      }
    }
    e.SH.push_back(sh);
    e.SD.push_back(sd);
  }
  return e;
}

EventGroupSettings Gravity(int c, int self) {
  EventGroupSettings s;
  s.weights.lastBody = c;
  s.order = 5;
  s.weights.selfCorrelation = self;
  const double w[12] = {57.2, 10.24, 0.31, 0.77, 0.3, 1.87, 0.84, 0.28, 0.22, 0.01, c == 10 ? 57.2 : 0.0, 0.2};
  for (int i = 0; i < 12; ++i) s.weights.body[i] = w[i];
  return s;
}

void ExpectGroup(const EventGroupResult& got, const Expected& want, int c) {
  for (MatrixKind k : kMatrixKinds) {
    double total = 0;
    for (int l = 0; l <= c; ++l) {
      double row = 0;
      for (int g = 0; g <= c; ++g) {
        const double cell = want.cell[KindIndex(k)][l][g];
        EXPECT_NEAR(got.matrix[k][l][g], cell, 1e-9 * (1 + std::fabs(cell)))
            << "kind " << KindName(k) << " cell " << l << "," << g;
        row += cell;
      }
      EXPECT_NEAR(got.rowSum[k][l], row, 1e-8 * (1 + std::fabs(row)));
      total += row;
    }
    EXPECT_NEAR(got.total[k], total, 1e-8 * (1 + std::fabs(total)));
  }
}

TEST(EventGroup, MatchesTheMembersChartsWithIC) {
  const std::vector<EventRecord> members = {Person(1952, 3, 14, 6, 45, 1, 0, 14, 59, 51, 9),
                                            Person(1983, 5, 30, 8, 10, 1, 1, 7, 45, 48, 35),
                                            Person(1979, 10, 5, 4, 15, 1, 0, -4, -25, 36, 43)};
  EventGroupSettings s = Gravity(10, 1);
  EventGroupResult got;
  ComputeEventGroup(SharedWaveTables(), s, members, got);
  ASSERT_EQ(got.members.size(), 3u);
  ExpectGroup(got, ByHand(s, members), 10);
  const Expected e = ByHand(s, members);
  double sumH = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(got.members[i].SH, e.SH[i], 1e-8 * (1 + std::fabs(e.SH[i])));
    EXPECT_NEAR(got.members[i].SD, e.SD[i], 1e-8 * (1 + std::fabs(e.SD[i])));
    sumH += e.SH[i];
  }
  EXPECT_NEAR(got.memberTotal[MatrixKind::H], sumH, 1e-8 * (1 + std::fabs(sumH)));
  // The group total is the mean of the members' sums.
  EXPECT_NEAR(got.total[MatrixKind::H], sumH / 3, 1e-8 * (1 + std::fabs(sumH)));
  EXPECT_DOUBLE_EQ(got.members[1].julianDate, EventJulianDate(members[1]));
  EXPECT_DOUBLE_EQ(got.members[1].chartJulianDate, ChartTime(members[1]));
}

TEST(EventGroup, WithoutICAndSelfCorrelationTheDiagonalIsEmpty) {
  const std::vector<EventRecord> members = {Person(1990, 8, 19, 17, 55, 1, 1, 6, 47, 51, 14),
                                            Person(2001, 2, 28, 12, 0, 1, 0, 6, 57, 50, 56)};
  EventGroupSettings s = Gravity(9, 0);
  EventGroupResult got;
  ComputeEventGroup(SharedWaveTables(), s, members, got);
  ExpectGroup(got, ByHand(s, members), 9);
  for (MatrixKind k : kMatrixKinds) {
    for (int b = 0; b <= 9; ++b) EXPECT_EQ(got.matrix[k][b][b], 0.0);
    EXPECT_EQ(got.matrix[k][10][3], 0.0);  // the IC takes no part
  }
}

TEST(EventGroup, TheShiftMovesEveryMemberBeforeItsChart) {
  const std::vector<EventRecord> members = {Person(1968, 12, 31, 23, 30, 1, 0, 10, 13, 56, 9)};
  EventGroupSettings s = Gravity(10, 1);
  s.dayShift = 1;
  s.hourShift = -30;
  EventGroupResult got;
  ComputeEventGroup(SharedWaveTables(), s, members, got);
  // 31.12.1968 23:30, one day on, then 30 hours back: 31.12.1968 17:30.
  const EventRecord moved = Person(1968, 12, 31, 17, 30, 1, 0, 10, 13, 56, 9);
  EXPECT_EQ(got.members[0].record.day, 31);
  EXPECT_EQ(got.members[0].record.hour, 17);
  EXPECT_DOUBLE_EQ(got.members[0].julianDate, EventJulianDate(moved));
  ExpectGroup(got, ByHand(s, {moved}), 10);
}

TEST(EventGroup, AnEmptyGroupGivesZeros) {
  EventGroupResult got;
  ComputeEventGroup(SharedWaveTables(), Gravity(10, 1), {}, got);
  EXPECT_TRUE(got.members.empty());
  EXPECT_EQ(got.total[MatrixKind::H], 0.0);
  EXPECT_EQ(got.matrix[MatrixKind::DA][2][3], 0.0);
}

TEST(ComparisonBars, TheContinuumLineIsHalfTheRoom) {
  EXPECT_EQ(ComparisonBarLength(5.0, 5.0, 2.0, 200), 200);
  EXPECT_EQ(ComparisonBarLength(7.0, 5.0, 2.0, 200), 380);  // the largest difference: 90 % of the half
  EXPECT_EQ(ComparisonBarLength(3.0, 5.0, 2.0, 200), 20);
  EXPECT_EQ(ComparisonBarLength(4.0, 5.0, 2.0, 200), 110);
  EXPECT_EQ(ComparisonBarLength(9.0, 5.0, 0.0, 200), 200);  // no differences at all
  EXPECT_EQ(ComparisonBarLength(100.0, 5.0, 2.0, 200), 400);  // clamped to the room
  EXPECT_EQ(ComparisonBarLength(NAN, 5.0, 2.0, 200), 200);
}

TEST(ComparisonBars, TheScaleIsTheLargestMeanOrDifferenceOfTheShownRows) {
  const double group[3] = {166.3, 2.0, 900.0};
  const double continuum[3] = {168.1, -3.0, 1.0};
  const bool shown[3] = {true, true, false};  // a body of weight 0 does not count
  EXPECT_DOUBLE_EQ(ComparisonScale(group, continuum, shown, 3), 168.1);
  // A 1 % difference from a large mean stays next to the line.
  EXPECT_EQ(ComparisonBarLength(166.3, 168.1, 168.1, 200), 198);
  const double small[2] = {0.1, 0.2};
  const double moved[2] = {2.1, 0.1};
  const bool both[2] = {true, true};
  EXPECT_DOUBLE_EQ(ComparisonScale(moved, small, both, 2), 2.0);
}

}  // namespace
