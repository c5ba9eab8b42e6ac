#include "data/person_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/calendar.h"
#include "data/places.h"
#include "data/record_messages.h"
#include "data/run_journal.h"
#include "data/zone_record.h"
#include "qzk/regular_file.h"

namespace {

struct NumberField {
  const char* key;
  int32_t EventRecord::*member;
  int min;
  int max;
};

// The numeric fields in the order they are written, with the ranges of
// their controls in the entry dialog.
constexpr std::array<NumberField, 12> kNumberFields{{
    {"day", &EventRecord::day, 1, 31},
    {"month", &EventRecord::month, 1, 12},
    {"year", &EventRecord::year, -4712, 9999},
    {"hour", &EventRecord::hour, 0, 23},
    {"minute", &EventRecord::minute, 0, 59},
    {"second", &EventRecord::second, 0, 59},
    {"summer time", &EventRecord::summerTime, -24, 24},
    {"time zone", &EventRecord::timeZone, -24, 24},
    {"longitude degrees", &EventRecord::longitudeDegrees, -360, 360},
    {"longitude minutes", &EventRecord::longitudeMinutes, -360, 360},
    {"latitude degrees", &EventRecord::latitudeDegrees, -360, 360},
    {"latitude minutes", &EventRecord::latitudeMinutes, -360, 360},
}};

struct TextField {
  const char* key;
  size_t offset;
  size_t size;
};

constexpr std::array<TextField, 3> kTextFields{{
    {"family name", offsetof(EventRecord, familyName), sizeof(EventRecord::familyName)},
    {"first name", offsetof(EventRecord, firstName), sizeof(EventRecord::firstName)},
    {"place", offsetof(EventRecord, place), sizeof(EventRecord::place)},
}};

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

// Lower case and single blanks, so "Family  Name" and "family name" agree.
std::string NormaliseKey(const std::string& key) {
  std::string out;
  for (char c : key) {
    if (c == ' ' || c == '\t' || c == '_') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// What the lines said beyond the fields, with the lines that said it.
struct Lookups {
  std::string zoneName, place;
  int zoneLine = 0, placeLine = 0;
  int zoneFieldLine = 0;  // the first "time zone" or "summer time" line
  bool coordinates = false;
};

// Decimal degrees as degrees and whole minutes of the same sign.
void DegreesMinutesOf(double value, int32_t& degrees, int32_t& minutes) {
  const long total = std::lround(std::fabs(value) * 60.0);
  const int sign = value < 0 ? -1 : 1;
  degrees = sign * static_cast<int32_t>(total / 60);
  minutes = sign * static_cast<int32_t>(total % 60);
}

std::string AtLine(int line, const std::string& problem) {
  return "line " + std::to_string(line) + ": " + problem;
}

// The place and zone look-ups after all lines: "" or the error.
std::string LookUp(const Lookups& l, EventRecord& r, PersonTextNotes& notes) {
  std::string zone = l.zoneName;
  int zoneLine = l.zoneLine;
  if (!l.zoneName.empty() && l.zoneFieldLine > 0)
    return AtLine(l.zoneFieldLine, "give either \"zone name\" or \"time zone\" and \"summer time\"");
  if (!l.place.empty() && !l.coordinates) {
    std::string error;
    const PlaceIndex* places = WorkingPlaces(error);
    if (!places) return AtLine(l.placeLine, error);
    const std::vector<const Place*> found = places->Find(l.place, 1);
    if (found.empty())
      return AtLine(l.placeLine, "\"" + l.place +
                                     "\" is not in the places database: give its longitude and latitude");
    const Place& p = *found[0];
    DegreesMinutesOf(p.longitude, r.longitudeDegrees, r.longitudeMinutes);
    DegreesMinutesOf(p.latitude, r.latitudeDegrees, r.latitudeMinutes);
    notes.foundPlace = p.name + " (" + p.country + (p.region.empty() ? "" : ", " + p.region) + ")";
    if (zone.empty() && l.zoneFieldLine == 0) {
      zone = p.zone;
      zoneLine = l.placeLine;
    }
  }
  if (zone.empty()) return "";
  ZoneFill fill;
  std::string error;
  if (!ApplyZoneName(r, zone, fill, error)) return AtLine(zoneLine, error);
  notes.zoneName = zone;
  notes.clockNote = fill.note;
  return "";
}

// The text's lines without their ends, which may be "\r\n", "\n" or "\r"
// alone (as old editors wrote).
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// The lines that gave the date and the latitude, the last of each key.
struct CheckedLines {
  int day = 0, month = 0, year = 0;
  int latitudeDegrees = 0, latitudeMinutes = 0;
  void Note(const std::string& key, int line) {
    if (key == "day") day = line;
    if (key == "month") month = line;
    if (key == "year") year = line;
    if (key == "latitude degrees") latitudeDegrees = line;
    if (key == "latitude minutes") latitudeMinutes = line;
  }
};

constexpr const char* kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};

// The date and latitude the lines gave, once all are read: "" or the error.
// Every field is within its range by then; a date that does not exist can
// only come from a day the file gives (day 1 always exists).
std::string CheckDateAndLatitude(const EventRecord& r, const CheckedLines& lines) {
  if (!IsCalendarDate(r.year, r.month, r.day)) {
    const int line = lines.day ? lines.day : std::max(lines.month, lines.year);
    const std::string date =
        std::to_string(r.day) + "." + std::to_string(r.month) + "." + std::to_string(r.year) + " is no date: ";
    if (r.day <= DaysInMonth(r.year, r.month))
      return AtLine(line, date + "the calendar goes from 4 to 15 October 1582");
    return AtLine(line, date + kMonthNames[r.month - 1] + " " + std::to_string(r.year) + " has " +
                            std::to_string(DaysInMonth(r.year, r.month)) + " days");
  }
  const double latitude = r.latitudeDegrees + r.latitudeMinutes / 60.0;
  if (std::fabs(latitude) > 90) {
    const int line = std::abs(r.latitudeDegrees) > 90 || !lines.latitudeMinutes
                         ? lines.latitudeDegrees
                         : std::max(lines.latitudeDegrees, lines.latitudeMinutes);
    return AtLine(line, "latitude " + std::to_string(r.latitudeDegrees) + " degrees " +
                            std::to_string(r.latitudeMinutes) + " minutes is beyond 90 degrees north or south");
  }
  return "";
}

bool ParseWholeNumber(const std::string& text, long& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && end && *end == 0;
}

// Applies one "key = value" line; an empty error means it was fine.
std::string ApplyLine(const std::string& key, const std::string& value, EventRecord& r) {
  for (const TextField& f : kTextFields) {
    if (key == f.key) {
      char* field = reinterpret_cast<char*>(&r) + f.offset;
      CopyRecordText(field, f.size, value.c_str());
      // A text cut at the field's length may end in blanks, which the next
      // reading would drop: drop them now, so that the file written from
      // the record reads back as the same record.
      CopyRecordText(field, f.size, Trim(field).c_str());
      return "";
    }
  }
  for (const NumberField& f : kNumberFields) {
    if (key != f.key) continue;
    long v = 0;
    if (!ParseWholeNumber(value, v)) return "\"" + value + "\" is not a whole number";
    if (v < f.min || v > f.max)
      return std::string(f.key) + " " + value + " is outside " + std::to_string(f.min) + ".." +
             std::to_string(f.max);
    r.*f.member = static_cast<int32_t>(v);
    return "";
  }
  return "unknown key \"" + key + "\"";
}

}  // namespace

bool ParsePersonText(const std::string& text, EventRecord& record, std::string& error, PersonTextNotes* notes) {
  EventRecord work = record;
  Lookups lookups;
  CheckedLines checked;
  // A byte-order mark, as some editors write, is not part of the first line.
  const std::vector<std::string> lines = SplitLines(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
  int lineNumber = 0;
  for (const std::string& line : lines) {
    ++lineNumber;
    std::string t = Trim(line);
    if (t.empty() || t[0] == '#') continue;
    size_t eq = t.find('=');
    std::string problem;
    if (t.find('\0') != std::string::npos) {
      // Not text: a zero byte would silently end a name or a number early.
      problem = "a zero byte in the line";
    } else if (eq == std::string::npos) {
      problem = "no \"=\" in \"" + t + "\"";
    } else {
      const std::string key = NormaliseKey(t.substr(0, eq));
      const std::string value = Trim(t.substr(eq + 1));
      if (key == "zone name") {
        if (value.empty()) problem = "no zone name";
        lookups.zoneName = value;
        lookups.zoneLine = lineNumber;
      } else {
        problem = ApplyLine(key, value, work);
        checked.Note(key, lineNumber);
        if (key == "place") lookups.place = value, lookups.placeLine = lineNumber;
        if (key.rfind("longitude", 0) == 0 || key.rfind("latitude", 0) == 0) lookups.coordinates = true;
        if ((key == "time zone" || key == "summer time") && lookups.zoneFieldLine == 0)
          lookups.zoneFieldLine = lineNumber;
      }
    }
    if (!problem.empty()) {
      error = "line " + std::to_string(lineNumber) + ": " + problem;
      return false;
    }
  }
  PersonTextNotes said;
  std::string problem = CheckDateAndLatitude(work, checked);
  if (problem.empty()) problem = LookUp(lookups, work, said);
  if (!problem.empty()) {
    error = problem;
    return false;
  }
  if (notes) *notes = said;
  record = work;
  error.clear();
  return true;
}

std::string FormatPersonText(const EventRecord& r) {
  std::string out = "# person file of the workbench: one field per line, key = value\n";
  auto text = [&](const char* key, const char* value) {
    out += key;
    out += " = ";
    out += value;
    out += '\n';
  };
  text("family name", r.familyName);
  text("first name", r.firstName);
  for (size_t i = 0; i < 8; ++i)
    text(kNumberFields[i].key, std::to_string(r.*kNumberFields[i].member).c_str());
  text("place", r.place);
  for (size_t i = 8; i < kNumberFields.size(); ++i)
    text(kNumberFields[i].key, std::to_string(r.*kNumberFields[i].member).c_str());
  return out;
}

bool LoadEventRecord(const char* path, EventRecord& record) {
  record = DefaultEventRecord();
  // A FIFO or a folder in the file's place is refused before it is opened.
  std::ifstream in;
  if (qzis_regular_file(path)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    ShowRecordMessage("error opening %s", path);
    return false;
  }
  JournalNoteRead(path);
  std::stringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    ShowRecordMessage("error opening %s", path);
    return false;
  }
  std::string error;
  PersonTextNotes notes;
  if (!ParsePersonText(text.str(), record, error, &notes)) {
    ShowRecordMessage("person file %s, %s", path, error.c_str());
    return false;
  }
  if (!notes.clockNote.empty()) ShowRecordMessage("person file %s: %s", path, notes.clockNote.c_str());
  return true;
}

bool SavePersonFile(const char* path, const EventRecord& record) {
  std::string temporary = std::string(path) + ".tmp";
  std::string text = FormatPersonText(record);
  FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok || std::rename(temporary.c_str(), path) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
