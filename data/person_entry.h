#pragma once
// The entry dialog "Daten bearbeiten / eingeben": one person or event with
// its names, date, clock time, summer time, place, coordinates and time
// zone. Every numeric field is an up/down control that clamps to its range.
#include <string>

#include "data/event_record.h"

struct PersonEntry {
  std::string familyName;  // up to 999 characters
  std::string firstName;
  int day = 1, month = 1, year = 2000;
  int hour = 12, minute = 0, second = 0;
  int summerTime = 0;
  int timeZone = 0;
  std::string place;
  int longitudeDegrees = 0, longitudeMinutes = 0;
  int latitudeDegrees = 0, latitudeMinutes = 0;
};

// Shows the dialog filled from `entry`; true with the edited values on
// "&OK", false (entry unchanged) on "&Abbrechen", a close or the end of
// the program.
bool EditPersonEntry(PersonEntry& entry);

// Conversions; texts longer than the record's fields are cut there.
PersonEntry EntryFromRecord(const EventRecord& record);
EventRecord RecordFromEntry(const PersonEntry& entry);
