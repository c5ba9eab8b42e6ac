// Speed of the chart batch on each register width: two lanes (SSE2) and
// four moments side by side (AVX2), charts only.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/chart.h"
#include "core/chart_path.h"

namespace {

// Moments spread over 1900..2100 and over the globe.
std::vector<ChartMoment> ChartBenchMoments(int count) {
  std::vector<ChartMoment> moments(count);
  for (int n = 0; n < count; ++n) {
    ChartMoment& m = moments[n];
    m.year = 1900 + (n * 37) % 200;
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

// range(0): 0 the two-lane path, 1 the four-moment path.
void BM_ComputeChartBatchOnPath(benchmark::State& state) {
  const ChartPath path = state.range(0) ? ChartPath::Avx2 : ChartPath::Sse2;
  if (path == ChartPath::Avx2 && DefaultChartPath() != ChartPath::Avx2) {
    state.SkipWithError("no AVX2 on this processor");
    return;
  }
  const auto moments = ChartBenchMoments(256);
  std::vector<ChartRecord> charts(moments.size());
  for (auto _ : state) {
    ComputeChartBatchOnPath(moments.data(), moments.size(), charts.data(), path);
    benchmark::DoNotOptimize(charts.data());
  }
  state.counters["per_chart"] = benchmark::Counter(
      double(state.iterations() * moments.size()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComputeChartBatchOnPath)->Arg(0)->Arg(1);

}  // namespace
