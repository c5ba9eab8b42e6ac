// Speed of the continuum's loop, and where its time goes: the charts, the
// matrix builders, and the rest (placing the moments, converting them to
// calendar dates, summing the cells).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "analyses/continuum.h"
#include "bench_threads.h"
#include "core/chart.h"
#include "core/matrices.h"

namespace {

// The module's default period, 1900..2100, sampled by G evenly spaced moments.
ContinuumParams Period(int G) {
  ContinuumParams p;
  p.order = 3;
  p.weights.lastBody = 10;
  p.weights.selfCorrelation = true;
  p.jdStart = JulianDate(1900, 1, 1, 0, 0, 0, 0);
  p.jdEnd = JulianDate(2100, 1, 1, 0, 0, 0, 0);
  p.moments = G;
  return p;
}

// The whole loop for G = 900 000, as the module runs it (without the
// window), on the number of worker threads of the second argument.
void BM_ContinuumLoop(benchmark::State& state) {
  const BenchThreads threads(state.range(1));
  const WaveTables& tables = SharedWaveTables();
  const ContinuumParams p = Period(static_cast<int>(state.range(0)));
  auto result = std::make_unique<ContinuumResult>();
  for (auto _ : state) {
    ComputeContinuum(p, tables, nullptr, *result);
    benchmark::DoNotOptimize(result->SH[0][1]);
  }
  state.SetItemsProcessed(state.iterations() * p.moments);
  state.counters["per_moment"] = benchmark::Counter(
      double(state.iterations() * p.moments), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ContinuumLoop)
    ->ArgsProduct({{900000}, {1, 2}})
    ->ArgNames({"moments", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// The same moments in blocks of 500 (as the loop takes them), split by stage.
constexpr int kBlock = 500;

std::vector<ChartMoment> BlockMoments(const ContinuumParams& p) {
  std::vector<ChartMoment> moments;
  for (int k = 0; k < kBlock; ++k) moments.push_back(ContinuumChartMoment(ContinuumJulianDate(p, k * 1800, nullptr)));
  return moments;
}

void SetPerMoment(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kBlock);
  state.counters["per_moment"] = benchmark::Counter(
      double(state.iterations() * kBlock), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Stage 1: the charts (positions and motions).
void BM_ContinuumStageCharts(benchmark::State& state) {
  const auto moments = BlockMoments(Period(900000));
  std::vector<ChartRecord> charts(kBlock);
  for (auto _ : state) {
    ComputeChartBatch(moments.data(), moments.size(), charts.data());
    benchmark::DoNotOptimize(charts.data());
  }
  SetPerMoment(state);
}
BENCHMARK(BM_ContinuumStageCharts);

// Stage 2: H, I and D from the charts.
void BM_ContinuumStageBuilders(benchmark::State& state) {
  const WaveTables& tables = SharedWaveTables();
  const auto moments = BlockMoments(Period(900000));
  std::vector<ChartRecord> charts(kBlock);
  ComputeChartBatch(moments.data(), moments.size(), charts.data());
  std::vector<HarmonicMatrices> matrices(kBlock);
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) BuildMatrices(tables, MatrixForm::OrderP, 3, charts[i], matrices[i]);
    benchmark::DoNotOptimize(matrices.data());
  }
  SetPerMoment(state);
}
BENCHMARK(BM_ContinuumStageBuilders);

// Stage 3, part of the rest: placing the moments and their calendar dates.
void BM_ContinuumStageMoments(benchmark::State& state) {
  const ContinuumParams p = Period(900000);
  int k = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) {
      ChartMoment m = ContinuumChartMoment(ContinuumJulianDate(p, k, nullptr));
      benchmark::DoNotOptimize(m);
      k = (k + 1) % p.moments;
    }
  }
  SetPerMoment(state);
}
BENCHMARK(BM_ContinuumStageMoments);

}  // namespace
