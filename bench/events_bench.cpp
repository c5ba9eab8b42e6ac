// The event analysis' group loop: 1000 members' charts, matrices, member
// sums and group means, with the IC, gravity weights and self-correlation,
// on the worker threads of the argument.
#include <benchmark/benchmark.h>

#include <vector>

#include "analyses/event_analysis_compute.h"
#include "bench_threads.h"

namespace {

std::vector<EventRecord> Members(int n) {
  std::vector<EventRecord> members(n);
  for (int i = 0; i < n; ++i) {
    EventRecord& r = members[i];
    r = EventRecord{};
    r.year = 1900 + (i * 37) % 200;
    r.month = 1 + (i * 7) % 12;
    r.day = 1 + (i * 11) % 28;
    r.hour = (i * 5) % 24;
    r.minute = (i * 13) % 60;
    r.timeZone = 1;
    r.summerTime = i % 2;
    r.longitudeDegrees = (i * 3) % 30;
    r.latitudeDegrees = 40 + i % 20;
  }
  return members;
}

void BM_EventGroup1000(benchmark::State& state) {
  const BenchThreads threads(state.range(0));
  const std::vector<EventRecord> members = Members(1000);
  EventGroupSettings s;
  s.weights.lastBody = 10;
  s.order = 3;
  s.weights.selfCorrelation = true;
  const double w[12] = {57.2, 10.24, 0.31, 0.77, 0.3, 1.87, 0.84, 0.28, 0.22, 0.01, 57.2, 0.2};
  for (int i = 0; i < 12; ++i) s.weights.body[i] = w[i];
  s.dayShift = 1;
  s.hourShift = -5;
  const WaveTables& tables = SharedWaveTables();
  EventGroupResult result;
  for (auto _ : state) {
    ComputeEventGroup(tables, s, members, result);
    benchmark::DoNotOptimize(result.total[MatrixKind::H]);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(members.size()));
}
BENCHMARK(BM_EventGroup1000)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
