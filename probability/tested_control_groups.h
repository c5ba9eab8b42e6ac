#pragma once
// The control groups of a run with everything the report needs from them:
// the specified counts and percentages, and the tests of every table value
// and of the family (family_tests.h).
//
// The first pass draws the groups, counts them and gathers their
// statistics; when the family's values do not all fit into the rank
// budget (control_statistics.h), further passes draw the same groups again
// from the same generator state and rank the remaining family cells.
#include <cstddef>
#include <functional>

#include "probability/control_groups.h"
#include "probability/control_statistics.h"
#include "probability/family_tests.h"

struct TestedControlGroups {
  ControlGroupCounts counts;
  ProbabilityResult result;
  FamilyTests tests;
  // Fewer groups were drawn when the module was asked to stop
  // (app/module_stop.h, read after every group); the rest is then empty.
  int drawn = 0;
  bool stopped = false;
};

// Draws `groups` control groups with `state` (the state after the first
// pass is returned in it). `progress` is called after every group with the
// percentage of all passes done; the drawing then ends early when a stop
// was requested.
TestedControlGroups DrawTestedControlGroups(const WaveTables& tables,
                                            const ControlGroupSettings& settings,
                                            const GroupValues& real, int groups,
                                            qzRandomState& state,
                                            const std::function<void(double)>& progress,
                                            std::size_t rankBudgetBytes = kRankBudgetBytes);
