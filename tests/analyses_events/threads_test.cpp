// The event analysis on the worker pool: a group of several thousand
// members gives, for every thread count, the sums of one loop over the
// members to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "analyses/event_analysis_compute.h"
#include "core/chart.h"
#include "thread_counts.h"

namespace {

std::vector<EventRecord> Members(int n) {
  std::vector<EventRecord> members(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    EventRecord& r = members[static_cast<std::size_t>(i)];
    r.year = 1900 + (i * 37) % 200;
    r.month = 1 + (i * 7) % 12;
    r.day = 1 + (i * 11) % 28;
    r.hour = (i * 5) % 24;
    r.minute = (i * 13) % 60;
    r.timeZone = 1;
    r.summerTime = i % 2;
    r.longitudeDegrees = (i * 3) % 30;
    r.latitudeDegrees = 40 + i % 20;
  }
  return members;
}

EventGroupSettings Settings() {
  EventGroupSettings s;
  s.weights = BodyWeights{10, true, {57.2, 10.24, 0.31, 0.77, 0.3, 1.87, 0.84, 0.28, 0.22, 0.01, 57.2, 0.2}};
  s.order = 5;
  s.dayShift = 2;
  s.hourShift = -7;
  return s;
}

// The group's cells summed member after member, then divided.
PerKind<HarmonicMatrix> OneLoop(const EventGroupSettings& s, const std::vector<EventRecord>& members) {
  PerKind<HarmonicMatrix> cells;
  for (auto& m : cells) std::memset(m, 0, sizeof m);
  const int c = s.weights.lastBody;
  for (const EventRecord& record : members) {
    ChartRecord chart{};
    ComputeChart(MomentOf(ShiftedMember(s, record)), chart);
    HarmonicMatrices m;
    BuildMatrices(SharedWaveTables(), MatrixForm::OrderP, s.order, chart, m);
    for (int l = 0; l <= c; ++l) {
      for (int g = 0; g <= c; ++g) {
        const double f = PairWeight(s.weights, l, g);
        cells[MatrixKind::H][l][g] += f * m.H[l][g];
        cells[MatrixKind::I][l][g] += f * m.I[l][g];
        cells[MatrixKind::D][l][g] += f * m.D[l][g];
        cells[MatrixKind::DA][l][g] += f * std::fabs(m.D[l][g]);
      }
    }
  }
  for (auto& m : cells)
    for (int l = 0; l <= c; ++l)
      for (int g = 0; g <= c; ++g) m[l][g] /= static_cast<double>(members.size());
  return cells;
}

TEST(EventGroupThreads, SeveralThousandMembersGiveTheSameGroupForEveryThreadCount) {
  const std::vector<EventRecord> members = Members(5003);
  const EventGroupSettings s = Settings();
  const PerKind<HarmonicMatrix> want = OneLoop(s, members);
  EventGroupResult first;
  for (int threads : kComparedThreadCounts) {
    SCOPED_TRACE(threads);
    WorkerThreadsScope scope(threads);
    EventGroupResult got;
    std::size_t done = 0;
    EXPECT_TRUE(ComputeEventGroup(SharedWaveTables(), s, members, got, [&](std::size_t d) { done = d; }));
    EXPECT_EQ(done, members.size());
    for (MatrixKind k : kMatrixKinds)
      EXPECT_EQ(std::memcmp(got.matrix[k], want[k], sizeof(HarmonicMatrix)), 0) << KindName(k);
    if (threads == 1) {
      first = got;
      continue;
    }
    for (MatrixKind k : kMatrixKinds) {
      EXPECT_EQ(std::memcmp(got.rowSum[k], first.rowSum[k], sizeof got.rowSum[k]), 0);
      EXPECT_EQ(std::memcmp(&got.total[k], &first.total[k], sizeof(double)), 0);
      EXPECT_EQ(std::memcmp(&got.memberTotal[k], &first.memberTotal[k], sizeof(double)), 0);
    }
    ASSERT_EQ(got.members.size(), members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
      const EventMember &a = got.members[i], &b = first.members[i];
      ASSERT_TRUE(a.julianDate == b.julianDate && a.chartJulianDate == b.chartJulianDate && a.SH == b.SH &&
                  a.SI == b.SI && a.SD == b.SD && a.SDA == b.SDA && a.record.day == b.record.day)
          << "member " << i;
    }
  }
}

}  // namespace
