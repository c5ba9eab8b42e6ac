// Speed of the time-quality curves: the sky of 200 000 moments of one year
// and the curves of one kind from it, as the module computes them.
#include <benchmark/benchmark.h>

#include "bench_threads.h"
#include "core/calendar.h"
#include "core/waves.h"
#include "probability/zeitq.h"

namespace {

constexpr int kPoints = 200000;

// The whole computation of one kind: charts and curves, on the worker
// threads of the argument.
void BM_Fluctuations200k(benchmark::State& state) {
  const BenchThreads threads(state.range(0));
  const double start = JulianDay0h(2024, 1, 1);
  const double step = 366.0 / kPoints;
  const WeightTable w = kEqualWeights;
  SharedWaveTables();
  for (auto _ : state) {
    const FluctuationSky sky = ComputeFluctuationSky(start, step, kPoints);
    CurveSet c = ComputeFluctuationCurves(SharedWaveTables(), MatrixKind::H, 3, w, sky);
    benchmark::DoNotOptimize(c.values.data());
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_Fluctuations200k)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The curves of one more kind from a sky already computed (the module
// computes the sky once for its four kinds).
void BM_FluctuationCurvesOnly200k(benchmark::State& state) {
  const BenchThreads threads(state.range(0));
  const FluctuationSky sky = ComputeFluctuationSky(JulianDay0h(2024, 1, 1), 366.0 / kPoints, kPoints);
  const WeightTable w = kEqualWeights;
  for (auto _ : state) {
    CurveSet c = ComputeFluctuationCurves(SharedWaveTables(), MatrixKind::DA, 3, w, sky);
    benchmark::DoNotOptimize(c.values.data());
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_FluctuationCurvesOnly200k)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
