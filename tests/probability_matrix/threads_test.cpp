// The control groups on the worker pool: for every thread count the same
// groups as one loop over them draws (the same moments, means and counts,
// the generator left in the same state), and the same tests of several
// passes over the groups.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "probability/control_groups.h"
#include "probability/tested_control_groups.h"
#include "thread_counts.h"

namespace {

ControlGroupSettings Settings(int n) {
  ControlGroupSettings s;
  s.weights = BodyWeights{10, true, {2, 1, 0.5, 1, 1, 3, 1, 1, 0.25, 1, 2, 0}};
  s.order = 6;
  s.eventsPerGroup = n;
  s.jdStart = 2415020.5;  // 1900-01-01
  s.jdEnd = 2451544.5;    // 2000-01-01
  return s;
}

// A real group that about half the control groups reach: one drawn group.
GroupValues OneDrawnGroup(const ControlGroupSettings& s) {
  qzRandomState state;
  qzrandom_state_seed(state, 5);
  auto ws = std::make_unique<ControlGroupWorkspace>();
  GroupValues mean;
  ControlGroupCounts unused;
  DrawControlGroup(SharedWaveTables(), s, GroupValues{}, state, *ws, mean, unused);
  return mean;
}

TEST(ControlGroupThreads, TheGroupsOfEveryThreadCountAreThoseOfOneLoop) {
  // Many small groups to a block, and groups larger than a block.
  for (const auto& [n, groups] : {std::pair{7, 333}, std::pair{2500, 4}}) {
    SCOPED_TRACE(n);
    const ControlGroupSettings s = Settings(n);
    const GroupValues real = OneDrawnGroup(s);
    qzRandomState loop;
    qzrandom_state_seed(loop, 99);
    const qzRandomState start = loop;
    auto ws = std::make_unique<ControlGroupWorkspace>();
    ControlGroupCounts want;
    std::vector<GroupValues> means(static_cast<std::size_t>(groups));
    for (GroupValues& mean : means) DrawControlGroup(SharedWaveTables(), s, real, loop, *ws, mean, want);
    ASSERT_GT(want.cell[MatrixKind::H][0][1], 0);
    ASSERT_LT(want.cell[MatrixKind::H][0][1], groups);

    for (int threads : kComparedThreadCounts) {
      SCOPED_TRACE(threads);
      WorkerThreadsScope scope(threads);
      qzRandomState state = start;
      const ControlGroupCounts counts = CountControlGroups(SharedWaveTables(), s, real, groups, state, *ws);
      EXPECT_EQ(std::memcmp(&counts, &want, sizeof want), 0);
      EXPECT_EQ(state.state, loop.state);

      ControlGroupCounts visited;
      std::vector<int> order;
      bool sameMeans = true;
      DrawControlGroupsInOrder(SharedWaveTables(), s, real, groups, start, visited,
                               [&](int g, const GroupValues& mean) {
                                 order.push_back(g);
                                 sameMeans = sameMeans && std::memcmp(&mean, &means[static_cast<std::size_t>(g)],
                                                                      sizeof mean) == 0;
                               });
      EXPECT_TRUE(sameMeans);
      ASSERT_EQ(order.size(), static_cast<std::size_t>(groups));
      for (int g = 0; g < groups; ++g) EXPECT_EQ(order[static_cast<std::size_t>(g)], g);
    }
  }
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(ControlGroupThreads, TheTestsOfSeveralPassesAreTheSameForEveryThreadCount) {
  const ControlGroupSettings s = Settings(3);
  const GroupValues real = OneDrawnGroup(s);
  const int groups = 150;
  // Room for the ranks of a few family cells at a time: several passes.
  const std::size_t budget = sizeof(double) * groups * 40;
  TestedControlGroups first;
  qzRandomState firstState;
  for (int threads : kComparedThreadCounts) {
    SCOPED_TRACE(threads);
    WorkerThreadsScope scope(threads);
    qzRandomState state;
    qzrandom_state_seed(state, 31);
    double last = 0;
    TestedControlGroups got = DrawTestedControlGroups(SharedWaveTables(), s, real, groups, state,
                                                      [&](double percent) { last = percent; }, budget);
    EXPECT_EQ(last, 100.0);
    if (threads == 1) {
      first = std::move(got);
      firstState = state;
      continue;
    }
    EXPECT_EQ(state.state, firstState.state);
    EXPECT_EQ(std::memcmp(&got.counts, &first.counts, sizeof got.counts), 0);
    EXPECT_EQ(std::memcmp(&got.result, &first.result, sizeof got.result), 0);
    EXPECT_TRUE(SameBits(got.tests.globalP, first.tests.globalP));
    EXPECT_EQ(got.tests.strongest, first.tests.strongest);
    ASSERT_EQ(got.tests.cells.size(), first.tests.cells.size());
    for (std::size_t i = 0; i < got.tests.cells.size(); ++i) {
      const CellTest &a = got.tests.cells[i], &b = first.tests.cells[i];
      ASSERT_TRUE(SameBits(a.controlMean, b.controlMean) && SameBits(a.controlSd, b.controlSd) &&
                  SameBits(a.p, b.p) && SameBits(a.q, b.q) && SameBits(a.pAdjusted, b.pAdjusted))
          << "cell " << i;
    }
  }
}

}  // namespace
