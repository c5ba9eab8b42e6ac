#include "probability/tested_control_groups.h"

#include <memory>
#include <vector>

#include "app/module_stop.h"

TestedControlGroups DrawTestedControlGroups(const WaveTables& tables,
                                            const ControlGroupSettings& settings,
                                            const GroupValues& real, int groups,
                                            qzRandomState& state,
                                            const std::function<void(double)>& progress,
                                            std::size_t rankBudgetBytes) {
  TestedControlGroups out;
  auto workspace = std::make_unique<ControlGroupWorkspace>();
  GroupValues mean;
  const int c = settings.weights.lastBody;
  ControlStatistics statistics(c, real);
  std::vector<TableCell> family;
  for (const TableCell& cell : statistics.Cells())
    if (InFamily(settings.weights, cell)) family.push_back(cell);
  FamilyRanks ranks(std::move(family), real, groups, rankBudgetBytes);

  const qzRandomState first = state;
  const int passes = ranks.Passes();
  const double steps = static_cast<double>(groups) * passes;
  for (int g = 0; g < groups; ++g) {
    DrawControlGroup(tables, settings, real, state, *workspace, mean, out.counts);
    statistics.Add(mean);
    ranks.Keep(0, g, mean);
    if (progress) progress((g + 1) * 100.0 / steps);
    out.drawn = g + 1;
    if (ModuleStopRequested() && (g + 1 < groups || passes > 1)) {
      out.stopped = true;
      return out;
    }
  }
  statistics.Finish();
  ranks.RankPass(0);

  for (int pass = 1; pass < passes; ++pass) {
    qzRandomState again = first;
    ControlGroupCounts uncounted;
    for (int g = 0; g < groups; ++g) {
      DrawControlGroup(tables, settings, real, again, *workspace, mean, uncounted);
      ranks.Keep(pass, g, mean);
      if (progress) progress((static_cast<double>(pass) * groups + g + 1) * 100.0 / steps);
      if (ModuleStopRequested() && (pass + 1 < passes || g + 1 < groups)) {
        out.stopped = true;
        return out;
      }
    }
    ranks.RankPass(pass);
  }

  out.result = ProbabilityOf(settings, out.counts);
  out.tests = TestFamily(settings.weights, out.counts, out.result, statistics, ranks);
  return out;
}
