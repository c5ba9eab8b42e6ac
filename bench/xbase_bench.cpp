// Searching a dBase table of 100 000 person records for one name.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "qzk/xbase.h"

namespace {

// NAME C(20), VORNAME C(20), ORT C(20), JAHR N(4): record length 65, as
// bytes, so that building the table costs nothing measurable.
std::string make_table(int records) {
  static const char* kNames[] = {"M\xFCller", "Schmidt", "Schneider", "Fischer", "Weber",
                                 "Meyer",     "Wagner",  "Becker",    "Schulz",  "Hoffmann"};
  std::string dir = "/tmp/xbase_bench_XXXXXX";
  if (!mkdtemp(dir.data())) return "";
  const std::string path = dir + "/persons.dbf";
  if (!qzXBase::create(path.c_str(), {{"NAME", 'C', 20, 0},
                                      {"VORNAME", 'C', 20, 0},
                                      {"ORT", 'C', 20, 0},
                                      {"JAHR", 'N', 4, 0}}))
    return "";
  FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) return "";
  std::fseek(file, 32 + 4 * 32 + 1, SEEK_SET);
  std::vector<char> record(66);  // 65 bytes and the terminator of snprintf
  for (int r = 0; r < records; ++r) {
    std::snprintf(record.data(), record.size(), " %-20s%-20s%-20s%4d",
                  (std::string(kNames[r % 10]) + std::to_string(r % 997)).c_str(), "Anna",
                  "K\xF6ln", 1900 + r % 100);
    std::fwrite(record.data(), 1, 65, file);
  }
  std::fputc(0x1A, file);
  std::fseek(file, 4, SEEK_SET);
  const unsigned char count[4] = {static_cast<unsigned char>(records),
                                  static_cast<unsigned char>(records >> 8),
                                  static_cast<unsigned char>(records >> 16), 0};
  std::fwrite(count, 1, 4, file);
  std::fclose(file);
  return path;
}

void BM_XBaseFindExact(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string path = make_table(records);
  qzXBase table;
  if (path.empty() || !table.open(path.c_str(), true) || table.live_count() != records) {
    state.SkipWithError("cannot build the table");
    return;
  }
  std::vector<int> found(256);
  int matches = 0;
  for (auto _ : state) {
    matches = table.find_exact(0, "SCHMIDT1", found.data(), static_cast<int>(found.size()));
    benchmark::DoNotOptimize(matches);
  }
  state.counters["matches"] = matches;
  state.SetItemsProcessed(state.iterations() * records);
  table.close();
  std::remove(path.c_str());
  rmdir(path.substr(0, path.rfind('/')).c_str());
}

}  // namespace

BENCHMARK(BM_XBaseFindExact)->Arg(100000)->Unit(benchmark::kMillisecond);
