// The event analysis as the menu runs it: ask, read the members, compute,
// report.
#include "analyses/event_analysis.h"

#include <vector>

#include "analyses/ephemeris_record.h"
#include "analyses/workfile_set.h"
#include "app/output.h"
#include "core/waves.h"

void RunEventAnalysis() {
  // The questions' echoes and the members' lines share text page 6.
  TextOutput(6);
  ClearOutput();
  EventAnalysisParams p;
  // Every file of the run, written once the group's tables are made.
  WorkfileSet files;
  if (!AskEventAnalysis(p, files)) return;
  std::vector<EventRecord> members;
  std::vector<int> numbers;
  if (!ReadEventMembers(p, members, numbers)) return;
  if (!ContinuumEphemerisAgrees()) return;

  EventGroupResult group;
  SetProgress(0);
  ComputeEventGroup(SharedWaveTables(), p.settings, members, group);
  SetProgress(100);
  ReportEventAnalysis(p, group, files);
  if (!files.Commit()) return;
  DrawEventComparison(p, group);
  PlayModuleSound();
}
