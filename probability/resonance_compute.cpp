// The resonance curves of one person, computed without any window.
#include <algorithm>
#include <cmath>

#include "probability/curves.h"
#include "core/chart.h"
#include "core/worker_pool.h"
#include "probability/resonance.h"

ResonanceCurves::ResonanceCurves() {
  for (CurveSet& curves : kind) curves = CurveSet(kResonancePoints);
}

BirthMatrices BirthMatricesOf(const WaveTables& tables, const ResonanceInput& in) {
  BirthMatrices m;
  BuildHarmony(tables, in.order, in.birth.pos, m.H);
  BuildDynamic(tables, in.order, in.birth.pos, m.D, in.birth.motion);
  return m;
}

void FillResonanceCurves(const WaveTables& tables, const ResonanceInput& in,
                         const BirthMatrices& birth, ResonanceCurves& out, int from, int to) {
  const double k = in.coupling;
  const auto& w = in.weights;
  for (int p = std::max(from, 0); p < to && p < kResonancePoints; ++p) {
    ChartRecord transit{};
    ChartAtJulianDate(in.startJd + p * in.stepDays, in.place, transit);
    PerKind<double[kBodies]> rows = {};
    for (int a = 0; a < kBodies; ++a) {
      if (w[a] == 0) continue;
      for (int b = 0; b < kBodies; ++b) {
        if (w[b] == 0) continue;
        const double lt = transit.pos[a], lb = in.birth.pos[b];
        const double H = (HarmonyLookup(tables, in.order, lt, lb) + k * birth.H[a][b]) * w[a] * w[b];
        const double D = (DynamicLookup(tables, in.order, lt, lb) + k * birth.D[a][b]) * w[a] * w[b];
        rows[MatrixKind::H][a] += H;
        rows[MatrixKind::I][a] += std::fabs(H);
        rows[MatrixKind::D][a] += D;
        rows[MatrixKind::DA][a] += std::fabs(D);
      }
    }
    for (MatrixKind kind : kMatrixKinds) {
      CurveSet& c = out.kind[kind];
      double sum = 0;
      for (int a = 0; a < kBodies; ++a) {
        c[a + 1][p] = w[a] * rows[kind][a];
        sum += c[a + 1][p];
      }
      c[kSumCurve][p] = sum;
    }
  }
}

int ComputeResonanceCurves(const WaveTables& tables, const ResonanceInput& in,
                           const BirthMatrices& birth, ResonanceCurves& out,
                           const std::function<void(int done)>& progress) {
  BlockJob job;
  job.blocks = BlockCount(kResonancePoints, kResonanceBlock);
  job.compute = [&](int block, int) {
    FillResonanceCurves(tables, in, birth, out, block * kResonanceBlock, (block + 1) * kResonanceBlock);
  };
  if (progress)
    job.pump = [&](int folded) { progress(std::min(kResonancePoints, folded * kResonanceBlock)); };
  return std::min(kResonancePoints, RunBlocks(job, WorkerThreads()) * kResonanceBlock);
}
