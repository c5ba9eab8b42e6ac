#pragma once
// Person files: one EventRecord as plain text, one field per line in the
// form "key = value". Blank lines and lines starting with "#" are ignored;
// keys are case-insensitive; a key that is missing keeps the value the
// reader started from. The keys, in the order they are written:
//
//   family name, first name, day, month, year, hour, minute, second,
//   summer time, time zone, place, longitude degrees, longitude minutes,
//   latitude degrees, latitude minutes
//
// Numbers are whole numbers; each must lie in the range of its field in
// the entry dialog (day 1..31, month 1..12, hour 0..23, minute and second
// 0..59, summer time and time zone -24..24, degrees and minutes
// -360..360, year -4712..9999). Texts longer than their field are cut.
#include <string>

#include "data/event_record.h"

// Reads the text into `record`. On the first bad line it returns false
// with a message naming the line in `error` and leaves `record` as it was.
bool ParsePersonText(const std::string& text, EventRecord& record, std::string& error);

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
