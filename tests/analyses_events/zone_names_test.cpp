// The event analysis with time-zone names: a table whose zone-name field
// stands for its time-zone and summer-time fields, and the optional list
// Current_Zonename.txt, give the same group as the hours entered by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "events_session.h"
#include "qzk/xbase_writer.h"

using namespace events_session;

namespace {

struct Member {
  const char* name;
  double longitude, latitude;  // degrees, the first two decimals minutes
  int year, month, day, hour, minute;
  const char* zone;
  int timeZone, summerTime;  // as entered by hand: the zone's values
  int storedHour, storedMinute;  // the clock time as kept in the whole-hour zone
};

// Summer time, double summer time, winter, the southern summer, and a zone
// of half hours (kept as 12:30 in zone 6).
const Member kMembers[] = {
    {"Berlin", 13.24, 52.31, 1990, 7, 1, 12, 0, "Europe/Berlin", 1, 1, 12, 0},
    {"London", -0.07, 51.30, 1944, 6, 1, 9, 15, "Europe/London", 0, 2, 9, 15},
    {"New York", -74.00, 40.42, 1975, 1, 15, 8, 30, "America/New_York", -5, 0, 8, 30},
    {"Sydney", 151.12, -33.52, 2000, 1, 1, 18, 45, "Australia/Sydney", 10, 1, 18, 45},
    {"Kolkata", 88.21, 22.33, 1980, 3, 10, 12, 0, "Asia/Kolkata", 6, 0, 12, 30},
};

void WriteTable(const std::string& path, bool zoneNames) {
  std::vector<qzXBaseNewField> fields = {{"LASTNAME", 'C', 20, 0}, {"CITY", 'C', 20, 0},   {"LONGITUDE", 'N', 7, 2},
                                         {"LATITUDE", 'N', 7, 2},  {"YEAR", 'N', 5, 0},    {"MONTH", 'N', 3, 0},
                                         {"DAY", 'N', 3, 0},       {"HOUR", 'N', 3, 0},    {"MINUTE", 'N', 3, 0}};
  if (zoneNames) fields.push_back({"ZONENAME", 'C', 32, 0});
  else fields.insert(fields.end(), {{"TIMEZONE", 'N', 3, 0}, {"SUMMERTIME", 'N', 3, 0}});
  qzXBaseWriter w;
  ASSERT_TRUE(w.open(path.c_str(), fields));
  auto number = [](double v, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return std::string(text);
  };
  for (const Member& m : kMembers) {
    w.set(0, m.name);
    w.set(1, m.name);
    w.set(2, number(m.longitude, 2));
    w.set(3, number(m.latitude, 2));
    w.set(4, std::to_string(m.year));
    w.set(5, std::to_string(m.month));
    w.set(6, std::to_string(m.day));
    w.set(7, std::to_string(zoneNames ? m.hour : m.storedHour));
    w.set(8, std::to_string(zoneNames ? m.minute : m.storedMinute));
    if (zoneNames) {
      w.set(9, m.zone);
    } else {
      w.set(9, std::to_string(m.timeZone));
      w.set(10, std::to_string(m.summerTime));
    }
    ASSERT_TRUE(w.add()) << w.error();
  }
  ASSERT_TRUE(w.finish()) << w.error();
}

void RunTable(WorkbenchSession& s, const std::string& table) {
  for (const std::string& f : kGroupFiles)
    if (f != "datdat.txt" && f != "datplanet.txt") std::remove(f.c_str());
  Start(s);
  FromTable(s, table, 1);
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
}

TEST(EventZoneNames, ZoneNameFieldGivesTheGroupOfTheHandEnteredHours) {
  WorkbenchSession s(Modules());
  WriteTable("hand.dbf", false);
  WriteTable("zoned.dbf", true);
  Continuum(s, 5);
  RunTable(s, "hand.dbf");
  const auto want = GroupFiles();
  ASSERT_EQ(want.at("juliansummerz.txt"), "1\n2\n0\n1\n0\n");
  ASSERT_EQ(want.at("julianzeitzone.txt"), "1\n0\n-5\n10\n6\n");

  RunTable(s, "zoned.dbf");
  const std::string page = s.Text(6);
  EXPECT_NE(page.find("Members used: 5 of 5"), std::string::npos) << page;
  EXPECT_EQ(page.find("ATTENTION * GMT is calculated *"), std::string::npos) << "the zone name stands for the zone";
  EXPECT_NE(page.find("record 2: zone Europe/London: time zone 0, summer time 2"), std::string::npos) << page;
  EXPECT_NE(page.find("record 5: zone Asia/Kolkata: time zone 6, summer time 0 (offset 5.5 h: clock time moved by 30 min)"),
            std::string::npos)
      << page;
  const auto got = GroupFiles();
  for (const std::string& f : kGroupFiles) EXPECT_EQ(got.at(f), want.at(f)) << f;
}

TEST(EventZoneNames, UnknownZoneLeavesTheMemberOut) {
  WorkbenchSession s(Modules());
  WriteTable("zoned.dbf", true);
  {
    qzXBase t;
    ASSERT_TRUE(t.open("zoned.dbf"));
    ASSERT_EQ(t.append_record(), 5);
    for (int f = 0; f < 9; ++f) t.write_field(f, "%s", f < 2 ? "X" : f < 4 ? "1" : f == 4 ? "1990" : "1");
    t.write_field(9, "Europe/Nowhere");
  }
  Continuum(s, 6);
  RunTable(s, "zoned.dbf");
  const std::string page = s.Text(6);
  EXPECT_NE(page.find("record 6 left out: zone name: \"Europe/Nowhere\" is no zone name"), std::string::npos) << page;
  EXPECT_NE(page.find("Members used: 5 of 6"), std::string::npos) << page;
}

TEST(EventZoneNames, ZoneNameListGivesTheGroupOfTheHandEnteredLists) {
  WorkbenchSession s(Modules());
  auto list = [](const char* name, auto value) {
    std::ofstream out(std::string("Current_") + name + ".txt");
    for (const Member& m : kMembers) out << value(m) << "\n";
  };
  WriteTable("persons.dbf", false);  // the file dialog comes whatever the source
  std::ofstream("Current_members.txt") << 5 << "\n";
  list("Lastname", [](const Member& m) { return m.name; });
  list("Firstname", [](const Member& m) { return m.name; });
  list("City", [](const Member& m) { return m.name; });
  list("Longitude", [](const Member& m) { return m.longitude; });
  list("Latitude", [](const Member& m) { return m.latitude; });
  list("Year", [](const Member& m) { return m.year; });
  list("Month", [](const Member& m) { return m.month; });
  list("Day", [](const Member& m) { return m.day; });
  list("Timezone", [](const Member& m) { return m.timeZone; });
  list("Summertime", [](const Member& m) { return m.summerTime; });
  list("Hour", [](const Member& m) { return m.storedHour; });
  list("Minute", [](const Member& m) { return m.storedMinute; });
  Continuum(s, 5);
  auto run = [&] {
    for (const std::string& f : kGroupFiles)
      if (f != "datdat.txt" && f != "datplanet.txt") std::remove(f.c_str());
    Start(s);
    FromLists(s, 5, "1 1 1 1 1 1 1 1 1 1 1 1");
    ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  };
  run();
  const auto want = GroupFiles();
  ASSERT_EQ(want.at("juliansummerz.txt"), "1\n2\n0\n1\n0\n");

  // The local clock times and the zone names; the time-zone and summer-time
  // lists are not there.
  list("Hour", [](const Member& m) { return m.hour; });
  list("Minute", [](const Member& m) { return m.minute; });
  list("Zonename", [](const Member& m) { return m.zone; });
  std::remove("Current_Timezone.txt");
  std::remove("Current_Summertime.txt");
  for (const std::string& f : kGroupFiles)
    if (f != "datdat.txt" && f != "datplanet.txt") std::remove(f.c_str());
  Start(s);
  FromLists(s, 5, "1 1 1 1 1 0 1 1 1 1 1 0");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  const std::string page = s.Text(6);
  EXPECT_EQ(page.find("ATTENTION * GMT is calculated *"), std::string::npos) << page;
  EXPECT_NE(page.find("line 4 of Current_Zonename.txt: zone Australia/Sydney: time zone 10, summer time 1"),
            std::string::npos)
      << page;
  const auto got = GroupFiles();
  for (const std::string& f : kGroupFiles) EXPECT_EQ(got.at(f), want.at(f)) << f;
}

}  // namespace
