// The event analysis as the menu runs it: ask, read the members, compute,
// report.
#include "analyses/event_analysis.h"

#include <vector>

#include "analyses/ephemeris_record.h"
#include "analyses/members.h"
#include "analyses/record_tables.h"
#include "analyses/workfile_set.h"
#include "app/output.h"
#include "core/waves.h"

namespace {

// The group's and the continuum's tables, and the members used, for the record.
void NoteForRecord(const EventAnalysisParams& p, const EventGroupResult& group, const std::vector<int>& numbers) {
  if (!JournalOpen()) return;
  const int c = p.settings.weights.lastBody;
  for (MatrixKind k : kMatrixKinds) {
    NoteMatrix("group", k, group.matrix[k], c);
    NoteRowSums("group", k, std::span<const double>(group.rowSum[k], static_cast<std::size_t>(c) + 1));
    NoteTotal("group", k, group.total[k]);
  }
  for (MatrixKind k : kMatrixKinds) {
    NoteRowSums("continuum", k, std::span<const double>(p.continuumRow[k], static_cast<std::size_t>(c) + 1));
    NoteTotal("continuum", k, p.continuumSum[k]);
  }
  for (std::size_t i = 0; i < group.members.size(); ++i) {
    JournalMember m = JournalMemberOf(group.members[i].record, i < numbers.size() ? numbers[i] : 0);
    m.jd = group.members[i].chartJulianDate;
    m.used = true;
    JournalNoteMember(m);
  }
}

}  // namespace

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
  const bool whole = ComputeEventGroup(SharedWaveTables(), p.settings, members, group, [&](std::size_t done) {
    SetProgress(100.0 * static_cast<double>(done) / static_cast<double>(members.size()));
    KeepAlive();
  });
  if (!whole) {  // a stop of the module: the group's sums are partial
    StopNote("\n stopped after %zu of %zu members; no working file changed \n", group.members.size(),
             members.size());
    return;
  }
  SetProgress(100);
  NoteForRecord(p, group, numbers);
  ReportEventAnalysis(p, group, files);
  if (!files.Commit()) return;
  DrawEventComparison(p, group);
  PlayModuleSound();
}
