// The entry dialog's place look-up: what a chosen place puts into the entry.
#include <cmath>
#include <cstdlib>

#include "data/person_entry.h"
#include "data/time_zones.h"
#include "data/zone_record.h"

namespace {

void DegreesMinutes(double value, int& degrees, int& minutes) {
  const long total = std::lround(std::fabs(value) * 60.0);
  const int sign = value < 0 ? -1 : 1;
  degrees = sign * static_cast<int>(total / 60);
  minutes = sign * static_cast<int>(total % 60);
}

// "Europe/Zurich +1 h", with the clock shift of a zone that is not whole hours.
std::string ZoneNote(const std::string& zone, const ZoneFill& fill) {
  std::string note = zone + " " + (fill.time.standardSeconds >= 0 ? "+" : "") +
                     HoursText(fill.time.standardSeconds) + " h";
  if (fill.time.summerSeconds != 0)
    note += ", Sommerzeit " + std::string(fill.time.summerSeconds > 0 ? "+" : "") +
            HoursText(fill.time.summerSeconds) + " h";
  if (fill.clockShiftSeconds != 0) {
    const WholeHourZone whole = WholeHoursOf(fill.time);
    note += "; gespeichert in Zone " + std::to_string(whole.timeZone) + ", Uhrzeit " +
            (fill.clockShiftSeconds > 0 ? "+" : "-") + std::to_string(std::abs(fill.clockShiftSeconds) / 60) +
            " min";
  }
  if (!fill.note.empty()) note += "\n" + fill.note;
  return note;
}

}  // namespace

std::string PlaceChoiceText(const Place& p) {
  return p.name + ", " + p.country + (p.region.empty() ? "" : ", " + p.region);
}

bool TakeZone(PersonEntry& entry, std::string& note) {
  if (entry.zoneName.empty()) return false;
  EventRecord r = RecordFromEntry(entry);
  ZoneFill fill;
  if (!ApplyZoneName(r, entry.zoneName, fill, note)) return false;
  entry.timeZone = r.timeZone;
  entry.summerTime = r.summerTime;
  note = ZoneNote(entry.zoneName, fill);
  return true;
}

bool TakePlace(PersonEntry& entry, const Place& place, std::string& note) {
  DegreesMinutes(place.longitude, entry.longitudeDegrees, entry.longitudeMinutes);
  DegreesMinutes(place.latitude, entry.latitudeDegrees, entry.latitudeMinutes);
  entry.place = place.name;
  PersonEntry zoned = entry;
  zoned.zoneName = place.zone;
  if (!TakeZone(zoned, note)) {
    entry.zoneName.clear();
    return false;
  }
  entry = zoned;
  return true;
}

bool FinishZone(PersonEntry& entry, std::string& error) {
  if (entry.zoneName.empty()) return true;
  EventRecord r = RecordFromEntry(entry);
  ZoneFill fill;
  if (!ApplyZoneName(r, entry.zoneName, fill, error)) return false;
  entry.year = r.year;
  entry.month = r.month;
  entry.day = r.day;
  entry.hour = r.hour;
  entry.minute = r.minute;
  entry.second = r.second;
  entry.timeZone = r.timeZone;
  entry.summerTime = r.summerTime;
  return true;
}
