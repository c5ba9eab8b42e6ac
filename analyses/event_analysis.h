#pragma once
// Menu entry "2- Event Analysis" ("Team or Event - Analysis",
// "Gruppenanalyse"): the matrices H, I, D and DA of a group of persons or
// events, averaged over the members and compared with the continuum.
//
// The continuum must have run before: its working files give the bodies,
// the order, the self-correlation, the weights, the group size and the
// reference sums. The members come from a dBase table (from the "offset in
// database" record on), from the Current_ text lists, or are picked by hand
// from a table. Each member's civil date and time is moved by the day and
// hour shift (timeshift.h), its chart and matrices are computed and weighted
// (event_analysis_compute.h), and the group means go to text pages 6 and 2,
// the group working files and the bar graphic on graphic page 3.
//
// The module's working files are written as one set once its tables are
// made (workfile_set.h). A missing or unreadable input ends the module with
// its message, never the program, and leaves every working file as it was; a member record that cannot give a chart (a month of 13, a day
// of 0) is named with its record number and left out of the group.
//
// Split in ask (AskEventAnalysis, ReadEventMembers), compute
// (ComputeEventGroup) and report (ReportEventAnalysis, DrawEventComparison).
#include <string>
#include <vector>

#include "analyses/event_analysis_compute.h"
#include "analyses/workfile_set.h"

enum class MemberSource { Table, TextLists, Picked };

struct EventAnalysisParams {
  EventGroupSettings settings;
  bool continuumRan = true;
  int groupSize = 1;         // members wanted
  int datdat[2] = {10, 1};   // as read: c and the continuum's member count
  int moments = 0;           // the continuum's number per interval
  PerKind<double> continuumSum = {0, 0, 0, 0};          // mean totals H, I, D, DA
  PerKind<double[kBodies]> continuumRow = {};           // mean row sums
  bool automatic = true;
  MemberSource source = MemberSource::Table;
  std::string tablePath;
};

// Steps up to the time shifts: the questions, the continuum's files (read,
// checked and echoed; datdat.txt and datplanet.txt put again), the shift
// files and eventsdat.txt, all put into `files`. False when the module
// must end.
bool AskEventAnalysis(EventAnalysisParams& p, WorkfileSet& files);

// The members, from the source the user chooses, checked record by record.
// `numbers` gets each member's record (or list line) number. False when the
// module must end (nothing readable, no member left).
bool ReadEventMembers(EventAnalysisParams& p, std::vector<EventRecord>& members, std::vector<int>& numbers);

// Prints the members' lines and the group tables on text pages 6 and 2 and
// puts the group's working files into `files`. The questions before have
// their echoes on text page 6 as well.
void ReportEventAnalysis(const EventAnalysisParams& p, const EventGroupResult& group, WorkfileSet& files);

// The comparison bar graphic "graphic continuum - group of events" on
// graphic page 3.
void DrawEventComparison(const EventAnalysisParams& p, const EventGroupResult& group);

// The whole module, as the menu runs it.
void RunEventAnalysis();
