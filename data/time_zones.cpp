#include "data/time_zones.h"

#include <date/tz.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <map>
#include <mutex>
#include <unordered_map>

namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

// Periods before this or from this on are not walked through when the
// summer-time amount is derived (the first period of a zone begins at the
// library's earliest time, the last ends at its latest).
const date::sys_seconds kEarliest = date::sys_days{date::year{1000} / 1 / 1};
const date::sys_seconds kLatest = date::sys_days{date::year{12000} / 1 / 1};
// Periods walked at most in each direction: more than any zone's longest
// run of summer-time periods without standard time between them.
constexpr int kWalkLimit = 400;

// The zone of a name, from a cache in front of the library's search: the
// names of a large group repeat.
const date::time_zone* FindZone(const std::string& name, std::string& error) {
  static std::mutex guard;
  static std::unordered_map<std::string, const date::time_zone*> known;
  std::lock_guard<std::mutex> lock(guard);
  auto it = known.find(name);
  if (it != known.end()) return it->second;
  try {
    date::get_tzdb();
  } catch (const std::exception& e) {
    error = std::string("the system's time-zone database cannot be read (") + e.what() + ")";
    return nullptr;
  }
  const date::time_zone* zone = nullptr;
  try {
    zone = date::locate_zone(name);
  } catch (const std::exception&) {
    error = "\"" + name + "\" is no zone name of the time-zone database";
    return nullptr;
  }
  known.emplace(name, zone);
  return zone;
}

int OffsetSeconds(const date::sys_info& info) { return static_cast<int>(info.offset.count()); }

// The summer-time amount of a period (see the header), cached per zone
// and period: a group's members share few periods.
int SummerSeconds(const date::time_zone* zone, const date::sys_info& info) {
  if (info.save == minutes{0}) return 0;
  static std::mutex guard;
  static std::map<std::pair<const date::time_zone*, int64_t>, int> cache;
  const auto key = std::make_pair(zone, static_cast<int64_t>(info.begin.time_since_epoch().count()));
  {
    std::lock_guard<std::mutex> lock(guard);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
  }
  int amount = 0;
  date::sys_info p = info;
  for (int k = 0; k < kWalkLimit && p.begin > kEarliest; ++k) {
    p = zone->get_info(p.begin - seconds{1});
    if (p.save == minutes{0}) {
      amount = OffsetSeconds(info) - OffsetSeconds(p);
      break;
    }
  }
  p = info;
  for (int k = 0; amount == 0 && k < kWalkLimit && p.end < kLatest; ++k) {
    p = zone->get_info(p.end);
    if (p.save == minutes{0}) {
      amount = OffsetSeconds(info) - OffsetSeconds(p);
      break;
    }
  }
  if (amount == 0) amount = 3600;
  std::lock_guard<std::mutex> lock(guard);
  cache.emplace(key, amount);
  return amount;
}

void Fill(const date::time_zone* zone, const date::sys_info& info, ZoneTime& out) {
  out.summerSeconds = SummerSeconds(zone, info);
  out.standardSeconds = OffsetSeconds(info) - out.summerSeconds;
  out.abbreviation = info.abbrev;
}

// "+1 h", "-3.5 h".
std::string SignedHours(int seconds) {
  std::string h = HoursText(seconds);
  return (seconds >= 0 ? "+" : "") + h + " h";
}

// "01:30" of a moment in UT.
std::string UtcClock(int64_t utc) {
  const date::sys_seconds t{seconds{utc}};
  const auto day = date::floor<date::days>(t);
  const date::hh_mm_ss<seconds> clock{t - day};
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(clock.hours().count()),
                static_cast<int>(clock.minutes().count()));
  return text;
}

}  // namespace

bool IsZoneName(const std::string& zone) {
  std::string error;
  return !zone.empty() && FindZone(zone, error) != nullptr;
}

bool LocalZoneTime(const std::string& zone, int year, int month, int day, int hour, int minute, int second,
                   ZoneTime& out, std::string& error) {
  error.clear();
  const date::time_zone* tz = FindZone(zone, error);
  if (!tz) return false;
  if (year < kZoneFirstYear || year > kZoneLastYear) {
    error = "the year " + std::to_string(year) + " is outside " + std::to_string(kZoneFirstYear) + ".." +
            std::to_string(kZoneLastYear) + " (zone names are looked up in the Gregorian calendar)";
    return false;
  }
  const date::year_month_day ymd{date::year{year}, date::month{static_cast<unsigned>(month)},
                                 date::day{static_cast<unsigned>(day)}};
  if (month < 1 || month > 12 || day < 1 || !ymd.ok()) {
    error = std::to_string(day) + "." + std::to_string(month) + "." + std::to_string(year) + " is no date";
    return false;
  }
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    error = std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second) +
            " is no clock time";
    return false;
  }
  const date::local_seconds local =
      date::local_days{ymd} + hours{hour} + minutes{minute} + seconds{second};
  const date::local_info info = tz->get_info(local);
  // In a gap and in a fold the first period is the one before the change.
  Fill(tz, info.first, out);
  out.utcSeconds = (local.time_since_epoch() - info.first.offset).count();
  out.clock = info.result == date::local_info::unique        ? ClockCase::Unique
              : info.result == date::local_info::nonexistent ? ClockCase::Gap
                                                             : ClockCase::Fold;
  out.offsetBefore = OffsetSeconds(info.first);
  out.offsetAfter = out.clock == ClockCase::Unique ? out.offsetBefore : OffsetSeconds(info.second);
  out.changeUtc = out.clock == ClockCase::Unique ? 0 : info.first.end.time_since_epoch().count();
  return true;
}

bool UniversalZoneTime(const std::string& zone, int64_t utcSeconds, ZoneTime& out, std::string& error) {
  error.clear();
  const date::time_zone* tz = FindZone(zone, error);
  if (!tz) return false;
  const date::sys_seconds t{seconds{utcSeconds}};
  if (t < date::sys_days{date::year{kZoneFirstYear} / 1 / 1} ||
      t >= date::sys_days{date::year{kZoneLastYear + 1} / 1 / 1}) {
    error = "the moment is outside the years " + std::to_string(kZoneFirstYear) + ".." +
            std::to_string(kZoneLastYear);
    return false;
  }
  const date::sys_info info = tz->get_info(t);
  Fill(tz, info, out);
  out.utcSeconds = utcSeconds;
  out.clock = ClockCase::Unique;
  out.offsetBefore = out.offsetAfter = OffsetSeconds(info);
  out.changeUtc = 0;
  return true;
}

std::string ClockCaseMessage(const std::string& zone, int year, int month, int day, int hour, int minute,
                             const ZoneTime& time) {
  if (time.clock == ClockCase::Unique) return "";
  char when[64];
  std::snprintf(when, sizeof when, "%02d:%02d on %d.%d.%d", hour, minute, day, month, year);
  const std::string change = "the clocks went from " + SignedHours(time.offsetBefore) + " to " +
                             SignedHours(time.offsetAfter) + " at " + UtcClock(time.changeUtc) + " UT";
  if (time.clock == ClockCase::Gap)
    return std::string(when) + " does not exist in " + zone + " (" + change +
           "): read with the offset before the change, " + SignedHours(time.offsetBefore) + " (" +
           UtcClock(time.utcSeconds) + " UT)";
  return std::string(when) + " comes twice in " + zone + " (" + change + "): the earlier is taken, " +
         SignedHours(time.offsetBefore) + " (" + UtcClock(time.utcSeconds) + " UT)";
}

std::string HoursText(int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", seconds / 3600.0);
  std::string s = text;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

std::vector<std::string> ZoneNames() {
  std::vector<std::string> names;
  try {
    for (const date::time_zone& z : date::get_tzdb().zones) names.emplace_back(z.name());
  } catch (const std::exception&) {
  }
  return names;
}
