#pragma once
// The moment and place of a chart: civil date, clock time, time zone,
// summer time and geographic coordinates, as twelve integers.
//
// The person and event record of the data layer (EventRecord, 200 bytes)
// carries the same fields under the same names; the core cannot include it
// (the data layer sits above the core), so every entry point that takes a
// record is a template over any type with these field names, and
// MomentOf() copies them into a ChartMoment.
#include <cstdint>

struct ChartMoment {
  int32_t year = 2000;        // signed; year 0 exists (astronomical numbering)
  int32_t month = 1;          // 1..12
  int32_t day = 1;            // 1..31 (a day of 0 or 32 still gives the linear Julian date)
  int32_t hour = 12;          // 0..23, clock time
  int32_t minute = 0;         // 0..59
  int32_t second = 0;         // 0..59
  int32_t timeZone = 0;       // hours east of Greenwich, subtracted from the clock hour
  int32_t summerTime = 0;     // hours to subtract from the clock hour (0 or 1 in practice)
  int32_t longitudeDegrees = 0;  // east positive; minutes carry the same sign
  int32_t longitudeMinutes = 0;
  int32_t latitudeDegrees = 0;   // north positive; minutes carry the same sign
  int32_t latitudeMinutes = 0;
};

// Any record that names its fields like ChartMoment (EventRecord does).
template <class Record>
concept MomentRecord = requires(const Record& r) {
  r.year; r.month; r.day; r.hour; r.minute; r.second; r.timeZone; r.summerTime;
  r.longitudeDegrees; r.longitudeMinutes; r.latitudeDegrees; r.latitudeMinutes;
};

template <MomentRecord Record>
constexpr ChartMoment MomentOf(const Record& r) {
  ChartMoment m;
  m.year = r.year;
  m.month = r.month;
  m.day = r.day;
  m.hour = r.hour;
  m.minute = r.minute;
  m.second = r.second;
  m.timeZone = r.timeZone;
  m.summerTime = r.summerTime;
  m.longitudeDegrees = r.longitudeDegrees;
  m.longitudeMinutes = r.longitudeMinutes;
  m.latitudeDegrees = r.latitudeDegrees;
  m.latitudeMinutes = r.latitudeMinutes;
  return m;
}
