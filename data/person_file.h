#pragma once
// Person files: one EventRecord as plain text, one field per line in the
// form "key = value", ended by CR LF, LF or CR alone. Blank lines and
// lines starting with "#" are ignored; keys are case-insensitive; a key
// that is missing keeps the value the reader started from. The keys, in
// the order they are written:
//
//   family name, first name, day, month, year, hour, minute, second,
//   summer time, time zone, place, longitude degrees, longitude minutes,
//   latitude degrees, latitude minutes
//
// Numbers are whole numbers; each must lie in the range of its field in
// the entry dialog (day 1..31, month 1..12, hour 0..23, minute and second
// 0..59, summer time and time zone -24..24, degrees and minutes
// -360..360, year -4712..9999). Once all lines are read, the date must
// exist in the calendar (core/calendar.h: IsCalendarDate) and the latitude
// (degrees + minutes / 60) lie within -90..90; otherwise the line of the
// day (or of the latitude) is the bad line. Texts longer than their field
// are cut.
//
// Two keys fill fields from the databases, after all lines are read:
//   zone name = Europe/Berlin   the time zone and summer time for the
//                               record's date and clock time, which are the
//                               local ones of that zone (data/zone_record.h:
//                               a zone that is not whole hours moves the
//                               clock into the nearest whole-hour zone);
//                               not together with "time zone" or "summer time"
//   place = Zürich              when no longitude or latitude key is given,
//                               the coordinates of the best match of the
//                               places database (data/places.h), and its
//                               zone name unless the file gives a zone
// A zone or place that is not found is a bad line.
#include <string>

#include "data/event_record.h"

// What a person file said beyond the record's fields.
struct PersonTextNotes {
  std::string zoneName;     // the zone the time zone and summer time came from, or ""
  std::string foundPlace;   // the places database's entry used, "Zürich (CH, Zurich)", or ""
  std::string clockNote;    // a clock time in a gap or fold: what was chosen, or ""
};

// Reads the text into `record`. On the first bad line it returns false
// with a message naming the line in `error` and leaves `record` as it was.
bool ParsePersonText(const std::string& text, EventRecord& record, std::string& error,
                     PersonTextNotes* notes = nullptr);

// The text SavePersonFile writes; ParsePersonText reads it back unchanged.
std::string FormatPersonText(const EventRecord& record);

// Fills `record` with DefaultEventRecord(), then reads the person file at
// `path`. A file that cannot be read shows "error opening <path>" and a
// file with a bad line shows which line; both return false and leave the
// defaults in `record`.
bool LoadEventRecord(const char* path, EventRecord& record);

// Writes the record as a person file, completely or not at all (a
// temporary file renamed over the old one). False when it cannot be written.
bool SavePersonFile(const char* path, const EventRecord& record);
