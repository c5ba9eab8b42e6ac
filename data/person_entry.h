#pragma once
// The entry dialog "Daten bearbeiten / eingeben": one person or event with
// its names, date, clock time, summer time, place, coordinates and time
// zone. Every numeric field is an up/down control that clamps to its range.
//
// The place field looks places up: Return in it lists the best matches of
// the places database in the box beside the coordinates and takes the
// first; choosing another takes that one. Taking a place fills the
// longitude, the latitude, and the time zone and summer time for the date
// and clock time entered (data/time_zones.h), and names the zone under the
// box. All stay editable: the zone's values are taken again when the date
// or time changes, and dropped when the time zone or summer time is
// changed by hand. On "&OK" with a zone, a zone that is not whole hours
// moves the clock time into the whole-hour zone (data/zone_record.h).
#include <string>
#include <vector>

#include "data/event_record.h"
#include "data/places.h"

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
  // The zone the time zone and summer time come from (the look-up's), or ""
  // when they were entered by hand.
  std::string zoneName;
};

// Shows the dialog filled from `entry`; true with the edited values on
// "&OK", false (entry unchanged) on "&Abbrechen", a close or the end of
// the program.
bool EditPersonEntry(PersonEntry& entry);

// Conversions; texts longer than the record's fields are cut there.
PersonEntry EntryFromRecord(const EventRecord& record);
EventRecord RecordFromEntry(const PersonEntry& entry);

// The look-up's parts, for the dialog and its tests.
// A match as the box lists it: "Zürich, CH, Zurich".
std::string PlaceChoiceText(const Place& place);
// Takes a place: coordinates (degrees and whole minutes), zone name, and
// the zone's whole-hour time zone and summer time for the entry's date and
// time. `note` says the zone and any clock shift, gap or fold; false with
// the reason in `note` when the zone cannot give an answer for the date
// (the coordinates are taken all the same, the zone is not).
bool TakePlace(PersonEntry& entry, const Place& place, std::string& note);
// The zone's whole-hour time zone and summer time for the entry's date and
// time, into the entry; false (entry unchanged) when there is no zone or
// no answer. `note` as above.
bool TakeZone(PersonEntry& entry, std::string& note);
// The entry as it is kept on "&OK": with a zone name, the zone's values
// for the final date and time and the clock moved where the zone is not
// whole hours. False with the reason when the zone gives no answer.
bool FinishZone(PersonEntry& entry, std::string& error);
