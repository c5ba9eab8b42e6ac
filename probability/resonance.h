#pragma once
// The resonance curve: for one person, how the sky of each of 2300 moments
// of a period resonates with the birth chart. Every cell couples the
// transit longitude of one body with the birth longitude of another through
// the harmonic waves, plus a share (the coupling factor) of the birth
// chart's own matrix; the four kinds H, I, D, DA give one curve per body
// and their sum.
//
// RunResonanceCurve asks, computes and draws; the computation below needs
// no window.
#include <array>
#include <functional>

#include "analyses/body_weights.h"
#include "analyses/matrix_kind.h"
#include "core/chart.h"
#include "core/matrices.h"
#include "core/moment.h"
#include "core/waves.h"
#include "probability/curve_set.h"

// The menu module "6- Planetary Fluctuations - resonances".
void RunResonanceCurve();

struct ResonanceInput {
  int order = 3;
  WeightTable weights{};  // Sun .. IC (the spare slot unread); 0 leaves a body out
  double coupling = 0;               // k: the share of the birth chart's matrices
  ChartRecord birth{};
  ChartMoment place{};  // where the transits' IC is taken (the birth place)
  double startJd = 0;
  double stepDays = 0;
};

// The birth chart's matrices H and D of the order.
struct BirthMatrices {
  HarmonicMatrix H;
  HarmonicMatrix D;
};
BirthMatrices BirthMatricesOf(const WaveTables& tables, const ResonanceInput& in);

// The curves of each kind, each of 2300 points.
struct ResonanceCurves {
  PerKind<CurveSet> kind;
  ResonanceCurves();
};

// Points from..to-1: the transit chart at startJd + p stepDays; for
// transit body a and birth body b, H_ab = (W_A(order, lt_a, lb_b) +
// k Hbirth_ab) w_a w_b and D_ab likewise with W_B and Dbirth, I_ab = |H_ab|,
// DA_ab = |D_ab|; curve a + 1 is w_a times the row sum of its kind, curve 0
// the sum of curves 1..11.
void FillResonanceCurves(const WaveTables& tables, const ResonanceInput& in,
                         const BirthMatrices& birth, ResonanceCurves& out, int from, int to);
// Every point, in blocks of kResonanceBlock on the worker pool (each point
// is computed on its own, so the curves are the same for any number of
// threads). `progress` is called on the calling thread every few tens of
// milliseconds, and at the end, with the number of points done.
inline constexpr int kResonanceBlock = 23;
// Returns the points computed: kResonancePoints, or fewer when the worker
// pool's stop query ended the run.
int ComputeResonanceCurves(const WaveTables& tables, const ResonanceInput& in,
                           const BirthMatrices& birth, ResonanceCurves& out,
                           const std::function<void(int done)>& progress = {});
