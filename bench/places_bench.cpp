// The places database and the time zones: a look-up over the whole table
// of 141 049 places, loading the table, and the zone answers for 100 000
// members.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "analyses/members.h"
#include "data/places.h"
#include "data/time_zones.h"

namespace {

// places.dbf unpacked from the master copy into a folder of its own, once,
// removed at the end of the program.
const std::string& PlacesPath() {
  // Made in place (a copy of the folder would remove it when destroyed).
  struct Folder {
    std::string dir, table;
    Folder() {
      dir = "/tmp/places_bench_XXXXXX";
      if (!mkdtemp(dir.data())) {
        dir.clear();
        return;
      }
      std::string message;
      if (EnsurePlacesTable(dir + "/" + kPlacesTable, message)) table = dir + "/" + kPlacesTable;
    }
    Folder(const Folder&) = delete;
    ~Folder() {
      if (!dir.empty()) std::filesystem::remove_all(dir);
    }
  };
  static const Folder folder;
  return folder.table;
}

const PlaceIndex* LoadedIndex() {
  static PlaceIndex index;
  static bool loaded = [] {
    std::string error;
    return !PlacesPath().empty() && index.Load(PlacesPath(), error);
  }();
  return loaded ? &index : nullptr;
}

// Every place is compared: a name that is nowhere ("Qx..."), one that
// matches a few thousand places ("San"), and one exact city.
void BM_PlaceLookup(benchmark::State& state, const char* text) {
  const PlaceIndex* index = LoadedIndex();
  if (!index) {
    state.SkipWithError("no places table");
    return;
  }
  size_t found = 0;
  for (auto _ : state) {
    found = index->Find(text, 20).size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["found"] = static_cast<double>(found);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(index->size()));
}
BENCHMARK_CAPTURE(BM_PlaceLookup, nowhere, "Qxwzz")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaceLookup, prefix_san, "San")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaceLookup, zurich, "Zurich")->Unit(benchmark::kMillisecond);

// Reading the whole table into the index (done once per working folder).
void BM_PlaceIndexLoad(benchmark::State& state) {
  if (PlacesPath().empty()) {
    state.SkipWithError("no places table");
    return;
  }
  for (auto _ : state) {
    PlaceIndex index;
    std::string error;
    if (!index.Load(PlacesPath(), error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(index.size());
  }
}
BENCHMARK(BM_PlaceIndexLoad)->Unit(benchmark::kMillisecond);

// 100 000 members of a large group: random local dates and times of
// 1900..2037 in 60 zones of the database, each member's zone and summer
// time (and the clock moved for zones of halves) as the event analysis
// takes them.
void BM_MemberZones100k(benchmark::State& state) {
  const std::vector<std::string> all = ZoneNames();
  if (all.empty()) {
    state.SkipWithError("no time-zone database");
    return;
  }
  std::mt19937 random(24);
  std::vector<std::string> zones;
  for (int i = 0; i < 60; ++i) zones.push_back(all[random() % all.size()]);
  zones.push_back("Asia/Kolkata");
  zones.push_back("Europe/London");
  std::vector<EventRecord> members(100000);
  std::vector<const std::string*> names(members.size());
  for (size_t i = 0; i < members.size(); ++i) {
    EventRecord& r = members[i];
    r = DefaultEventRecord();
    r.year = 1900 + static_cast<int>(random() % 138);
    r.month = 1 + static_cast<int>(random() % 12);
    r.day = 1 + static_cast<int>(random() % 28);
    r.hour = static_cast<int>(random() % 24);
    r.minute = static_cast<int>(random() % 60);
    names[i] = &zones[random() % zones.size()];
  }
  int failed = 0;
  for (auto _ : state) {
    failed = 0;
    for (size_t i = 0; i < members.size(); ++i) {
      EventRecord r = members[i];
      std::string line, problem;
      failed += !ApplyMemberZone(r, *names[i], line, problem);
      benchmark::DoNotOptimize(r);
    }
  }
  state.counters["failed"] = failed;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(members.size()));
}
BENCHMARK(BM_MemberZones100k)->Unit(benchmark::kMillisecond);

}  // namespace
