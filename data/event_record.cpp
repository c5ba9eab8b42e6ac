#include "data/event_record.h"

#include <cstring>

EventRecord DefaultEventRecord() {
  EventRecord r{};
  CopyRecordText(r.familyName, sizeof r.familyName, "Doe");
  CopyRecordText(r.firstName, sizeof r.firstName, "John");
  CopyRecordText(r.place, sizeof r.place, "Lindental");
  r.summerTime = 0;
  r.hour = 12;
  r.minute = 0;
  r.second = 0;
  r.year = 2000;
  r.month = 1;
  r.day = 1;
  r.longitudeDegrees = 10;
  r.longitudeMinutes = 0;
  r.latitudeDegrees = 10;
  r.latitudeMinutes = 0;
  r.timeZone = 1;
  return r;
}

void CopyRecordText(char* field, size_t fieldSize, const char* text) {
  if (fieldSize == 0) return;
  size_t n = std::strlen(text);
  if (n > fieldSize - 1) {
    n = fieldSize - 1;
    // Back off over continuation bytes so that a cut never splits a
    // multi-byte character.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  }
  std::memcpy(field, text, n);
  std::memset(field + n, 0, fieldSize - n);
}
