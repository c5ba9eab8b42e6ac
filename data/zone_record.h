#pragma once
// A record's time zone and summer time from a zone name, for the record's
// own civil date and clock time (data/time_zones.h).
//
// The record keeps whole hours (its layout is fixed): the time zone is the
// zone's standard offset rounded to the nearest hour (halves away from
// Greenwich: India's +5.5 is 6, Newfoundland's -3.5 is -4), and the summer
// time what brings it to the total offset rounded the same way (Lord Howe's
// +10.5 and half an hour of summer time are zone 11 without summer time,
// the clock unmoved). Where the total offset is not whole hours (India,
// Iran, Nepal, Newfoundland, central Australia, the local mean times before
// standard time), the clock time is moved by the difference into that
// whole-hour zone, so that the record's universal time, and
// so its chart, stays that of the true moment: 12:00 in Kolkata (+5.5) is
// stored as 12:30 in zone 6, both 06:30 UT. The seconds move with the
// clock (a local mean time of +0:19:32 moves them too); the date carries
// on the Gregorian calendar. The zone name itself is not part of the
// record; the sources that have one (person files, the zone-name field of
// a table, Current_Zonename.txt) keep it beside it.
#include <string>

#include "data/event_record.h"
#include "data/time_zones.h"

struct ZoneFill {
  ZoneTime time;           // what the database says for the record's date and time
  int clockShiftSeconds;   // how far the clock time was moved (0 for whole-hour offsets)
  std::string note;        // the gap or fold message, or "" (ClockCaseMessage)
};

// Sets the record's time zone and summer time from the zone name and moves
// its clock time where the zone is not whole hours (see above). False with
// the reason in `error`, the record unchanged, when the zone is unknown or
// the record's date or time is none or outside the years zone names are
// looked up for.
bool ApplyZoneName(EventRecord& record, const std::string& zone, ZoneFill& fill, std::string& error);

// The whole-hour time zone and summer time of a zone's offsets, and the
// clock shift that goes with them (seconds to add to the local clock).
struct WholeHourZone {
  int timeZone;
  int summerTime;
  int clockShiftSeconds;
};
WholeHourZone WholeHoursOf(const ZoneTime& time);

// The civil date and clock time at `utcSeconds` (from 1970-01-01 00:00 UT)
// plus `offsetSeconds`, written into the record's year .. second.
void SetCivilTime(EventRecord& record, int64_t utcSeconds, int offsetSeconds);
