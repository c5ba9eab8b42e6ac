// Speed of the chart computation and the matrix builders.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/calendar.h"
#include "core/chart.h"
#include "core/core_path.h"
#include "core/ephemeris.h"
#include "core/matrices.h"
#include "core/precise.h"
#include "core/waves.h"

namespace {

// Moments spread over 1900..2100 and over the globe, so that no branch or
// table position is favoured.
std::vector<ChartMoment> SpreadMoments(int count, int years = 200) {
  std::vector<ChartMoment> moments(count);
  for (int n = 0; n < count; ++n) {
    ChartMoment& m = moments[n];
    m.year = 1900 + (n * 37) % years;
    m.month = 1 + (n * 7) % 12;
    m.day = 1 + (n * 13) % 28;
    m.hour = (n * 5) % 24;
    m.minute = (n * 17) % 60;
    m.timeZone = (n % 5) - 2;
    m.summerTime = n % 2;
    m.longitudeDegrees = (n * 29) % 360 - 180;
    m.latitudeDegrees = (n * 11) % 120 - 60;
  }
  return moments;
}

void BM_ComputeChart(benchmark::State& state) {
  const auto moments = SpreadMoments(1024);
  ChartRecord chart{};
  std::size_t n = 0;
  for (auto _ : state) {
    ComputeChart(moments[n++ & 1023], chart);
    benchmark::DoNotOptimize(chart);
  }
}
BENCHMARK(BM_ComputeChart);

void BM_Matrices(benchmark::State& state) {
  const WaveTables& tables = SharedWaveTables();
  const auto moments = SpreadMoments(1024);
  std::vector<ChartRecord> charts(moments.size());
  ComputeChartBatch(moments.data(), moments.size(), charts.data());
  auto m = std::make_unique<HarmonicMatrices>();
  std::size_t n = 0;
  for (auto _ : state) {
    const ChartRecord& c = charts[n++ & 1023];
    BuildHarmony(tables, 5, c.pos, m->H);
    BuildEnergy(tables, 5, c.pos, m->I);
    BuildDynamic(tables, 5, c.pos, m->D, c.motion);
    benchmark::DoNotOptimize(*m);
  }
}
BENCHMARK(BM_Matrices);

// The three builders on each pair loop, the path given (0 SSE2, 1 AVX2).
void BM_MatricesOnPath(benchmark::State& state) {
  const CorePath path = state.range(0) ? CorePath::Avx2 : CorePath::Sse2;
  const WaveTables& tables = SharedWaveTables();
  const auto moments = SpreadMoments(1024);
  std::vector<ChartRecord> charts(moments.size());
  ComputeChartBatch(moments.data(), moments.size(), charts.data());
  auto m = std::make_unique<HarmonicMatrices>();
  std::size_t n = 0;
  for (auto _ : state) {
    const ChartRecord& c = charts[n++ & 1023];
    BuildMatricesOnPath(tables, 5, c.pos, nullptr, kBodyPeriodsOrderP, &m->H, nullptr, nullptr, path);
    BuildMatricesOnPath(tables, 5, c.pos, nullptr, kBodyPeriodsOrderP, nullptr, &m->I, nullptr, path);
    BuildMatricesOnPath(tables, 5, c.pos, c.motion, kBodyPeriodsOrderP, nullptr, nullptr, &m->D, path);
    benchmark::DoNotOptimize(*m);
  }
}
BENCHMARK(BM_MatricesOnPath)->Arg(0)->Arg(1);

void BM_ComputeChartBatch(benchmark::State& state) {
  const WaveTables& tables = SharedWaveTables();
  const auto moments = SpreadMoments(256);
  std::vector<ChartRecord> charts(moments.size());
  std::vector<HarmonicMatrices> matrices(moments.size());
  for (auto _ : state) {
    ComputeChartBatch(tables, MatrixForm::OrderP, 5, moments.data(), moments.size(), charts.data(),
                      matrices.data());
    benchmark::DoNotOptimize(matrices.data());
  }
  state.SetItemsProcessed(state.iterations() * moments.size());
  state.counters["per_chart"] = benchmark::Counter(
      double(state.iterations() * moments.size()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComputeChartBatch);

// BM_ComputeChartBatch on each ephemeris, moments over 1900..1999:
// range(0) 0 the classic one, 1 the precise one from its table over the
// century (built once, before the timing).
void BM_ComputeChartBatchEphemeris(benchmark::State& state) {
  const Ephemeris ephemeris = state.range(0) ? Ephemeris::Precise : Ephemeris::Classic;
  const WaveTables& tables = SharedWaveTables();
  const auto moments = SpreadMoments(256, 100);
  std::vector<ChartRecord> charts(moments.size());
  std::vector<HarmonicMatrices> matrices(moments.size());
  SetCurrentEphemeris(ephemeris);
  static std::unique_ptr<PreciseSpan> span;
  if (ephemeris == Ephemeris::Precise && !span) span = std::make_unique<PreciseSpan>(2415020.5, 2451544.5);
  for (auto _ : state) {
    ComputeChartBatch(tables, MatrixForm::OrderP, 5, moments.data(), moments.size(), charts.data(),
                      matrices.data());
    benchmark::DoNotOptimize(matrices.data());
  }
  SetCurrentEphemeris(Ephemeris::Classic);
  state.counters["per_chart"] = benchmark::Counter(
      double(state.iterations() * moments.size()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComputeChartBatchEphemeris)->Arg(0)->Arg(1);

// The precise ephemeris' table for 1900..2000 on two threads.
void BM_PreciseTableBuild1900To2000(benchmark::State& state) {
  for (auto _ : state) {
    auto table = BuildPreciseTable(2415020.5, 2451544.5, 2);
    benchmark::DoNotOptimize(table.get());
    state.counters["parts"] = double(PreciseTableSegments(*table));
  }
}
BENCHMARK(BM_PreciseTableBuild1900To2000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// One precise chart by the library's own calls.
void BM_PreciseChartDirect(benchmark::State& state) {
  const auto moments = SpreadMoments(1024, 100);
  ChartRecord chart{};
  std::size_t n = 0;
  for (auto _ : state) {
    const ChartMoment& m = moments[n++ & 1023];
    PreciseChartDirect(ChartTime(m), m, chart);
    benchmark::DoNotOptimize(chart);
  }
}
BENCHMARK(BM_PreciseChartDirect);

// The three matrices of one chart in one pass (BuildMatrices), for
// comparison with the three builders.
void BM_BuildMatricesOnePass(benchmark::State& state) {
  const WaveTables& tables = SharedWaveTables();
  const auto moments = SpreadMoments(1024);
  std::vector<ChartRecord> charts(moments.size());
  ComputeChartBatch(moments.data(), moments.size(), charts.data());
  auto m = std::make_unique<HarmonicMatrices>();
  std::size_t n = 0;
  for (auto _ : state) {
    BuildMatrices(tables, MatrixForm::OrderP, 5, charts[n++ & 1023], *m);
    benchmark::DoNotOptimize(*m);
  }
}
BENCHMARK(BM_BuildMatricesOnePass);

// The batch without matrices: charts only, four moments side by side.
void BM_ComputeChartBatchChartsOnly(benchmark::State& state) {
  const auto moments = SpreadMoments(256);
  std::vector<ChartRecord> charts(moments.size());
  for (auto _ : state) {
    ComputeChartBatch(moments.data(), moments.size(), charts.data());
    benchmark::DoNotOptimize(charts.data());
  }
  state.counters["per_chart"] = benchmark::Counter(
      double(state.iterations() * moments.size()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComputeChartBatchChartsOnly);

// The chart batch on each register width, charts only: range(0) 0 the
// two-lane path, 1 four moments side by side.
void BM_ComputeChartBatchOnPath(benchmark::State& state) {
  const CorePath path = state.range(0) ? CorePath::Avx2 : CorePath::Sse2;
  if (path == CorePath::Avx2 && DefaultCorePath() != CorePath::Avx2) {
    state.SkipWithError("no AVX2 on this processor");
    return;
  }
  const auto moments = SpreadMoments(256);
  std::vector<ChartRecord> charts(moments.size());
  for (auto _ : state) {
    ComputeChartBatchOnPath(moments.data(), moments.size(), charts.data(), path);
    benchmark::DoNotOptimize(charts.data());
  }
  state.counters["per_chart"] = benchmark::Counter(
      double(state.iterations() * moments.size()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComputeChartBatchOnPath)->Arg(0)->Arg(1);

void BM_FillWaveTables(benchmark::State& state) {
  auto tables = std::make_unique<WaveTables>();
  for (auto _ : state) {
    FillWaveTables(*tables);
    benchmark::DoNotOptimize(tables->harmony[12][9000]);
  }
  state.SetLabel("all twelve orders");
}
BENCHMARK(BM_FillWaveTables)->Unit(benchmark::kMillisecond);

}  // namespace
