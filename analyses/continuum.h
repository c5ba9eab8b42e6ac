#pragma once
// Menu entry "1- Statistics 1 - Continuum": the mean matrices H, I, D and
// DA over a period of time, the reference of every later group analysis.
//
// The module is split in three:
//  - ask (AskContinuum): the dialogs fill a ContinuumParams and put the
//    group settings (datdat, datord, selfkorr, eventsdat, datplanet,
//    startendyear, datintervt) into the run's set of files;
//  - compute (ComputeContinuum): a pure function from the parameters to the
//    summed matrices, no window involved;
//  - report (ReportContinuum): the four tables on text page 1, the
//    continuum files (into the same set) and the legend.
// The set is written once the report is made (workfile_set.h): a continuum
// refused or ended before leaves every working file as it was.
//
// Moments are in universal time at the fixed observer place 13 deg 59' E,
// 51 deg 11' N (it only matters for the IC). Moment k of G is
// JD_start + k * step evenly spaced, or JD_start + r * G * step with
// r = (rand() mod 10000) / 10000 at random, step = (JD_end - JD_start) / G.
// Each moment's chart is computed at its date and time truncated to the
// minute, as the calendar conversion gives it.
#include <cstddef>
#include <functional>
#include <vector>

#include "analyses/body_weights.h"
#include "analyses/workfile_set.h"
#include "core/calendar.h"
#include "core/moment.h"
#include "core/waves.h"

inline constexpr int kContinuumMatrixSize = 13;
using ContinuumMatrix = double[kContinuumMatrixSize][kContinuumMatrixSize];

// The weights offered as "gravity", in Body order; index 11 is the spare slot.
inline constexpr WeightTable kGravityWeights = {
    57.2, 10.24, 0.31, 0.77, 0.3, 1.87, 0.84, 0.28, 0.22, 0.01, 57.2, 0.2};

// The observer place of the continuum's moments, in universal time without
// summer time (the date and time are each moment's own).
inline constexpr ChartMoment kContinuumPlace{.timeZone = 0,
                                             .summerTime = 0,
                                             .longitudeDegrees = 13,
                                             .longitudeMinutes = 59,
                                             .latitudeDegrees = 51,
                                             .latitudeMinutes = 11};

// Up to this many moments are kept and written to Optimierung-COMPARE; up
// to kShownMoments are printed one by one.
inline constexpr int kKeptMoments = 1000;
inline constexpr int kShownMoments = 10;

struct ContinuumParams {
  int order = 3;    // 1..12
  BodyWeights weights{9, false, kEqualWeights};  // without the IC unless asked
  int members = 1;  // group size handed on to the event analysis
  CalendarDate start{1900, 1, 1, 0, 0};
  CalendarDate end{2100, 1, 1, 0, 0};
  double jdStart = 0, jdEnd = 0;
  int moments = 200000;  // G
  bool random = false;
};

// One printed moment (only when G <= kShownMoments): its date and the
// weighted sums of its H and I.
struct ContinuumMoment {
  CalendarDate date;
  double H = 0, I = 0;
};

struct ContinuumResult {
  // Sums over all moments of H, |H|, D, |D| (D scaled by 10 as the builders
  // give it), then multiplied cell by cell with their PairWeight. Cells
  // 0..c are used.
  ContinuumMatrix SH{}, SI{}, SD{}, SDA{};
  std::vector<double> kept;              // Julian dates, when G <= kKeptMoments
  std::vector<ContinuumMoment> shown;    // when G <= kShownMoments
  unsigned chartWarnings = 0;
  // The moments summed: all of them, or fewer when the module was asked to
  // stop (app/module_stop.h, read after every block); then the sums are
  // partial and left unweighted.
  int done = 0;
  bool stopped = false;
};

// The gravity table after the strength m (0 all ones, 1 as it is, m >= 2
// each weight's square root m times in a row); the IC weight 0 without IC.
WeightTable GravityWeights(int strength, int c);

// The chart moment of a calendar date, or of a Julian date, at the
// continuum's place (Greenwich time, no summer time).
ChartMoment ContinuumChartMoment(const CalendarDate& d);
ChartMoment ContinuumChartMoment(double jd);
// The Julian date of moment k (random draws one number from `draw`, the
// toolkit's seeded generator when it is nullptr).
double ContinuumJulianDate(const ContinuumParams& p, int k, int (*draw)());

// Called after every block of moments with the number done so far; the
// computation then ends early when a stop was requested.
using ContinuumProgress = std::function<void(int done)>;

// The summed matrices of the period; `draw` gives the random numbers
// (0 .. 2^31 - 1) for random moments (nullptr: the toolkit's generator).
void ComputeContinuum(const ContinuumParams& p, const WaveTables& tables, int (*draw)(),
                      ContinuumResult& result, const ContinuumProgress& progress = {});

// Runs the dialogs; false when the module must end (start after end, a
// weight that is no number within kMaxBodyWeight, or the program is
// ending). Puts the settings files into `files` on the way.
bool AskContinuum(ContinuumParams& p, WorkfileSet& files);
// Prints the per-moment lines, the compare note, the four tables and the
// legend on the current text page; their files go into `files`.
void ReportContinuum(const ContinuumParams& p, const ContinuumResult& result, WorkfileSet& files);

// The whole module, as the menu runs it.
void RunContinuum();
