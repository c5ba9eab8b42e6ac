#pragma once
// Random control groups for the matrix probability: how often a group of
// n moments drawn at random from a period reaches the real group's mean
// matrices H, I, D and DA, cell by cell, row sum by row sum and in total.
//
// One control group: n moments JD = start + u (end - start), u a
// RandomUnit; each moment's chart at the fixed place below and its H and D
// of the order; the four weighted sums over the n moments
//   H += f H_ij,  I += f |H_ij|,  D += f D_ij,  DA += f |D_ij|,
// f = PairWeight(i, j), divided by n; then their row sums and totals. A cell counts when the control
// mean reaches the real value (control >= real), a row sum or a total when
// it exceeds it (control > real).
//
// Everything here is a plain function of its arguments: the settings, the
// real group, the generator state and a workspace that the caller keeps
// for the whole run (nothing is allocated per group). The same seed gives
// the same counts.
#include <cstdint>
#include <functional>

#include "analyses/body_weights.h"
#include "analyses/continuum.h"
#include "analyses/matrix_kind.h"
#include "core/chart.h"
#include "core/matrices.h"
#include "core/moment.h"
#include "qzk/random.h"

// Marks: rows 0..c, columns 0..c and the row sum's mark in column c + 1.
inline constexpr int kMarkSize = 13;

// The real group's values are read from files written with six decimals,
// so a control mean within this much of the real value is taken as equal:
// a control group identical to the real one counts as reaching it.
inline constexpr double kFileResolution = 1e-6;

// One group's four mean matrices (cells 0..c), their row sums and totals.
struct GroupValues {
  PerKind<double[kBodies][kBodies]> cell = {};
  PerKind<double[kBodies]> row = {};
  PerKind<double> total = {};
};

struct ControlGroupSettings {
  BodyWeights weights{10, false, {}};  // w_0 .. w_c as the event analysis left them
  int order = 3;                       // order of the correlation, 1..12
  int eventsPerGroup = 1;              // n, at least 1
  double jdStart = 0;                  // the period, universal-time Julian dates
  double jdEnd = 0;
};

// How many control groups reached the real group.
struct ControlGroupCounts {
  int groups = 0;
  PerKind<int[kBodies][kBodies]> cell = {};
  PerKind<int[kBodies]> row = {};
  PerKind<int> total = {};
};

// Percentages of the groups that reached the real group, and the marks.
struct ProbabilityResult {
  PerKind<double[kBodies][kBodies]> cell = {};  // P_ij
  PerKind<double[kBodies]> row = {};            // R_i
  PerKind<double> total = {};                   // T
  // 0 not significant, 1 significant, 2 highly significant; column c + 1
  // holds the row sum's mark.
  PerKind<int[kMarkSize][kMarkSize]> marks = {};
};

// The place of the drawn moments: only the moment matters for the bodies;
// the IC is that of the continuum's observer (universal time).
inline constexpr ChartMoment kControlPlace = kContinuumPlace;

// A long random number modulo 100000, divided by 99999: 0..1 inclusive.
double RandomUnit(qzRandomState& state);

// The civil moment (to the minute, universal time) of a Julian date at
// kControlPlace: the continuum's own moment of that date.
inline ChartMoment ControlMoment(double jd) { return ContinuumChartMoment(jd); }

// Scratch room for the charts of one group, made once per run.
struct ControlGroupWorkspace {
  static constexpr int kChunk = 64;
  ChartMoment moments[kChunk];
  HarmonicMatrices matrices[kChunk];
  GroupValues sums;  // the current group's weighted sums
};

// Draws one control group with `state`, fills `mean` with its mean values
// and adds its comparisons with `real` to `counts`.
void DrawControlGroup(const WaveTables& tables, const ControlGroupSettings& settings,
                      const GroupValues& real, qzRandomState& state,
                      ControlGroupWorkspace& workspace, GroupValues& mean,
                      ControlGroupCounts& counts);

// The comparison of one group's means with the real group.
void CountControlGroup(const ControlGroupSettings& settings, const GroupValues& real,
                       const GroupValues& mean, ControlGroupCounts& counts);

// The mark of a percentage: 2 if P <= 1 or P >= 99, 1 if 1 < P <= 5 or
// 95 <= P < 99, else 0.
int SignificanceMark(double percent);

// Percentages 100 count / groups and the marks of every non-diagonal cell
// whose weight product is above 0 (a negative product is printed and
// drawn, but not marked) and of every row sum of a body whose weight is
// not 0; the others keep 0.
ProbabilityResult ProbabilityOf(const ControlGroupSettings& settings,
                                const ControlGroupCounts& counts);

// Adds the counts of `later` groups to `counts`.
void AddCounts(ControlGroupCounts& counts, const ControlGroupCounts& later);

// Control group g of a run is drawn with the generator numbers g n ..
// g n + n - 1 after the run's start (n the events per group), as one loop
// over the groups draws it; the worker pool draws blocks of about
// kChartsPerBlock charts, each from its own position in the stream.
inline constexpr int kChartsPerBlock = 2048;
inline constexpr int kMaxGroupsPerBlock = 64;
int GroupsPerBlock(int eventsPerGroup);

// Called with each control group's means, in group order.
using ControlGroupVisitor = std::function<void(int group, const GroupValues& mean)>;
// Called on the calling thread every few tens of milliseconds, and at the
// end, with the number of groups taken so far.
using ControlGroupProgress = std::function<void(int done)>;

// Draws `groups` control groups from `start` on WorkerThreads() threads,
// adds their comparisons with `real` to `counts` and hands their means to
// `visit` (may be empty), all in group order: the same for any number of
// threads. Returns the number of groups taken: `groups`, or fewer when the
// stop query ended the run.
int DrawControlGroupsInOrder(const WaveTables& tables, const ControlGroupSettings& settings,
                             const GroupValues& real, int groups, const qzRandomState& start,
                             ControlGroupCounts& counts, const ControlGroupVisitor& visit,
                             const ControlGroupProgress& progress = {});

// All `groups` control groups at once (tests and benchmarks), on the
// worker pool; `state` is left where one loop over the groups leaves it.
// The workspace is not used (each block of the pool has its own).
ControlGroupCounts CountControlGroups(const WaveTables& tables,
                                      const ControlGroupSettings& settings,
                                      const GroupValues& real, int groups, qzRandomState& state,
                                      ControlGroupWorkspace& workspace);
