// The event analysis as the menu runs it: ask, read the members, compute,
// report.
#include "analyses/event_analysis.h"

#include <vector>

#include "analyses/ephemeris_record.h"
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
  if (!ContinuumEphemerisAgrees()) return;

  EventGroupResult group;
  SetProgress(0);
  ComputeEventGroup(SharedWaveTables(), p.settings, members, group);
  SetProgress(100);
  ReportEventAnalysis(p, group);
  DrawEventComparison(p, group);
  PlayModuleSound();
}
