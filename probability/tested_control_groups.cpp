#include "probability/tested_control_groups.h"

#include <algorithm>
#include <vector>

TestedControlGroups DrawTestedControlGroups(const WaveTables& tables,
                                            const ControlGroupSettings& settings,
                                            const GroupValues& real, int groups,
                                            qzRandomState& state,
                                            const std::function<void(double)>& progress,
                                            std::size_t rankBudgetBytes) {
  TestedControlGroups out;
  const int c = settings.weights.lastBody;
  ControlStatistics statistics(c, real);
  std::vector<TableCell> family;
  for (const TableCell& cell : statistics.Cells())
    if (InFamily(settings.weights, cell)) family.push_back(cell);
  FamilyRanks ranks(std::move(family), real, groups, rankBudgetBytes);

  const qzRandomState first = state;
  const int passes = ranks.Passes();
  const double steps = static_cast<double>(groups) * passes;
  auto progressOf = [&](int pass) -> ControlGroupProgress {
    if (!progress) return {};
    return [&progress, &steps, groups, pass](int done) {
      progress((static_cast<double>(pass) * groups + done) * 100.0 / steps);
    };
  };
  const int taken = DrawControlGroupsInOrder(
      tables, settings, real, groups, first, out.counts,
      [&](int g, const GroupValues& mean) {
        statistics.Add(mean);
        ranks.Keep(0, g, mean);
      },
      progressOf(0));
  qzrandom_state_advance(state, static_cast<uint64_t>(taken) * std::max(settings.eventsPerGroup, 1));
  out.drawn = taken;
  out.stopped = taken < groups;
  if (out.stopped) return out;
  statistics.Finish();
  ranks.RankPass(0);

  for (int pass = 1; pass < passes; ++pass) {
    ControlGroupCounts uncounted;
    const int again = DrawControlGroupsInOrder(
        tables, settings, real, groups, first, uncounted,
        [&](int g, const GroupValues& mean) { ranks.Keep(pass, g, mean); }, progressOf(pass));
    if (again < groups) {
      out.stopped = true;
      return out;
    }
    ranks.RankPass(pass);
  }

  out.result = ProbabilityOf(settings, out.counts);
  out.tests = TestFamily(settings.weights, out.counts, out.result, statistics, ranks);
  return out;
}
