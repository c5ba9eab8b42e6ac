// The event analysis as the menu runs it: ask, read the members, compute,
// report.
#include "analyses/event_analysis.h"

#include <vector>

#include "app/output.h"
#include "core/waves.h"

void RunEventAnalysis() {
  // The questions' echoes and the members' lines share text page 6.
  TextOutput(6);
  ClearOutput();
  EventAnalysisParams p;
  if (!AskEventAnalysis(p)) return;
  std::vector<EventRecord> members;
  std::vector<int> numbers;
  if (!ReadEventMembers(p, members, numbers)) return;

  EventGroupResult group;
  SetProgress(0);
  ComputeEventGroup(SharedWaveTables(), p.settings, members, group, [&](std::size_t done) {
    SetProgress(100.0 * static_cast<double>(done) / static_cast<double>(members.size()));
    KeepAlive();
  });
  SetProgress(100);
  ReportEventAnalysis(p, group);
  DrawEventComparison(p, group);
  PlayModuleSound();
}
