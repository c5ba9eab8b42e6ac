#include "data/zone_record.h"

#include <date/date.h>

#include <chrono>
#include <cstdlib>

namespace {

// The nearest whole hour of an offset in seconds, halves away from zero.
int NearestHour(int seconds) {
  const int sign = seconds < 0 ? -1 : 1;
  return sign * ((std::abs(seconds) + 1800) / 3600);
}

}  // namespace

WholeHourZone WholeHoursOf(const ZoneTime& time) {
  WholeHourZone w;
  w.timeZone = NearestHour(time.standardSeconds);
  const int total = NearestHour(time.TotalSeconds());
  w.summerTime = total - w.timeZone;
  w.clockShiftSeconds = total * 3600 - time.TotalSeconds();
  return w;
}

void SetCivilTime(EventRecord& record, int64_t utcSeconds, int offsetSeconds) {
  using std::chrono::seconds;
  const date::sys_seconds t{seconds{utcSeconds + offsetSeconds}};
  const auto day = date::floor<date::days>(t);
  const date::year_month_day ymd{day};
  const date::hh_mm_ss<seconds> clock{t - day};
  record.year = static_cast<int>(ymd.year());
  record.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  record.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  record.hour = static_cast<int>(clock.hours().count());
  record.minute = static_cast<int>(clock.minutes().count());
  record.second = static_cast<int>(clock.seconds().count());
}

bool ApplyZoneName(EventRecord& record, const std::string& zone, ZoneFill& fill, std::string& error) {
  ZoneTime time;
  if (!LocalZoneTime(zone, record.year, record.month, record.day, record.hour, record.minute, record.second,
                     time, error))
    return false;
  const WholeHourZone whole = WholeHoursOf(time);
  fill.time = time;
  fill.clockShiftSeconds = whole.clockShiftSeconds;
  fill.note = ClockCaseMessage(zone, record.year, record.month, record.day, record.hour, record.minute, time);
  record.timeZone = whole.timeZone;
  record.summerTime = whole.summerTime;
  if (whole.clockShiftSeconds != 0)
    SetCivilTime(record, time.utcSeconds, (whole.timeZone + whole.summerTime) * 3600);
  return true;
}
