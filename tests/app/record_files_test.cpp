// The texts of a record's files: CSV and JSON quoting, dates, numbers,
// and the replay lines of the answers a module took.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/module_record.h"
#include "app/record_files.h"
#include "data/run_journal.h"

TEST(RecordFiles, CsvAndJsonQuoteWhatWouldBreakAField) {
  EXPECT_EQ(CsvField("Zürich"), "Zürich");
  EXPECT_EQ(CsvField("Meier, Anna"), "\"Meier, Anna\"");
  EXPECT_EQ(CsvField("the \"K\" place"), "\"the \"\"K\"\" place\"");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(JsonString("a \"b\" \\ c\n\td\x01"), "\"a \\\"b\\\" \\\\ c\\n\\td\\u0001\"");
  // Full precision: the CSV number reads back as the same double.
  for (double v : {0.1 + 0.2, 57.2, -1e-300, 123456789.123456789})
    EXPECT_EQ(std::strtod(CsvNumber(v).c_str(), nullptr), v) << CsvNumber(v);
}

TEST(RecordFiles, AnswerNumbersAreShortAndExact) {
  EXPECT_EQ(ShortestNumberText(57.2), "57.2");
  EXPECT_EQ(ShortestNumberText(0), "0");
  EXPECT_EQ(ShortestNumberText(-3), "-3");
  EXPECT_EQ(ShortestNumberText(1e22), "1e+22");
  for (double v : {0.1 + 0.2, 1.0 / 3.0, 10.24, 5e-324})
    EXPECT_EQ(std::strtod(ShortestNumberText(v).c_str(), nullptr), v) << ShortestNumberText(v);
}

TEST(RecordFiles, JulianDatesToTheNearestSecond) {
  EXPECT_EQ(IsoDateOfJulian(2451545.0), "2000-01-01T12:00:00Z");
  EXPECT_EQ(IsoDateOfJulian(2299160.5), "1582-10-15T00:00:00Z");  // the first Gregorian day
  EXPECT_EQ(IsoDateOfJulian(2299160.5 - 1.0 / 86400), "1582-10-04T23:59:59Z");
  // 0.4 s before midnight rounds into the next day, not to 24:00:00.
  EXPECT_EQ(IsoDateOfJulian(2451545.5 - 0.4 / 86400), "2000-01-02T00:00:00Z");
  EXPECT_EQ(IsoDateOfJulian(2451545.5 - 0.6 / 86400), "2000-01-01T23:59:59Z");
  EXPECT_EQ(IsoTimeUtc(0), "1970-01-01T00:00:00Z");
}

TEST(RecordFiles, TablesNameBodiesSumsAndKeepMembersInOrder) {
  RunJournal j;
  j.matrices.push_back({"continuum", "H", 0, 10, 0.5});
  j.matrices.push_back({"group", "DA", 3, kRowSum, -2.25});
  j.matrices.push_back({"group", "DA", kRowSum, kRowSum, 7});
  EXPECT_EQ(MatricesCsv(j),
            "table,matrix,row,column,value\r\ncontinuum,H,Sun,IC,0.5\r\ngroup,DA,Venus,SUM,-2.25\r\n"
            "group,DA,SUM,SUM,7\r\n");
  j.curves.push_back({2451545.0, 1.5, "I", kRowSum});
  EXPECT_EQ(CurvesCsv(j), "jd,date_utc,kind,body,value\r\n2451545,2000-01-01T12:00:00Z,I,SUM,1.5\r\n");
  JournalMember late, early;
  late.number = 5;
  late.lastName = "Meier, A.";
  late.leftOutBecause = "month 13";
  early.number = 2;
  early.used = true;
  early.jd = 2451545.25;
  j.members = {late, early};
  const std::string members = MembersCsv(j);
  EXPECT_LT(members.find("\r\n2,"), members.find("\r\n5,\"Meier, A.\""));
  EXPECT_NE(members.find(",2451545.25,1,\r\n"), std::string::npos) << members;
  EXPECT_NE(members.find(",,0,month 13\r\n"), std::string::npos) << "a left-out member has no jd";
  EXPECT_EQ(EventsCsv(RunJournal{}), "") << "no table without rows";
}

TEST(RecordFiles, ReplayLinesGiveEveryAnswerItsQuestion) {
  ModuleRecord r;
  r.label = "2- Event Analysis";
  r.journal.answers = {{"\n How much events?: ", "8", "", true},
                       {"Open", "", "", false},
                       {"a -> b", "3", "", true},
                       {"Select event data", "1 1 0", "", true}};
  EXPECT_EQ(ReplayLines(r),
            "run 2- Event Analysis\n"
            "How much events?: -> 8\n"
            "# \"Open\" was cancelled, which a script cannot do\n"
            "3\n"
            "Select event data -> 1 1 0\n");
}

TEST(RecordFiles, LargeCurveTablesGoOutInPiecesThatStopOnAFailedWrite) {
  RunJournal j;
  for (int m = 0; m < 3000; ++m)
    for (int body = kRowSum; body <= 10; ++body) j.curves.push_back({2445335.5 + m / 1000.0, m * 0.5 + body, "H", body});
  std::string joined;
  int pieces = 0;
  EXPECT_TRUE(WriteCurvesCsv(j, [&](const std::string& piece) {
    joined += piece;
    return ++pieces > 0;
  }));
  EXPECT_GT(pieces, 2);
  EXPECT_EQ(joined, CurvesCsv(j));
  // The date is that of each point's own moment, also where it is taken once per moment.
  EXPECT_NE(joined.find("\r\n2445336.5,1983-01-02T00:00:00Z,H,SUM,499\r\n"), std::string::npos);
  EXPECT_NE(joined.find("\r\n2445336.5,1983-01-02T00:00:00Z,H,IC,510\r\n"), std::string::npos);
  int calls = 0;
  EXPECT_FALSE(WriteCurvesCsv(j, [&](const std::string&) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2) << "no writing after the first failure";
}
