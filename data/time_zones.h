#pragma once
// The time zones of the world from the system's time-zone database (the
// IANA database that the operating system keeps current, read through the
// date/tz library): for a zone name ("Europe/Berlin") and a civil date and
// clock time there, the standard offset and the summer-time amount in
// force, with every historical rule of the database.
//
// The summer-time amount. The system's compiled zone files mark each
// period of a zone as summer time or not, without its amount; the amount
// is the period's offset less the offset of the zone's standard time:
// that of the last period before it without summer time, or, where that
// gives nothing (none before, or the same offset), of the first one after
// it; a summer-time period with neither counts as one hour. So the double
// summer time of Britain (1941-45, 1947) and Germany (1945-47) is two
// hours, Troll's summer time two hours, and the winter time of Dublin
// (since 1971) and of Windhoek (1994-2017), which the database holds as
// standard summer time with a negative amount, is minus one hour.
//
// A clock time the zone skipped (in the spring gap) or went through twice
// (in the autumn fold) has no single answer. The choice made is the offset
// in force before the clocks were changed: in a gap, the time is read as
// if the clocks had not yet been put forward (02:30 CET on the morning
// when Berlin went from 02:00 CET to 03:00 CEST is 01:30 UT); in a fold,
// the earlier of the two moments (summer time). ZoneTime.clock says which
// case it was, ClockCaseMessage says it in words.
#include <cstdint>
#include <string>
#include <vector>

enum class ClockCase { Unique, Gap, Fold };

struct ZoneTime {
  int standardSeconds = 0;  // the standard offset, east of Greenwich
  int summerSeconds = 0;    // the summer-time amount in force (0 without)
  int64_t utcSeconds = 0;   // the moment, in seconds from 1970-01-01 00:00 UT
  ClockCase clock = ClockCase::Unique;
  std::string abbreviation;  // "CEST", "BDST", "+0530" ...
  // For a gap or fold: the offsets before and after the change.
  int offsetBefore = 0, offsetAfter = 0;
  int64_t changeUtc = 0;  // when the change happened (seconds from 1970, UT)

  int TotalSeconds() const { return standardSeconds + summerSeconds; }
};

// The first and last years a zone is looked up for: the Gregorian calendar
// (the charts' calendar from 15 October 1582 on) and the records' years.
inline constexpr int kZoneFirstYear = 1583;
inline constexpr int kZoneLastYear = 9999;

// True when the database knows the zone name (case matters, as in the
// database: "Europe/Berlin", "Asia/Kolkata", "UTC").
bool IsZoneName(const std::string& zone);

// The zone's offsets at a civil date and clock time there. False with the
// reason in `error` when the zone is unknown, the system has no time-zone
// database, or the date is none (30 February, a month of 13, an hour of
// 24, a year outside kZoneFirstYear..kZoneLastYear).
bool LocalZoneTime(const std::string& zone, int year, int month, int day, int hour, int minute, int second,
                   ZoneTime& out, std::string& error);

// The zone's offsets at a moment (seconds from 1970-01-01 00:00 UT); the
// clock case is always Unique. False with `error` as above.
bool UniversalZoneTime(const std::string& zone, int64_t utcSeconds, ZoneTime& out, std::string& error);

// For a gap or a fold, one line that names the clock time, the change and
// the choice made: "02:30 on 31.3.1991 does not exist in Europe/Berlin (the
// clocks went from +1 h to +2 h at 01:00 UT): read with the offset before
// the change, +1 h". Empty for a unique time.
std::string ClockCaseMessage(const std::string& zone, int year, int month, int day, int hour, int minute,
                             const ZoneTime& time);

// An offset in seconds as hours, as short as exact: 3600 -> "1", 19800 ->
// "5.5", -12600 -> "-3.5", 20700 -> "5.75"; offsets of odd seconds (local
// mean times) with up to six decimals.
std::string HoursText(int seconds);

// Every zone name the database has, in order.
std::vector<std::string> ZoneNames();
