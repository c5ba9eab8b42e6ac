#include "analyses/settings_files.h"

#include <cstdio>
#include <span>
#include <string>

#include "analyses/body_weights.h"

namespace {

struct SettingRange {
  const char* what;
  int low, high;
};

constexpr const char* kByContinuum = "the continuum";
constexpr const char* kByEventAnalysis = "the event analysis";

// The file's values, one per range, each within its range.
std::optional<std::vector<int>> ReadSettings(const WorkFile& file,
                                             std::span<const SettingRange> ranges,
                                             const char* writer, const MissingFileNotice& notice) {
  auto values = ReadIntegers(file, ranges.size(), notice);
  if (!values) return std::nullopt;
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    const int v = (*values)[i];
    if (v >= ranges[i].low && v <= ranges[i].high) continue;
    char message[200];
    std::snprintf(message, sizeof message, "\n %s: %s %i is not %i..%i; run %s again \n", file.name,
                  ranges[i].what, v, ranges[i].low, ranges[i].high, writer);
    RefuseReading(message, notice);
    return std::nullopt;
  }
  return values;
}

std::optional<int> ReadSetting(const WorkFile& file, const SettingRange& range, const char* writer,
                               const MissingFileNotice& notice) {
  auto v = ReadSettings(file, std::span<const SettingRange>(&range, 1), writer, notice);
  if (!v) return std::nullopt;
  return (*v)[0];
}

}  // namespace

std::optional<GroupBodies> ReadGroupBodies(const MissingFileNotice& notice) {
  static constexpr SettingRange kRanges[] = {{"the last body", 9, 10},
                                             {"the group size", 1, kMaxGroupMembers}};
  auto v = ReadSettings(kDatDat, kRanges, kByContinuum, notice);
  if (!v) return std::nullopt;
  return GroupBodies{(*v)[0], (*v)[1]};
}

std::optional<int> ReadCorrelationOrder(const MissingFileNotice& notice) {
  return ReadSetting(kDatOrd, {"the order", 1, kMaxCorrelationOrder}, kByContinuum, notice);
}

std::optional<bool> ReadSelfCorrelation(const MissingFileNotice& notice) {
  auto v = ReadSetting(kSelfKorr, {"the self-correlation switch", 0, 1}, kByContinuum, notice);
  if (!v) return std::nullopt;
  return *v == 1;
}

std::optional<int> ReadGroupSize(const MissingFileNotice& notice) {
  return ReadSetting(kEventsDat, {"the number of events", 1, kMaxGroupMembers}, kByEventAnalysis,
                     notice);
}

std::optional<int> ReadMomentsPerInterval(const MissingFileNotice& notice) {
  return ReadSetting(kDatIntervT, {"the number per interval", 2, kMaxMomentsPerInterval},
                     kByContinuum, notice);
}

std::optional<int> ReadDayShift(const MissingFileNotice& notice) {
  return ReadSetting(kDatTimeShiftD, {"the day shift", -kMaxDayShift, kMaxDayShift},
                     kByEventAnalysis, notice);
}

std::optional<int> ReadHourShift(const MissingFileNotice& notice) {
  return ReadSetting(kDatTimeShiftH, {"the hour shift", -kMaxHourShift, kMaxHourShift},
                     kByEventAnalysis, notice);
}

std::optional<std::array<int, 6>> ReadPeriodSetting(const MissingFileNotice& notice) {
  static constexpr SettingRange kRanges[] = {
      {"the start year", kFirstPeriodYear, kLastPeriodYear},
      {"the end year", kFirstPeriodYear, kLastPeriodYear},
      {"the start month", 1, 12},
      {"the end month", 1, 12},
      {"the start day", 1, 31},
      {"the end day", 1, 31}};
  auto v = ReadSettings(kStartEndYear, kRanges, kByContinuum, notice);
  if (!v) return std::nullopt;
  std::array<int, 6> period{};
  for (std::size_t i = 0; i < period.size(); ++i) period[i] = (*v)[i];
  return period;
}

std::optional<std::vector<double>> ReadBodyWeights(int c, const MissingFileNotice& notice) {
  auto w = ReadReals(kDatPlanet, LineCount(kDatPlanet, c), notice);
  if (!w) return std::nullopt;
  const int bad = FirstBadWeight(w->data(), static_cast<int>(w->size()));
  if (bad < 0) return w;
  char message[200];
  std::snprintf(message, sizeof message,
                "\n %s, line %i: the weight %g is not within -%g..%g; run %s again \n",
                kDatPlanet.name, bad + 1, (*w)[static_cast<std::size_t>(bad)], kMaxBodyWeight,
                kMaxBodyWeight, kByContinuum);
  RefuseReading(message, notice);
  return std::nullopt;
}
