// Time zones into records: whole-hour fields, the clock moved for zones
// that are not whole hours, and the chart of the stored record equal to
// the chart of the true universal time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/calendar.h"
#include "core/chart.h"
#include "data/time_zones.h"
#include "data/zone_record.h"

namespace {

EventRecord At(int y, int mo, int d, int h, int mi, int s = 0) {
  EventRecord r = DefaultEventRecord();
  r.year = y, r.month = mo, r.day = d, r.hour = h, r.minute = mi, r.second = s;
  r.longitudeDegrees = 77, r.longitudeMinutes = 13, r.latitudeDegrees = 28, r.latitudeMinutes = 37;
  return r;
}

// The record of the same moment given in universal time.
EventRecord InUniversalTime(const EventRecord& r, int64_t utc) {
  EventRecord u = r;
  SetCivilTime(u, utc, 0);
  u.timeZone = 0;
  u.summerTime = 0;
  return u;
}

// The same universal time, and so the same chart. The sidereal time's
// century term is taken at 0h of the civil date, so records of one moment
// in two zones of different dates differ by some 1e-9 in it.
void ExpectSameChart(const EventRecord& a, const EventRecord& b) {
  EXPECT_DOUBLE_EQ(ChartTime(a), ChartTime(b));
  ChartRecord ca{}, cb{};
  ComputeChart(a, ca);
  ComputeChart(b, cb);
  const double* x = reinterpret_cast<const double*>(&ca);
  const double* y = reinterpret_cast<const double*>(&cb);
  for (size_t i = 0; i < sizeof ca / sizeof(double); ++i) EXPECT_NEAR(x[i], y[i], 1e-7) << "chart value " << i;
}

struct Shifted {
  const char* zone;
  EventRecord local;
  int zoneHours, summerHours;
  EventRecord stored;  // its date and clock time
};

TEST(ZoneRecord, ZonesOfHalvesAndQuartersMoveTheClockAndKeepTheChart) {
  const Shifted cases[] = {
      {"Asia/Kolkata", At(1990, 7, 1, 12, 0), 6, 0, At(1990, 7, 1, 12, 30)},
      {"Asia/Kathmandu", At(2000, 1, 1, 23, 50), 6, 0, At(2000, 1, 2, 0, 5)},         // +5:45, day carried
      {"America/St_Johns", At(1990, 1, 1, 0, 10), -4, 0, At(1989, 12, 31, 23, 40)},   // -3:30, year carried
      {"America/St_Johns", At(1990, 7, 1, 12, 0), -4, 1, At(1990, 7, 1, 11, 30)},     // -2:30 in summer
      {"Australia/Adelaide", At(2000, 1, 1, 12, 0), 10, 1, At(2000, 1, 1, 12, 30)},   // 9:30 + 1
      {"Asia/Tehran", At(2000, 2, 29, 23, 45), 4, 0, At(2000, 3, 1, 0, 15)},          // a leap day carried
      {"Europe/Amsterdam", At(1920, 6, 1, 12, 0, 0), 0, 1, At(1920, 6, 1, 11, 40, 0)}, // +1:19:32 local mean time
  };
  for (const Shifted& c : cases) {
    SCOPED_TRACE(c.zone);
    EventRecord r = c.local;
    ZoneFill fill;
    std::string error;
    ASSERT_TRUE(ApplyZoneName(r, c.zone, fill, error)) << error;
    EXPECT_EQ(r.timeZone, c.zoneHours);
    EXPECT_EQ(r.summerTime, c.summerHours);
    EXPECT_EQ(r.year, c.stored.year);
    EXPECT_EQ(r.month, c.stored.month);
    EXPECT_EQ(r.day, c.stored.day);
    EXPECT_EQ(r.hour, c.stored.hour);
    EXPECT_EQ(r.minute, c.stored.minute);
    EXPECT_NE(fill.clockShiftSeconds, 0);
    // The stored record is the true moment: its universal time in seconds...
    const int64_t stored = std::llround((JulianDate(r.year, r.month, r.day, r.hour, r.minute, r.second,
                                                    r.timeZone + r.summerTime) - 2440587.5) * 86400.0);
    EXPECT_EQ(stored, fill.time.utcSeconds);
    // ... and its chart that of the same moment in universal time.
    ExpectSameChart(r, InUniversalTime(r, fill.time.utcSeconds));
  }
}

TEST(ZoneRecord, WholeHourZonesKeepTheClock) {
  struct Case {
    const char* zone;
    EventRecord local;
    int zone_, summer;
  } cases[] = {
      {"Europe/Berlin", At(1990, 7, 1, 12, 0), 1, 1},   {"Europe/Berlin", At(1990, 1, 1, 12, 0), 1, 0},
      {"Europe/London", At(1944, 6, 1, 12, 0), 0, 2},   {"Europe/Berlin", At(1945, 7, 1, 12, 0), 1, 2},
      {"Europe/Dublin", At(1990, 1, 1, 12, 0), 1, -1},  {"Africa/Windhoek", At(2000, 7, 1, 12, 0), 2, -1},
      {"Antarctica/Troll", At(2020, 7, 1, 12, 0), 0, 2}, {"America/New_York", At(1975, 1, 15, 8, 30), -5, 0},
      {"Australia/Lord_Howe", At(2000, 1, 1, 12, 0), 11, 0},  // 10:30 + 0:30 of summer time
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.local.year));
    EventRecord r = c.local;
    ZoneFill fill;
    std::string error;
    ASSERT_TRUE(ApplyZoneName(r, c.zone, fill, error)) << error;
    EXPECT_EQ(r.timeZone, c.zone_);
    EXPECT_EQ(r.summerTime, c.summer);
    EXPECT_EQ(fill.clockShiftSeconds, 0);
    EXPECT_EQ(r.hour, c.local.hour);
    EXPECT_EQ(r.minute, c.local.minute);
    EXPECT_TRUE(fill.note.empty());
    ExpectSameChart(r, InUniversalTime(r, fill.time.utcSeconds));
  }
}

TEST(ZoneRecord, GapAndFoldAreNamedAndTakeTheOffsetBefore) {
  EventRecord gap = At(1991, 3, 31, 2, 30);
  ZoneFill fill;
  std::string error;
  ASSERT_TRUE(ApplyZoneName(gap, "Europe/Berlin", fill, error)) << error;
  EXPECT_EQ(fill.time.clock, ClockCase::Gap);
  EXPECT_EQ(gap.timeZone, 1);
  EXPECT_EQ(gap.summerTime, 0);
  EXPECT_EQ(fill.note,
            "02:30 on 31.3.1991 does not exist in Europe/Berlin (the clocks went from +1 h to +2 h at 01:00 UT): "
            "read with the offset before the change, +1 h (01:30 UT)");

  EventRecord fold = At(1991, 9, 29, 2, 30);
  ASSERT_TRUE(ApplyZoneName(fold, "Europe/Berlin", fill, error)) << error;
  EXPECT_EQ(fill.time.clock, ClockCase::Fold);
  EXPECT_EQ(fold.summerTime, 1) << "the earlier moment, still summer time";
  EXPECT_NE(fill.note.find("comes twice in Europe/Berlin"), std::string::npos) << fill.note;
  EXPECT_NE(fill.note.find("the earlier is taken, +2 h (00:30 UT)"), std::string::npos) << fill.note;
}

TEST(ZoneRecord, UnknownZonesAndImpossibleDatesChangeNothing) {
  const std::pair<EventRecord, const char*> cases[] = {
      {At(1990, 7, 1, 12, 0), "Europe/Atlantis"}, {At(1990, 7, 1, 12, 0), ""},
      {At(1990, 2, 30, 12, 0), "Europe/Berlin"},  {At(1500, 7, 1, 12, 0), "Europe/Berlin"},
      {At(1990, 13, 1, 12, 0), "Europe/Berlin"},  {At(1990, 7, 1, 24, 0), "Europe/Berlin"}};
  for (const auto& [record, zone] : cases) {
    EventRecord r = record;
    ZoneFill fill;
    std::string error;
    EXPECT_FALSE(ApplyZoneName(r, zone, fill, error)) << zone;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::memcmp(&r, &record, sizeof r), 0);
  }
}

TEST(ZoneRecord, WholeHoursRoundHalvesAwayFromGreenwich) {
  ZoneTime t;
  t.standardSeconds = 19800;  // +5:30
  EXPECT_EQ(WholeHoursOf(t).timeZone, 6);
  EXPECT_EQ(WholeHoursOf(t).clockShiftSeconds, 1800);
  t.standardSeconds = -12600;  // -3:30
  EXPECT_EQ(WholeHoursOf(t).timeZone, -4);
  EXPECT_EQ(WholeHoursOf(t).clockShiftSeconds, -1800);
  t.standardSeconds = 37800, t.summerSeconds = 1800;  // Lord Howe in summer: 10:30 + 0:30
  EXPECT_EQ(WholeHoursOf(t).timeZone, 11);
  EXPECT_EQ(WholeHoursOf(t).summerTime, 0) << "a whole-hour total keeps the clock";
  EXPECT_EQ(WholeHoursOf(t).clockShiftSeconds, 0);
  t.standardSeconds = -12600, t.summerSeconds = 3600;  // Newfoundland in summer: -3:30 + 1
  EXPECT_EQ(WholeHoursOf(t).timeZone, -4);
  EXPECT_EQ(WholeHoursOf(t).summerTime, 1);
  EXPECT_EQ(WholeHoursOf(t).clockShiftSeconds, -1800);
  t.standardSeconds = 3600, t.summerSeconds = -3600;  // Dublin in winter
  EXPECT_EQ(WholeHoursOf(t).timeZone, 1);
  EXPECT_EQ(WholeHoursOf(t).summerTime, -1);
  EXPECT_EQ(WholeHoursOf(t).clockShiftSeconds, 0);
  t.standardSeconds = 1172, t.summerSeconds = 0;  // +0:19:32
  EXPECT_EQ(WholeHoursOf(t).timeZone, 0);
  EXPECT_EQ(WholeHoursOf(t).clockShiftSeconds, -1172);
}

TEST(TimeZones, HoursTextAndUniversalAnswers) {
  EXPECT_EQ(HoursText(3600), "1");
  EXPECT_EQ(HoursText(19800), "5.5");
  EXPECT_EQ(HoursText(-12600), "-3.5");
  EXPECT_EQ(HoursText(20700), "5.75");
  EXPECT_EQ(HoursText(0), "0");
  EXPECT_EQ(HoursText(1172), "0.325556");
  ZoneTime t;
  std::string error;
  ASSERT_TRUE(UniversalZoneTime("Europe/London", -807408000, t, error)) << error;  // 1944-06-01 00:00 UT
  EXPECT_EQ(t.standardSeconds, 0);
  EXPECT_EQ(t.summerSeconds, 7200);
  EXPECT_EQ(t.abbreviation, "BDST");
  EXPECT_FALSE(UniversalZoneTime("Nowhere/Special", 0, t, error));
  EXPECT_TRUE(IsZoneName("Asia/Kolkata"));
  EXPECT_FALSE(IsZoneName("asia/kolkata")) << "names are as the database spells them";
  const std::vector<std::string> names = ZoneNames();
  EXPECT_GT(names.size(), 300u);
  EXPECT_NE(std::find(names.begin(), names.end(), "Antarctica/Troll"), names.end());
}

}  // namespace
