#include "analyses/record_tables.h"

#include <cstring>
#include <string>

void NoteRowSums(const char* table, MatrixKind kind, std::span<const double> sums) {
  for (std::size_t i = 0; i < sums.size(); ++i)
    JournalNoteMatrixCell({table, KindName(kind), static_cast<int>(i), kRowSum, sums[i]});
}

void NoteTotal(const char* table, MatrixKind kind, double total) {
  JournalNoteMatrixCell({table, KindName(kind), kRowSum, kRowSum, total});
}

JournalMember JournalMemberOf(const EventRecord& r, int number) {
  JournalMember m;
  m.number = number;
  m.lastName = std::string(r.familyName, strnlen(r.familyName, sizeof r.familyName));
  m.firstName = std::string(r.firstName, strnlen(r.firstName, sizeof r.firstName));
  m.place = std::string(r.place, strnlen(r.place, sizeof r.place));
  m.year = r.year, m.month = r.month, m.day = r.day;
  m.hour = r.hour, m.minute = r.minute, m.second = r.second;
  m.timeZone = r.timeZone, m.summerTime = r.summerTime;
  m.longitude = r.longitudeDegrees + r.longitudeMinutes / 60.0;
  m.latitude = r.latitudeDegrees + r.latitudeMinutes / 60.0;
  return m;
}
