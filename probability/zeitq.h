#pragma once
// Planetary fluctuations (time quality): the harmonic matrices of the sky
// of every moment of a period, reduced to one curve per body and their
// sum, drawn one graphic page per kind (H, I, D, DA), with the events of
// an earlier event analysis marked on the time axis and counted against
// trigger limits.
//
// Ask, compute, report: RunPlanetaryFluctuations (zeitq.cpp) asks through
// the dialogs and prints and draws; the functions below (zeitq_compute.cpp)
// compute and need no window. Kind k is drawn on text and graphic page
// KindPage(k).
#include <array>
#include <functional>
#include <vector>

#include "analyses/body_weights.h"
#include "analyses/matrix_kind.h"
#include "core/calendar.h"
#include "core/waves.h"
#include "probability/curve_set.h"

// The menu module "11- Planetary Fluctuations - time quality".
void RunPlanetaryFluctuations();

using BodyLongitudes = std::array<double, 11>;

// The sky at every point m of a period: point m at startJd + m stepDays.
struct FluctuationSky {
  double startJd = 0;
  double stepDays = 0;
  std::vector<BodyLongitudes> longitudes;
  std::vector<CalendarDate> dates;
};
// Called on the calling thread every few tens of milliseconds, and at the
// end, with the number of points done so far.
using FluctuationProgress = std::function<void(int done)>;
// The whole sky on the worker pool (blocks of kFluctuationBlock points).
inline constexpr int kFluctuationBlock = 1000;
FluctuationSky ComputeFluctuationSky(double startJd, double stepDays, int points,
                                     const FluctuationProgress& progress = {});
// The same in pieces: MakeFluctuationSky sizes the sky, FillFluctuationSky
// computes the points from..to-1 (each point on its own: pieces may be
// computed at once on different threads).
FluctuationSky MakeFluctuationSky(double startJd, double stepDays, int points);
void FillFluctuationSky(FluctuationSky& sky, int from, int to);

// The curves of one kind: curve r + 1 at m is the sum over s != r of
// M[r][s] w_r w_s for the matrix M of the kind and order at m (DA: each
// cell |D| truncated to an integer); a body of weight 0 gets 0.000001 on
// every point; curve 0 is the sum of curves 1..11; curve 12 stays 0.
// Only the weights of Sun .. IC are read.
// On the worker pool, as the sky.
CurveSet ComputeFluctuationCurves(const WaveTables& tables, MatrixKind kind, int order,
                                  const WeightTable& weights, const FluctuationSky& sky,
                                  const FluctuationProgress& progress = {});
// Points from..to-1 of `curves` (sized for the sky's points).
void FillFluctuationCurves(const WaveTables& tables, MatrixKind kind, int order,
                           const WeightTable& weights, const FluctuationSky& sky, CurveSet& curves,
                           int from, int to);

// The number of points whose sum curve reaches the limit (>=).
int CountPointsOverLimit(const CurveSet& curves, double limit);

// The event marks: an event at jd lies at pixel x = trunc((jd - start) /
// (end - start) dix) + 1 from the left end of the curves and counts only
// for 0 < x < ixeg - ixag.
inline constexpr int kCurveLeft = 90;     // ixag
inline constexpr int kCurveRight = 1260;  // ixeg
inline constexpr int kCurveWidth = 1170;  // dix
int EventPixel(double jd, double startJd, double endJd);
bool EventPixelInRange(int x);
// Whether an event's value passes the limit of its kind: H and D above
// it, I and DA at or above it.
bool EventOverLimit(MatrixKind kind, double value, double limit);
