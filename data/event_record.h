#pragma once
// One person's birth or one event: the names, the place with its
// coordinates, the civil date and clock time, the time zone and the
// summer-time offset. The layout is the 200-byte record that the analyses
// pass by value and keep in fixed arrays; texts are zero-terminated.
#include <cstddef>
#include <cstdint>

struct EventRecord {
  char familyName[50];
  char firstName[50];
  int32_t summerTime;  // hours to subtract from the clock hour (0 or 1 in practice)
  int32_t hour;        // 0..23, clock time
  int32_t minute;      // 0..59
  int32_t second;      // 0..59
  int32_t year;
  int32_t month;       // 1..12
  int32_t day;         // 1..31
  int32_t longitudeDegrees;  // east positive; minutes carry the same sign
  int32_t longitudeMinutes;
  int32_t latitudeDegrees;   // north positive
  int32_t latitudeMinutes;
  int32_t timeZone;    // hours east of Greenwich, subtracted from the clock hour
  char place[52];
};

static_assert(sizeof(EventRecord) == 200, "EventRecord is a 200-byte record");
static_assert(offsetof(EventRecord, summerTime) == 100);
static_assert(offsetof(EventRecord, year) == 116);
static_assert(offsetof(EventRecord, timeZone) == 144);
static_assert(offsetof(EventRecord, place) == 148);

// The record a person file starts from: John Doe of Lindental (10 degrees
// east, 10 degrees north, zone 1, no summer time), 1 January 2000, 12:00:00.
EventRecord DefaultEventRecord();

// Copies a text into a fixed field, cut so that it stays zero-terminated
// and never ends inside a UTF-8 sequence.
void CopyRecordText(char* field, size_t fieldSize, const char* text);
