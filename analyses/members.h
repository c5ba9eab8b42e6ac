#pragma once
// The members of an event group: where their records come from (a dBase
// table, the Current_ text lists, or a hand-picked selection) and the
// checks a record must pass before its chart is computed.
//
// dBase tables (members_table.cpp): the table's fields are mapped to the
// record's fields by name (case-insensitive, see kTableFieldNames), in any
// order. Character ("C"), numeric ("N", "F"), date ("D") and logical ("L")
// fields are read; binary and memo fields are left out and named. Numbers
// are read like strtod (a decimal comma as well), then truncated; a logical
// field is 1 for T or Y, 0 for F or N. The date may stand in one field (a
// "D" field, or the texts 19520314, 1952-03-14, 14.3.1952), the clock time
// in one text field ("06:45" or "06:45:30"), instead of the separate year,
// month, day, hour and minute fields. Longitude and latitude are either
// one number whose integer part is degrees and whose first two decimals
// are minutes (13.59 is 13 degrees 59 minutes), or separate degree and
// minute fields. Texts that are not UTF-8 are decoded from the table's
// code page: the one its .cpg file beside it names, else its language
// byte (Windows ANSI for the text lists).
#include <array>
#include <string>
#include <vector>

#include "data/event_record.h"
#include "qzk/xbase_codepage.h"

class qzXBase;

// The record fields a member source can fill, in the order of the text
// lists' "Select event data" dialog (the first twelve), then the extra
// fields a table may carry.
enum MemberField {
  kFieldLastName,
  kFieldFirstName,
  kFieldCity,
  kFieldLongitude,
  kFieldLatitude,
  kFieldTimeZone,
  kFieldYear,
  kFieldMonth,
  kFieldDay,
  kFieldHour,
  kFieldMinute,
  kFieldSummerTime,
  kFieldSecond,
  kFieldLongitudeDegrees,
  kFieldLongitudeMinutes,
  kFieldLatitudeDegrees,
  kFieldLatitudeMinutes,
  kFieldDate,
  kFieldTime,
  kFieldZoneName,
  kMemberFieldCount
};
inline constexpr int kListFieldCount = 12;  // the lists' fields: kFieldLastName .. kFieldSummerTime

// The table field names recognised for each member field (at most 10
// characters, as dBase allows), the first being the one our own tables use.
struct TableFieldNames {
  MemberField field;
  std::array<const char*, 4> names;  // nullptr ends a shorter list
};
inline constexpr std::array<TableFieldNames, kMemberFieldCount> kTableFieldNames{{
    {kFieldLastName, {"LASTNAME", "NAME", "FAMILYNAME", "NACHNAME"}},
    {kFieldFirstName, {"FIRSTNAME", "VORNAME", nullptr, nullptr}},
    {kFieldCity, {"CITY", "PLACE", "ORT", nullptr}},
    {kFieldLongitude, {"LONGITUDE", "LAENGE", nullptr, nullptr}},
    {kFieldLatitude, {"LATITUDE", "BREITE", nullptr, nullptr}},
    {kFieldTimeZone, {"TIMEZONE", "ZONE", "ZEITZONE", nullptr}},
    {kFieldYear, {"YEAR", "JAHR", nullptr, nullptr}},
    {kFieldMonth, {"MONTH", "MONAT", nullptr, nullptr}},
    {kFieldDay, {"DAY", "TAG", nullptr, nullptr}},
    {kFieldHour, {"HOUR", "STUNDE", nullptr, nullptr}},
    {kFieldMinute, {"MINUTE", "MINUTEN", nullptr, nullptr}},
    {kFieldSummerTime, {"SUMMERTIME", "SOMMERZEIT", "DST", nullptr}},
    {kFieldSecond, {"SECOND", "SEKUNDE", nullptr, nullptr}},
    {kFieldLongitudeDegrees, {"LONDEG", "LONG_DEG", nullptr, nullptr}},
    {kFieldLongitudeMinutes, {"LONMIN", "LONG_MIN", nullptr, nullptr}},
    {kFieldLatitudeDegrees, {"LATDEG", "LAT_DEG", nullptr, nullptr}},
    {kFieldLatitudeMinutes, {"LATMIN", "LAT_MIN", nullptr, nullptr}},
    {kFieldDate, {"DATE", "BIRTHDATE", "DATUM", "GEBURT"}},
    {kFieldTime, {"TIME", "BIRTHTIME", "ZEIT", "UHRZEIT"}},
    {kFieldZoneName, {"ZONENAME", "TZNAME", "ZONE_NAME", "TZID"}},
}};
static_assert([] {
  for (int f = 0; f < kMemberFieldCount; ++f)
    if (kTableFieldNames[f].field != f) return false;
  return true;
}(), "the rows in MemberField order");
static_assert(kTableFieldNames.size() == kMemberFieldCount, "one row per member field");

// Which table field (index, -1 for none) holds each member field.
struct TableFieldMap {
  std::array<int, kMemberFieldCount> column;
  // Fields named as a member field but of a type that is not read (binary
  // numbers, memos), as "YEAR (type I), NOTES (type M)"; they count as missing.
  std::string skipped;
  // The code page of the table's texts.
  qzCodePage page = qzCodePage::cp1252;
  bool Has(MemberField f) const { return column[f] >= 0; }
  // How many member fields were found.
  int Mapped() const;
  // The fields a chart cannot do without that are missing (year, month,
  // day, hour, minute; a date or time field stands for its parts), as
  // their table names with the field that could hold them:
  // "YEAR (or DATE), HOUR (or TIME)".
  std::string MissingTimeFields() const;
  // True when longitude, latitude or the time zone (a zone-name field
  // counts as one) is missing: those then count as 0 (Greenwich).
  bool PlaceIncomplete() const;
};

// The map of an open table, its code page from the language byte.
TableFieldMap MapTableFields(const qzXBase& table);

// The code page of the table at `path`: the one named in its .cpg file
// ("CP850", "UTF-8", "1252" ...) when there is one, else the one of its
// language byte. A .cpg naming a code page we cannot decode is reported in
// `unknown` (its text) and the language byte decides.
qzCodePage TableCodePage(const std::string& path, int languageByte, std::string* unknown = nullptr);

// The record of the i-th live record of an open table; fields the map
// lacks are 0 or empty. A value that cannot be read (a number field that
// holds no number, an empty year, month, day, hour or minute, a date that
// is none) reads as 0 and is named in `problem` ("HOUR is empty"), which
// stays empty for a sound record. `zoneName` gets the zone-name field's
// text ("" without one); the record's time zone and summer time are then
// still the table's own, see ApplyMemberZone.
EventRecord ReadTableMember(qzXBase& table, const TableFieldMap& map, int liveIndex,
                            std::string* problem = nullptr, std::string* zoneName = nullptr);

// A member's time zone and summer time from its zone name, for its own
// date and clock time (data/zone_record.h; a zone that is not whole hours
// moves the clock into the nearest whole-hour zone). An empty name leaves
// the record as it is. `line` gets what is printed for the member ("zone
// Europe/Berlin: time zone 1, summer time 1", with a gap or fold note),
// `problem` why the zone gives no answer; false then.
bool ApplyMemberZone(EventRecord& record, const std::string& zoneName, std::string& line, std::string& problem);

// A value in degrees whose first two decimals are minutes, split into
// degrees and minutes of the same sign: 13.59 -> 13, 59; -8.3 -> -8, -30.
// Further decimals are dropped.
void SplitDegreesMinutes(double value, int32_t& degrees, int32_t& minutes);

// A text as UTF-8: kept when it already is valid UTF-8, else decoded from
// the code page (a table's, or Windows ANSI for the text lists).
std::string TextAsUtf8(const std::string& text, qzCodePage page);
std::string NameAsUtf8(const std::string& text);

// Why a record cannot give a chart ("month 13 is not 1..12"), or "" when
// it can: the year (-4712..9999), the month, the day (within the month,
// leap years counted: Julian calendar before 1583, Gregorian after), hour,
// minute, second, time zone and summer time must be in their ranges.
std::string MemberProblem(const EventRecord& record);

// The Current_ text lists, column by column as read; a column that was not
// chosen stays empty and its field counts as 0 (or an empty name).
struct ListColumns {
  std::array<std::vector<std::string>, 3> names;    // last name, first name, city
  std::array<std::vector<double>, 2> coordinates;   // longitude, latitude
  std::array<std::vector<int>, 7> numbers;          // time zone, year, month, day, hour, minute, summer time
};

// Member i (0-based) of the lists.
EventRecord MemberFromLists(const ListColumns& lists, std::size_t i);
