// The continuum's loop: charts and matrices of every moment, summed
// unweighted, then weighted once after the loop.
#include <algorithm>
#include <cmath>

#include "analyses/continuum.h"
#include "app/module_stop.h"
#include "core/chart.h"
#include "core/matrices.h"
#include "qzk/random.h"

WeightTable GravityWeights(int strength, int c) {
  WeightTable w = kGravityWeights;
  if (strength <= 0) w.fill(1.0);
  if (strength >= 2)
    for (int i = 0; i < strength; ++i)
      for (double& x : w) x = std::sqrt(x);
  if (c < 10) w[10] = 0.0;
  return w;
}

ChartMoment ContinuumChartMoment(const CalendarDate& d) {
  ChartMoment m = kContinuumPlace;  // second 0
  m.year = d.year;
  m.month = d.month;
  m.day = d.day;
  m.hour = d.hour;
  m.minute = d.minute;
  return m;
}

ChartMoment ContinuumChartMoment(double jd) { return ContinuumChartMoment(CalendarFromJulian(jd)); }

double ContinuumJulianDate(const ContinuumParams& p, int k, int (*draw)()) {
  const double step = (p.jdEnd - p.jdStart) / p.moments;
  if (!p.random) return p.jdStart + k * step;
  const double r = ((draw ? draw : qzrand)() % 10000) / 10000.0;
  return p.jdStart + r * p.moments * step;
}

namespace {

// Moments per progress report, and per call of the batch computation: the
// matrices of a batch (4.7 kB a moment) stay in the cache until summed.
constexpr int kBlock = 500;
constexpr int kBatch = 20;
static_assert(kBlock % kBatch == 0);

// The weighted sums of one moment's H and |H|.
ContinuumMoment MomentSums(const BodyWeights& weights, const HarmonicMatrices& m, double jd) {
  ContinuumMoment out;
  out.date = CalendarFromJulian(jd);
  for (int l = 0; l <= weights.lastBody; ++l) {
    for (int g = 0; g <= weights.lastBody; ++g) {
      const double w = PairWeight(weights, l, g);
      out.H += w * m.H[l][g];
      out.I += std::fabs(w * m.H[l][g]);
    }
  }
  return out;
}

// Rows 0..c, and always twelve columns: a fixed count the compiler turns
// into pairs (the builders leave the columns past the IC at 0; columns past
// c are never read).
constexpr int kSummedColumns = 12;
static_assert(kSummedColumns <= kContinuumMatrixSize && kSummedColumns <= kMatrixSize);

void Accumulate(int c, const HarmonicMatrices& m, ContinuumResult& r) {
  for (int l = 0; l <= c; ++l) {
    for (int g = 0; g < kSummedColumns; ++g) {
      r.SH[l][g] += m.H[l][g];
      r.SI[l][g] += std::fabs(m.H[l][g]);
      r.SD[l][g] += m.D[l][g];
      r.SDA[l][g] += std::fabs(m.D[l][g]);
    }
  }
}

void Weight(const BodyWeights& weights, ContinuumResult& r) {
  for (int l = 0; l <= weights.lastBody; ++l) {
    for (int g = 0; g <= weights.lastBody; ++g) {
      const double w = PairWeight(weights, l, g);
      // "+ 0.0" turns the -0 of a negative cell times a zero weight (the
      // diagonal without self-correlation) into 0, so it prints 0.00.
      r.SH[l][g] = r.SH[l][g] * w + 0.0;
      r.SI[l][g] = r.SI[l][g] * w + 0.0;
      r.SD[l][g] = r.SD[l][g] * w + 0.0;
      r.SDA[l][g] = r.SDA[l][g] * w + 0.0;
    }
  }
}

}  // namespace

void ComputeContinuum(const ContinuumParams& p, const WaveTables& tables, int (*draw)(),
                      ContinuumResult& result, const ContinuumProgress& progress) {
  result = ContinuumResult{};
  const int G = p.moments;
  if (G < 1) return;  // no moments, no sums (the module asks for at least 2)
  if (G <= kKeptMoments) result.kept.reserve(static_cast<std::size_t>(G));
  ChartMoment moments[kBatch];
  double jds[kBatch];
  HarmonicMatrices matrices[kBatch];
  for (int k0 = 0; k0 < G; k0 += kBatch) {
    const int n = std::min(kBatch, G - k0);
    for (int i = 0; i < n; ++i) {
      jds[i] = ContinuumJulianDate(p, k0 + i, draw);
      moments[i] = ContinuumChartMoment(jds[i]);
    }
    result.chartWarnings |= ComputeChartBatch(tables, MatrixForm::OrderP, p.order, moments,
                                              static_cast<std::size_t>(n), nullptr, matrices);
    for (int i = 0; i < n; ++i) {
      if (G <= kKeptMoments) result.kept.push_back(jds[i]);
      if (G <= kShownMoments) result.shown.push_back(MomentSums(p.weights, matrices[i], jds[i]));
      Accumulate(p.weights.lastBody, matrices[i], result);
    }
    result.done = k0 + n;
    if ((k0 + n) % kBlock == 0 || k0 + n == G) {
      if (progress) progress(k0 + n);
      if (k0 + n < G && ModuleStopRequested()) {
        result.stopped = true;
        return;
      }
    }
  }
  Weight(p.weights, result);
}
