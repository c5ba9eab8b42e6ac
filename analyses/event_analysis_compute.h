#pragma once
// The event analysis' computation: each member's moment (after the time
// shift), chart and matrices, the member sums, and the group matrices.
// A pure function of its inputs and the wave tables; no dialogs, no files.
//
// Weighting: cell (l, g) of every member matrix counts with its
// PairWeight, as in the continuum's mean matrices. H, I = |H|, D and
// DA = |D| are taken as the builders give them (D already scaled by 10);
// no further factor 0.1 is applied to D and DA, so that the group's D and
// DA tables, row sums and totals are in the same units as the continuum's
// printed D and DA tables and row-sum files they are compared with.
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "analyses/body_weights.h"
#include "analyses/matrix_kind.h"
#include "core/matrices.h"
#include "data/event_record.h"

struct EventGroupSettings {
  BodyWeights weights;  // the continuum's
  int order = 3;        // order of the correlation, 1..12
  int dayShift = 0;   // -25..25
  int hourShift = 0;  // -47..47
};

struct EventMember {
  EventRecord record;  // after the time shift
  double julianDate;   // EventJulianDate of the shifted record (zone, no summer time)
  double chartJulianDate;  // the universal time of its chart (summer time applied)
  double SH, SI, SD, SDA;
};

struct EventGroupResult {
  std::vector<EventMember> members;
  PerKind<HarmonicMatrix> matrix;  // weighted, divided by the number of members; cells 0..c
  PerKind<double[kBodies]> rowSum;  // row sums of the group matrices, rows 0..c
  PerKind<double> total;           // total of each group matrix
  PerKind<double> memberTotal;     // the member sums added over all members (not divided)
};

// The record after the settings' time shift (unchanged when both shifts are 0).
EventRecord ShiftedMember(const EventGroupSettings& settings, const EventRecord& record);

// Computes the group of `members` (all of which must have passed
// MemberProblem) on WorkerThreads() threads, with the same result for any
// number. An empty group gives zero matrices. False when the stop query
// ended the run early (the members then are those summed before it, the
// matrices not yet divided).
// `progress` is called on the calling thread every few tens of
// milliseconds, and at the end, with the number of members summed.
bool ComputeEventGroup(const WaveTables& tables, const EventGroupSettings& settings,
                       std::span<const EventRecord> members, EventGroupResult& result,
                       const std::function<void(std::size_t done)>& progress = {});
