#include "analyses/members.h"

#include <cmath>

#include "data/zone_record.h"
#include "qzk/xbase_codepage.h"

namespace {

bool IsLeapYear(int year) {
  // Gregorian from 1583 on, Julian before, as the calendar of the charts.
  if (year > 1582) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return year % 4 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int follow = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (follow < 0 || (c >= 0x80 && c < 0xC2)) return false;
    if (i + follow >= s.size() && follow > 0) return false;
    for (int k = 1; k <= follow; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += follow + 1;
  }
  return true;
}

std::string Range(const char* what, int value, int low, int high) {
  return std::string(what) + " " + std::to_string(value) + " is not " + std::to_string(low) + ".." +
         std::to_string(high);
}

}  // namespace

void SplitDegreesMinutes(double value, int32_t& degrees, int32_t& minutes) {
  if (!std::isfinite(value) || std::fabs(value) > 1e6) {
    degrees = minutes = 0;
    return;
  }
  // Hundredths, with a hair added so that 13.59 (held as 13.58999...)
  // does not lose its last minute; the sign goes to both parts.
  double hundredths = std::fabs(value) * 100.0 + 1e-7;
  long long whole = static_cast<long long>(hundredths);
  int sign = value < 0 ? -1 : 1;
  degrees = sign * static_cast<int32_t>(whole / 100);
  minutes = sign * static_cast<int32_t>(whole % 100);
}

std::string TextAsUtf8(const std::string& text, qzCodePage page) {
  return IsUtf8(text) ? text : qzxbase_to_utf8(text, page);
}

std::string NameAsUtf8(const std::string& text) { return TextAsUtf8(text, qzCodePage::cp1252); }

std::string MemberProblem(const EventRecord& r) {
  if (r.year < -4712 || r.year > 9999) return Range("year", r.year, -4712, 9999);
  if (r.month < 1 || r.month > 12) return Range("month", r.month, 1, 12);
  int days = DaysInMonth(r.year, r.month);
  if (r.day < 1 || r.day > days) return Range("day", r.day, 1, days);
  if (r.hour < 0 || r.hour > 23) return Range("hour", r.hour, 0, 23);
  if (r.minute < 0 || r.minute > 59) return Range("minute", r.minute, 0, 59);
  if (r.second < 0 || r.second > 59) return Range("second", r.second, 0, 59);
  if (r.timeZone < -24 || r.timeZone > 24) return Range("time zone", r.timeZone, -24, 24);
  if (r.summerTime < -24 || r.summerTime > 24) return Range("summer time", r.summerTime, -24, 24);
  return "";
}

EventRecord MemberFromLists(const ListColumns& lists, std::size_t i) {
  auto name = [&](int k) { return i < lists.names[k].size() ? NameAsUtf8(lists.names[k][i]) : std::string(); };
  auto coordinate = [&](int k) { return i < lists.coordinates[k].size() ? lists.coordinates[k][i] : 0.0; };
  auto number = [&](int k) { return i < lists.numbers[k].size() ? lists.numbers[k][i] : 0; };
  EventRecord r{};
  CopyRecordText(r.familyName, sizeof r.familyName, name(0).c_str());
  CopyRecordText(r.firstName, sizeof r.firstName, name(1).c_str());
  CopyRecordText(r.place, sizeof r.place, name(2).c_str());
  SplitDegreesMinutes(coordinate(0), r.longitudeDegrees, r.longitudeMinutes);
  SplitDegreesMinutes(coordinate(1), r.latitudeDegrees, r.latitudeMinutes);
  r.timeZone = number(0);
  r.year = number(1);
  r.month = number(2);
  r.day = number(3);
  r.hour = number(4);
  r.minute = number(5);
  r.summerTime = number(6);
  return r;
}

bool ApplyMemberZone(EventRecord& record, const std::string& zoneName, std::string& line, std::string& problem) {
  line.clear();
  problem.clear();
  if (zoneName.empty()) return true;
  ZoneFill fill;
  std::string error;
  if (!ApplyZoneName(record, zoneName, fill, error)) {
    problem = "zone name: " + error;
    return false;
  }
  line = "zone " + zoneName + ": time zone " + std::to_string(record.timeZone) + ", summer time " +
         std::to_string(record.summerTime);
  if (fill.clockShiftSeconds != 0)
    line += " (offset " + HoursText(fill.time.TotalSeconds()) + " h: clock time moved by " +
            std::to_string(fill.clockShiftSeconds / 60) + " min)";
  if (!fill.note.empty()) line += "; " + fill.note;
  return true;
}
