// Member records: degrees and minutes, the checks, the table's fields by name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "analyses/members.h"
#include "analyses/members_pick.h"
#include "qzk/xbase.h"

namespace {

std::string TempTable(const char* name) {
  std::string dir = testing::TempDir() + "/events_members_XXXXXX";
  if (!mkdtemp(dir.data())) return "";
  return dir + "/" + name;
}

TEST(Members, DecimalsAreMinutes) {
  int32_t d = 0, m = 0;
  SplitDegreesMinutes(13.59, d, m);
  EXPECT_EQ(d, 13);
  EXPECT_EQ(m, 59);
  SplitDegreesMinutes(51.11, d, m);
  EXPECT_EQ(d, 51);
  EXPECT_EQ(m, 11);
  SplitDegreesMinutes(-8.3, d, m);  // west: both parts negative
  EXPECT_EQ(d, -8);
  EXPECT_EQ(m, -30);
  SplitDegreesMinutes(0.05, d, m);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(m, 5);
  SplitDegreesMinutes(10.257, d, m);  // a third decimal is dropped
  EXPECT_EQ(d, 10);
  EXPECT_EQ(m, 25);
}

TEST(Members, ProblemsNameTheField) {
  EventRecord r{};
  r.year = 1980;
  r.month = 6;
  r.day = 15;
  r.hour = 12;
  EXPECT_EQ(MemberProblem(r), "");
  r.month = 13;
  EXPECT_EQ(MemberProblem(r), "month 13 is not 1..12");
  r.month = 6;
  r.day = 0;
  EXPECT_EQ(MemberProblem(r), "day 0 is not 1..30");
  r.month = 2;
  r.day = 29;
  r.year = 1900;  // no leap year
  EXPECT_EQ(MemberProblem(r), "day 29 is not 1..28");
  r.year = 2000;
  EXPECT_EQ(MemberProblem(r), "");
  r.hour = 24;
  EXPECT_EQ(MemberProblem(r), "hour 24 is not 0..23");
  r.hour = 0;
  r.timeZone = 30;
  EXPECT_EQ(MemberProblem(r), "time zone 30 is not -24..24");
}

TEST(Members, TableFieldsAreFoundByTheirNamesAndAliases) {
  const std::string path = TempTable("aliases.dbf");
  ASSERT_TRUE(qzXBase::create(path.c_str(), {{"NAME", 'C', 20, 0},
                                             {"Vorname", 'C', 20, 0},
                                             {"jahr", 'N', 4, 0},
                                             {"MONAT", 'N', 2, 0},
                                             {"TAG", 'N', 2, 0},
                                             {"LONDEG", 'N', 4, 0},
                                             {"LONMIN", 'N', 3, 0},
                                             {"NOTE", 'C', 10, 0}}));
  qzXBase table;
  ASSERT_TRUE(table.open(path.c_str()));
  ASSERT_EQ(table.append_record(), 0);
  table.write_field(0, "%s", "M\xFCller");  // Windows ANSI
  table.write_field(1, "%s", "J\xC3\xBCrgen");  // already UTF-8
  table.write_field(2, "%4d", 1961);
  table.write_field(3, "%2d", 7);
  table.write_field(4, "%2d", 2);
  table.write_field(5, "%4d", -4);
  table.write_field(6, "%3d", -25);

  TableFieldMap map = MapTableFields(table);
  EXPECT_EQ(map.Mapped(), 7);
  EXPECT_TRUE(map.Has(kFieldLastName));
  EXPECT_FALSE(map.Has(kFieldCity));
  EXPECT_EQ(map.MissingTimeFields(), "HOUR, MINUTE");
  EXPECT_TRUE(map.PlaceIncomplete());

  EventRecord r = ReadTableMember(table, map, 0);
  EXPECT_STREQ(r.familyName, "M\xC3\xBCller");
  EXPECT_STREQ(r.firstName, "J\xC3\xBCrgen");
  EXPECT_EQ(r.year, 1961);
  EXPECT_EQ(r.month, 7);
  EXPECT_EQ(r.day, 2);
  EXPECT_EQ(r.hour, 0);
  EXPECT_EQ(r.longitudeDegrees, -4);
  EXPECT_EQ(r.longitudeMinutes, -25);
  EXPECT_STREQ(r.place, "");
}

TEST(Members, ListsFillTheChosenFieldsOnly) {
  ListColumns lists;
  lists.names[0] = {"Kühn"};
  lists.coordinates[0] = {6.47};
  lists.numbers[1] = {1990};
  lists.numbers[2] = {8};
  EventRecord r = MemberFromLists(lists, 0);
  EXPECT_STREQ(r.familyName, "Kühn");
  EXPECT_EQ(r.longitudeDegrees, 6);
  EXPECT_EQ(r.longitudeMinutes, 47);
  EXPECT_EQ(r.latitudeDegrees, 0);  // latitude not chosen: Greenwich's equator
  EXPECT_EQ(r.year, 1990);
  EXPECT_EQ(r.month, 8);
  EXPECT_EQ(r.day, 0);  // beyond the lists: caught by MemberProblem
  EXPECT_NE(MemberProblem(MemberFromLists(lists, 1)), "");
  ListColumns ansi;  // a list saved by a Windows editor
  ansi.names[0] = {"Gr\xF6\xDF" "er"};
  EXPECT_STREQ(MemberFromLists(ansi, 0).familyName, "Größer");
}

TEST(Members, PickedNumbersAreCheckedAndTakenOnce) {
  std::string rejected;
  EXPECT_EQ(ParsePickedNumbers("3 1 3  7", 7, rejected), (std::vector<int>{3, 1, 7}));
  EXPECT_EQ(rejected, "");
  EXPECT_EQ(ParsePickedNumbers("0 2 8 x 4a", 7, rejected), (std::vector<int>{2}));
  EXPECT_EQ(rejected, "0 8 x 4a");
}

}  // namespace
