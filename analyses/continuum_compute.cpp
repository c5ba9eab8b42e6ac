// The continuum's loop: charts and matrices of every moment, summed
// unweighted, then weighted once after the loop.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "analyses/continuum.h"
#include "core/chart.h"
#include "core/matrices.h"
#include "core/worker_pool.h"
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

// Moments per block of the worker pool (a run stops at the end of one),
// and per call of the batch computation: the matrices of a batch (4.7 kB
// a moment) stay in the cache while their rows are copied out.
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
using SummedRows = double[kBodies][kSummedColumns];

// One block's moments as the sums take them: Julian dates, the summed rows
// of H and D, the printed sums when there are few moments.
struct ContinuumBlock {
  int count = 0;
  unsigned warnings = 0;
  double jd[kBlock];
  SummedRows H[kBlock];
  SummedRows D[kBlock];
  ContinuumMoment shown[kBlock];
};

void CopyRows(int c, const HarmonicMatrix& m, SummedRows& rows) {
  for (int l = 0; l <= c; ++l)
    for (int g = 0; g < kSummedColumns; ++g) rows[l][g] = m[l][g];
}

// The moments' sums in moment order, whatever the block: each cell gets
// the additions of a loop over the moments one by one.
void Accumulate(int c, const SummedRows& H, const SummedRows& D, ContinuumResult& r) {
  for (int l = 0; l <= c; ++l) {
    for (int g = 0; g < kSummedColumns; ++g) {
      r.SH[l][g] += H[l][g];
      r.SI[l][g] += std::fabs(H[l][g]);
      r.SD[l][g] += D[l][g];
      r.SDA[l][g] += std::fabs(D[l][g]);
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

bool ComputeContinuum(const ContinuumParams& p, const WaveTables& tables, int (*draw)(),
                      ContinuumResult& result, const ContinuumProgress& progress) {
  result = ContinuumResult{};
  const int G = p.moments;
  if (G < 1) return true;  // no moments, no sums (the module asks for at least 2)
  if (G <= kKeptMoments) result.kept.reserve(static_cast<std::size_t>(G));
  const int c = std::min(p.weights.lastBody, kBodies - 1);
  // Random moments are all drawn first, in moment order, on this thread.
  std::vector<double> drawn;
  if (p.random) {
    drawn.resize(static_cast<std::size_t>(G));
    for (int k = 0; k < G; ++k) drawn[static_cast<std::size_t>(k)] = ContinuumJulianDate(p, k, draw);
  }
  const int threads = WorkerThreads();
  std::vector<std::unique_ptr<ContinuumBlock>> slots(static_cast<std::size_t>(BlockSlots(threads)));
  for (auto& slot : slots) slot = std::make_unique<ContinuumBlock>();

  BlockJob job;
  job.blocks = BlockCount(G, kBlock);
  job.compute = [&](int block, int slot) {
    ContinuumBlock& out = *slots[static_cast<std::size_t>(slot)];
    const int k0 = block * kBlock;
    out.count = std::min(kBlock, G - k0);
    out.warnings = 0;
    ChartMoment moments[kBatch];
    HarmonicMatrices matrices[kBatch];
    for (int i0 = 0; i0 < out.count; i0 += kBatch) {
      const int n = std::min(kBatch, out.count - i0);
      for (int i = 0; i < n; ++i) {
        const int k = k0 + i0 + i;
        const double jd = p.random ? drawn[static_cast<std::size_t>(k)] : ContinuumJulianDate(p, k, nullptr);
        out.jd[i0 + i] = jd;
        moments[i] = ContinuumChartMoment(jd);
      }
      out.warnings |= ComputeChartBatch(tables, MatrixForm::OrderP, p.order, moments,
                                        static_cast<std::size_t>(n), nullptr, matrices);
      for (int i = 0; i < n; ++i) {
        CopyRows(c, matrices[i].H, out.H[i0 + i]);
        CopyRows(c, matrices[i].D, out.D[i0 + i]);
        if (G <= kShownMoments) out.shown[i0 + i] = MomentSums(p.weights, matrices[i], out.jd[i0 + i]);
      }
    }
  };
  job.fold = [&](int, int slot) {
    const ContinuumBlock& in = *slots[static_cast<std::size_t>(slot)];
    result.chartWarnings |= in.warnings;
    for (int i = 0; i < in.count; ++i) {
      if (G <= kKeptMoments) result.kept.push_back(in.jd[i]);
      if (G <= kShownMoments) result.shown.push_back(in.shown[i]);
      Accumulate(c, in.H[i], in.D[i], result);
    }
  };
  if (progress)
    job.pump = [&](int folded) { progress(static_cast<int>(std::min<long long>(1LL * folded * kBlock, G))); };
  const int folded = RunBlocks(job, threads);
  result.done = static_cast<int>(std::min<long long>(1LL * folded * kBlock, G));
  result.stopped = folded < job.blocks;
  Weight(p.weights, result);
  return !result.stopped;
}
