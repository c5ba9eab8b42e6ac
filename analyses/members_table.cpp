// Members from a dBase table: the table's fields found by name, each value
// read as its field type says, the code page of the texts.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <initializer_list>

#include "analyses/members.h"
#include "data/run_journal.h"
#include "qzk/regular_file.h"
#include "qzk/xbase.h"

namespace {

// The field types whose bytes are text: character, numeric, float, date
// and logical. The others (binary integers, doubles, currency, date-times,
// memos) cannot be read as text.
bool ReadableType(char type) { return type == 'C' || type == 'N' || type == 'F' || type == 'D' || type == 'L'; }

// One field value as a number.
struct FieldNumber {
  bool empty = false;  // blanks only (or "?" in a logical field)
  bool bad = false;    // holds something that is no number
  double value = 0;
};

FieldNumber ParseNumber(std::string text, char type) {
  FieldNumber n;
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) {
    n.empty = true;
    return n;
  }
  text = text.substr(start);
  if (type == 'L') {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (c == 'T' || c == 'Y' || c == 'J') n.value = 1;
    else if (c == 'F' || c == 'N') n.value = 0;
    else if (c == '?') n.empty = true;
    else n.bad = true;
    return n;
  }
  for (char& c : text)
    if (c == ',') c = '.';  // a decimal comma
  char* end = nullptr;
  n.value = std::strtod(text.c_str(), &end);
  n.bad = end == text.c_str() || *end != '\0' || !std::isfinite(n.value) || std::fabs(n.value) > 1e9;
  if (n.bad) n.value = 0;
  return n;
}

// Whole numbers separated by one kind of separator: "1952-03-14" with '-'.
bool SplitNumbers(const std::string& text, char by, int (&parts)[3], int count) {
  size_t at = 0;
  for (int k = 0; k < count; ++k) {
    const size_t next = k + 1 < count ? text.find(by, at) : text.size();
    if (next == std::string::npos || next == at || next - at > 4) return false;
    for (size_t i = at; i < next; ++i)
      if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    parts[k] = std::atoi(text.substr(at, next - at).c_str());
    at = next + 1;
  }
  return true;
}

// A date as a "D" field holds it (19520314), or as 1952-03-14 or 14.3.1952.
bool ParseDate(const std::string& text, int& year, int& month, int& day) {
  int p[3] = {0, 0, 0};
  if (text.size() == 8 && text.find_first_not_of("0123456789") == std::string::npos) {
    year = std::atoi(text.substr(0, 4).c_str());
    month = std::atoi(text.substr(4, 2).c_str());
    day = std::atoi(text.substr(6, 2).c_str());
    return true;
  }
  if (SplitNumbers(text, '-', p, 3)) {
    year = p[0], month = p[1], day = p[2];
    return true;
  }
  if (SplitNumbers(text, '.', p, 3)) {
    day = p[0], month = p[1], year = p[2];
    return true;
  }
  return false;
}

// A clock time "06:45" or "06:45:30".
bool ParseTime(const std::string& text, int& hour, int& minute, int& second) {
  int p[3] = {0, 0, 0};
  const bool withSeconds = std::count(text.begin(), text.end(), ':') == 2;
  if (!SplitNumbers(text, ':', p, withSeconds ? 3 : 2)) return false;
  hour = p[0], minute = p[1], second = p[2];
  return true;
}

std::string Trimmed(const std::string& s) {
  const size_t start = s.find_first_not_of(' ');
  return start == std::string::npos ? std::string() : s.substr(start);
}

// A .cpg file's text as a code page: "CP850", "UTF-8", "1252", "ANSI 1252",
// "windows-1252", "ISO-8859-1".
bool CodePageOfCpg(std::string text, qzCodePage& page) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  text = Trimmed(text);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* prefix : {"ansi ", "windows-", "ibm", "oem "})
    if (text.rfind(prefix, 0) == 0) text = text.substr(std::string(prefix).size());
  if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) text = "cp" + text;
  return qzxbase_codepage_from_name(text, page);
}

}  // namespace

int TableFieldMap::Mapped() const {
  int n = 0;
  for (int c : column) n += c >= 0;
  return n;
}

std::string TableFieldMap::MissingTimeFields() const {
  std::string missing;
  // The parts missing of a date or a clock time, then the one field that
  // could hold them all: "MONTH, DAY (or DATE)".
  auto note = [&](std::initializer_list<MemberField> parts, MemberField whole) {
    if (Has(whole)) return;
    bool any = false;
    for (MemberField f : parts) {
      if (Has(f)) continue;
      missing += (missing.empty() ? "" : ", ") + std::string(kTableFieldNames[f].names[0]);
      any = true;
    }
    if (any) missing += " (or " + std::string(kTableFieldNames[whole].names[0]) + ")";
  };
  note({kFieldYear, kFieldMonth, kFieldDay}, kFieldDate);
  note({kFieldHour, kFieldMinute}, kFieldTime);
  return missing;
}

bool TableFieldMap::PlaceIncomplete() const {
  bool longitude = Has(kFieldLongitude) || Has(kFieldLongitudeDegrees);
  bool latitude = Has(kFieldLatitude) || Has(kFieldLatitudeDegrees);
  return !longitude || !latitude || (!Has(kFieldTimeZone) && !Has(kFieldZoneName));
}

TableFieldMap MapTableFields(const qzXBase& table) {
  TableFieldMap map;
  map.column.fill(-1);
  map.page = qzxbase_codepage_of_language(table.language_byte());
  for (const TableFieldNames& row : kTableFieldNames) {
    for (const char* name : row.names) {
      if (!name || map.column[row.field] >= 0) continue;
      const int f = table.field_index(name);
      if (f < 0) continue;
      if (ReadableType(table.field_type(f))) {
        map.column[row.field] = f;
      } else {
        map.skipped += (map.skipped.empty() ? "" : ", ") + std::string(table.field_name(f)) + " (type " +
                       table.field_type(f) + ")";
      }
    }
  }
  return map;
}

qzCodePage TableCodePage(const std::string& path, int languageByte, std::string* unknown) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                               ? path.substr(0, dot)
                               : path;
  for (const char* ext : {".cpg", ".CPG"}) {
    if (!qzis_regular_file((stem + ext).c_str())) continue;
    std::ifstream in(stem + ext, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line)) continue;
    JournalNoteRead(stem + ext);
    qzCodePage page;
    if (CodePageOfCpg(line, page)) return page;
    if (unknown) *unknown = Trimmed(line);
    break;
  }
  return qzxbase_codepage_of_language(languageByte);
}

EventRecord ReadTableMember(qzXBase& table, const TableFieldMap& map, int liveIndex, std::string* problem,
                            std::string* zoneName) {
  std::string first;  // the first value that cannot be read
  auto name = [&](MemberField f) { return std::string(table.field_name(map.column[f])); };
  auto note = [&](const std::string& why) {
    if (first.empty()) first = why;
  };
  auto text = [&](MemberField f) { return map.Has(f) ? table.read_field(liveIndex, map.column[f]) : std::string(); };
  auto number = [&](MemberField f, bool required) {
    if (!map.Has(f)) return 0.0;
    const std::string t = text(f);
    const FieldNumber n = ParseNumber(t, table.field_type(map.column[f]));
    if (n.bad) note(name(f) + " '" + Trimmed(t) + "' is not a number");
    else if (n.empty && required) note(name(f) + " is empty");
    return n.value;
  };
  auto whole = [&](MemberField f, bool required) { return static_cast<int32_t>(number(f, required)); };
  auto words = [&](MemberField f) { return TextAsUtf8(Trimmed(text(f)), map.page); };

  EventRecord r{};
  CopyRecordText(r.familyName, sizeof r.familyName, words(kFieldLastName).c_str());
  CopyRecordText(r.firstName, sizeof r.firstName, words(kFieldFirstName).c_str());
  CopyRecordText(r.place, sizeof r.place, words(kFieldCity).c_str());

  int date[3] = {0, 0, 0};  // year, month, day of the date field
  if (map.Has(kFieldDate) && !(map.Has(kFieldYear) && map.Has(kFieldMonth) && map.Has(kFieldDay))) {
    const std::string t = Trimmed(text(kFieldDate));
    if (t.empty()) note(name(kFieldDate) + " is empty");
    else if (!ParseDate(t, date[0], date[1], date[2])) note(name(kFieldDate) + " '" + t + "' is not a date");
  }
  r.year = map.Has(kFieldYear) ? whole(kFieldYear, true) : date[0];
  r.month = map.Has(kFieldMonth) ? whole(kFieldMonth, true) : date[1];
  r.day = map.Has(kFieldDay) ? whole(kFieldDay, true) : date[2];

  int clock[3] = {0, 0, 0};  // hour, minute, second of the time field
  if (map.Has(kFieldTime) && !(map.Has(kFieldHour) && map.Has(kFieldMinute))) {
    const std::string t = Trimmed(text(kFieldTime));
    if (t.empty()) note(name(kFieldTime) + " is empty");
    else if (!ParseTime(t, clock[0], clock[1], clock[2])) note(name(kFieldTime) + " '" + t + "' is not a time");
  }
  r.hour = map.Has(kFieldHour) ? whole(kFieldHour, true) : clock[0];
  r.minute = map.Has(kFieldMinute) ? whole(kFieldMinute, true) : clock[1];
  r.second = map.Has(kFieldSecond) ? whole(kFieldSecond, false) : clock[2];
  r.timeZone = whole(kFieldTimeZone, false);
  r.summerTime = whole(kFieldSummerTime, false);

  if (map.Has(kFieldLongitude)) {
    SplitDegreesMinutes(number(kFieldLongitude, false), r.longitudeDegrees, r.longitudeMinutes);
  } else {
    r.longitudeDegrees = whole(kFieldLongitudeDegrees, false);
    r.longitudeMinutes = whole(kFieldLongitudeMinutes, false);
  }
  if (map.Has(kFieldLatitude)) {
    SplitDegreesMinutes(number(kFieldLatitude, false), r.latitudeDegrees, r.latitudeMinutes);
  } else {
    r.latitudeDegrees = whole(kFieldLatitudeDegrees, false);
    r.latitudeMinutes = whole(kFieldLatitudeMinutes, false);
  }
  if (zoneName) {
    *zoneName = Trimmed(text(kFieldZoneName));
    while (!zoneName->empty() && zoneName->back() == ' ') zoneName->pop_back();
  }
  if (problem) *problem = first;
  return r;
}
