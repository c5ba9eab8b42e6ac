// Speed of the matrix probability's control groups: 10 000 groups of 100
// moments drawn from 1900..2100, each with its chart, H and D, the four
// weighted means and the comparison with the real group (one million
// charts per iteration), on the worker threads of the last argument.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_threads.h"
#include "probability/control_groups.h"

namespace {

void BM_ControlGroups(benchmark::State& state) {
  const BenchThreads threads(state.range(2));
  const int groups = static_cast<int>(state.range(0));
  const int events = static_cast<int>(state.range(1));
  ControlGroupSettings s;
  s.weights.lastBody = 10;
  s.order = 3;
  s.weights.selfCorrelation = true;
  s.eventsPerGroup = events;
  s.jdStart = 2415020.5;  // 1900-01-01
  s.jdEnd = 2488069.5;    // 2100-01-01
  for (int i = 0; i <= 10; ++i) s.weights.body[i] = 1.0;
  const WaveTables& tables = SharedWaveTables();
  GroupValues real;  // all 0: half of the D cells are reached
  auto workspace = std::make_unique<ControlGroupWorkspace>();
  qzRandomState random;
  qzrandom_state_seed(random, 1);
  for (auto _ : state) {
    ControlGroupCounts counts = CountControlGroups(tables, s, real, groups, random, *workspace);
    benchmark::DoNotOptimize(counts);
  }
  const double charts = static_cast<double>(groups) * events;
  state.counters["charts"] = charts;
  state.counters["per_chart"] =
      benchmark::Counter(charts, benchmark::Counter::kIsIterationInvariantRate |
                                     benchmark::Counter::kInvert);
}
BENCHMARK(BM_ControlGroups)
    ->ArgsProduct({{10000}, {100}, {1, 2}})
    ->ArgNames({"groups", "members", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

}  // namespace

namespace {
// The charts and matrices alone, for the share of the rest.
void BM_ControlGroupChartsOnly(benchmark::State& state) {
  auto workspace = std::make_unique<ControlGroupWorkspace>();
  qzRandomState random;
  qzrandom_state_seed(random, 1);
  const WaveTables& tables = SharedWaveTables();
  for (auto _ : state) {
    for (int g = 0; g < 10000 * 100 / ControlGroupWorkspace::kChunk; ++g) {
      for (int e = 0; e < ControlGroupWorkspace::kChunk; ++e)
        workspace->moments[e] = ControlMoment(2415020.5 + RandomUnit(random) * 73049.0);
      ComputeChartBatch(tables, MatrixForm::OrderP, 3, workspace->moments,
                        ControlGroupWorkspace::kChunk, nullptr, workspace->matrices);
      benchmark::DoNotOptimize(workspace->matrices[0].H[1][2]);
    }
  }
}
BENCHMARK(BM_ControlGroupChartsOnly)->Unit(benchmark::kMillisecond)->Iterations(2);
}  // namespace
