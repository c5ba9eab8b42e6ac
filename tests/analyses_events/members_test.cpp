// Member records: degrees and minutes, the checks, the table's fields by name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <utility>
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
  EXPECT_EQ(map.MissingTimeFields(), "HOUR, MINUTE (or TIME)");
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

// Tables of other programs: a date and a clock time in one field each, a
// logical summer time, a decimal comma; values that are no numbers, dates
// or times are named, never read as 0 unnoticed.
TEST(Members, TableValuesAsTheirFieldTypesSay) {
  const std::string path = TempTable("types.dbf");
  ASSERT_TRUE(qzXBase::create(path.c_str(), {{"Datum", 'C', 10, 0},
                                             {"zeit", 'C', 8, 0},
                                             {"DST", 'L', 1, 0},
                                             {"ZONE", 'N', 3, 0},
                                             {"LAENGE", 'C', 8, 0}}));
  qzXBase table;
  ASSERT_TRUE(table.open(path.c_str()));
  const char* rows[][5] = {{"14.3.1952", "06:45:30", "T", "  1", "14,59"},
                           {"1961-07-02", "14:20", "n", "-2", "9.56"},
                           {"19740229", "23:05", "?", "", ""},
                           {"", "06:45", "F", "1", "1"},
                           {"1952-3", "06:45", "F", "1", "1"},
                           {"14.3.1952", "6h45", "F", "1", "1"},
                           {"14.3.1952", "06:45", "F", "x", "1"},
                           {"14.3.1952", "06:45", "F", "***", "1"},
                           {"14.3.1952", "06:45", "W", "1", "1"}};
  for (const auto& row : rows) {
    ASSERT_GE(table.append_record(), 0);
    for (int f = 0; f < 5; ++f) table.write_field(f, "%s", row[f]);
  }
  TableFieldMap map = MapTableFields(table);
  EXPECT_EQ(map.MissingTimeFields(), "");  // the date and time fields stand for them
  std::string problem;
  EventRecord r = ReadTableMember(table, map, 0, &problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(r.year, 1952);
  EXPECT_EQ(r.month, 3);
  EXPECT_EQ(r.day, 14);
  EXPECT_EQ(r.hour, 6);
  EXPECT_EQ(r.minute, 45);
  EXPECT_EQ(r.second, 30);
  EXPECT_EQ(r.summerTime, 1);
  EXPECT_EQ(r.timeZone, 1);
  EXPECT_EQ(r.longitudeDegrees, 14);
  EXPECT_EQ(r.longitudeMinutes, 59);
  r = ReadTableMember(table, map, 1, &problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(r.year * 10000 + r.month * 100 + r.day, 19610702);
  EXPECT_EQ(r.hour, 14);
  EXPECT_EQ(r.summerTime, 0);
  EXPECT_EQ(r.timeZone, -2);
  r = ReadTableMember(table, map, 2, &problem);
  EXPECT_EQ(problem, "");  // blank zone and longitude are 0; 29 February is MemberProblem's
  EXPECT_EQ(r.summerTime, 0);
  EXPECT_EQ(MemberProblem(r), "day 29 is not 1..28");
  const char* problems[] = {"Datum is empty", "Datum '1952-3' is not a date", "zeit '6h45' is not a time",
                            "ZONE 'x' is not a number", "ZONE '***' is not a number",
                            "DST 'W' is not a number"};
  for (int i = 0; i < 6; ++i) {
    ReadTableMember(table, map, 3 + i, &problem);
    EXPECT_EQ(problem, problems[i]) << "row " << 4 + i;
  }
}

TEST(Members, TheCpgFileBesideTheTableNamesItsCodePage) {
  const std::string path = TempTable("ogr.dbf");
  const std::string cpg = path.substr(0, path.size() - 4) + ".cpg";
  EXPECT_EQ(TableCodePage(path, 0x01), qzCodePage::cp437);  // no .cpg: the language byte
  const std::pair<const char*, qzCodePage> known[] = {{"CP850", qzCodePage::cp850},
                                                       {"850\r\n", qzCodePage::cp850},
                                                       {"ANSI 1252", qzCodePage::cp1252},
                                                       {"UTF-8\n", qzCodePage::utf8},
                                                       {"ISO-8859-1", qzCodePage::latin1}};
  for (const auto& [text, page] : known) {
    std::ofstream(cpg, std::ios::binary) << text;
    std::string unknown;
    EXPECT_EQ(TableCodePage(path, 0x01, &unknown), page) << text;
    EXPECT_EQ(unknown, "");
  }
  std::ofstream(cpg, std::ios::binary) << "KOI8-R\n";
  std::string unknown;
  EXPECT_EQ(TableCodePage(path, 0x02, &unknown), qzCodePage::cp850);
  EXPECT_EQ(unknown, "KOI8-R");
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
