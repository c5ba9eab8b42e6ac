// The event analysis run headless through its dialogs, after the continuum,
// in a temporary folder: its files against sums formed here from the
// members' charts, the three member sources, and the ways it ends early.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analyses/continuum.h"
#include "analyses/event_analysis.h"
#include "analyses/event_analysis_graphic.h"
#include "app/testing.h"
#include "core/chart.h"
#include "core/matrices.h"
#include "qzk/pixmap.h"
#include "qzk/xbase.h"
#include "events_session.h"

using namespace events_session;

namespace {

EventRecord Person(int year, int month, int day, int hour, int minute, int summer, int lonD, int lonM, int latD,
                   int latM, int zone = 1) {
  EventRecord r{};
  r.year = year;
  r.month = month;
  r.day = day;
  r.hour = hour;
  r.minute = minute;
  r.timeZone = zone;
  r.summerTime = summer;
  r.longitudeDegrees = lonD;
  r.longitudeMinutes = lonM;
  r.latitudeDegrees = latD;
  r.latitudeMinutes = latM;
  return r;
}

// The first three example persons as the table states them.
const std::vector<EventRecord> kFirstThree = {Person(1952, 3, 14, 6, 45, 0, 14, 59, 51, 9),
                                              Person(1961, 7, 2, 14, 20, 0, 9, 56, 49, 48),
                                              Person(1974, 11, 23, 23, 5, 0, 10, 25, 53, 15)};

// The group's full matrices [H, I, D, DA] from the builders, weighted as
// the continuum's datplanet.txt and self-correlation say.
std::vector<std::vector<double>> ExpectedMatrices(const std::vector<EventRecord>& members, int order,
                                                  const std::vector<double>& w) {
  std::vector<std::vector<double>> m(4, std::vector<double>(121, 0.0));
  for (const EventRecord& r : members) {
    ChartRecord chart{};
    ComputeChart(r, chart);
    HarmonicMatrix H, D;
    BuildHarmony(SharedWaveTables(), order, chart.pos, H);
    BuildDynamic(SharedWaveTables(), order, chart.pos, D, chart.motion);
    for (int l = 0; l <= 10; ++l) {
      for (int g = 0; g <= 10; ++g) {
        const double f = w[l] * w[g] / members.size();
        m[0][l * 11 + g] += f * H[l][g];
        m[1][l * 11 + g] += f * std::fabs(H[l][g]);
        m[2][l * 11 + g] += f * D[l][g];
        m[3][l * 11 + g] += f * std::fabs(D[l][g]);
      }
    }
  }
  return m;
}

void ExpectValues(const std::vector<double>& got, const std::vector<double>& want, const char* file) {
  ASSERT_EQ(got.size(), want.size()) << file;
  for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-6 + 1e-9 * std::fabs(want[i])) << file << " line " << i + 1;
}

TEST(EventAnalysisModule, TableAndListsGiveTheSameGroup) {
  WorkbenchSession s(Modules());
  CopyExamples(s);
  Continuum(s, 3);
  const std::string datdat = Bytes("datdat.txt"), datplanet = Bytes("datplanet.txt");

  Start(s);
  FromTable(s, "persons.dbf", 1);
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  const auto fromTable = GroupFiles();

  // The continuum's settings come back as they were read.
  EXPECT_EQ(fromTable.at("datdat.txt"), datdat);
  EXPECT_EQ(fromTable.at("datplanet.txt"), datplanet);
  EXPECT_EQ(fromTable.at("eventsdat.txt"), "3\n");
  EXPECT_EQ(fromTable.at("name.txt"), "Käthe Größer\n");
  EXPECT_FALSE(Exists("timegeburt.txt"));

  // The group matrices against the members' charts.
  const std::vector<double> w = Reals("datplanet.txt");
  ASSERT_EQ(w.size(), 11u);
  const auto want = ExpectedMatrices(kFirstThree, 4, w);
  ExpectValues(Reals("dath.txt"), want[0], "dath.txt");
  ExpectValues(Reals("dati.txt"), want[1], "dati.txt");
  ExpectValues(Reals("datz.txt"), want[2], "datz.txt");
  ExpectValues(Reals("data.txt"), want[3], "data.txt");
  EXPECT_EQ(fromTable.at("datd.txt"), fromTable.at("datz.txt"));
  EXPECT_EQ(fromTable.at("datda.txt"), fromTable.at("data.txt"));
  std::vector<double> rows(11, 0.0), totals(4, 0.0);
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < 121; ++i) totals[k] += want[k][i];
  for (int i = 0; i < 121; ++i) rows[i / 11] += want[0][i];
  ExpectValues(Reals("zsummh.txt"), rows, "zsummh.txt");
  ExpectValues(Reals("matrixsumevent.txt"), totals, "matrixsumevent.txt");
  EXPECT_EQ(Reals("juliandat.txt").size(), 3u);
  EXPECT_NEAR(Reals("juliandat.txt")[0], EventJulianDate(kFirstThree[0]), 1e-6);

  // The pages: every member on page 6, the four tables on page 2.
  const std::string page6 = s.Text(6), page2 = s.Text(2);
  EXPECT_NE(page6.find("Number of the elements : 3"), std::string::npos) << page6;
  EXPECT_NE(page6.find("y1961"), std::string::npos) << page6;
  EXPECT_NE(page2.find("Harmony of command wave:"), std::string::npos);
  EXPECT_NE(page2.find("Time dynamics of command wave (absolute):"), std::string::npos);
  // The H table's first row: its number, then the cells and the row sum
  // straight after it, as dath.txt and zsummh.txt hold them.
  {
    const std::vector<double> h = Reals("dath.txt"), rowSums = Reals("zsummh.txt");
    std::string row = "\n  1";
    char cell[32];
    for (int g = 0; g < 11; ++g) {
      std::snprintf(cell, sizeof cell, "    %7.2f", h[g]);
      row += cell;
    }
    std::snprintf(cell, sizeof cell, "     %8.2f \n  2", rowSums[0]);
    row += cell;
    EXPECT_NE(page2.find(row), std::string::npos) << row << "\n" << page2;
  }
  EXPECT_NE(s.Text(6).find("Members used: 3 of 3"), std::string::npos);

  // Graphic 3: in each column a row's bar passes the CONTINUUM line where
  // the group's row sum is above the continuum's (zsh..zsda), and stops
  // short of it where it is below. Rows too close to the line are skipped.
  const qzPixmap& g = s.Graphic(3);
  ASSERT_EQ(g.width, 2304);
  ASSERT_EQ(g.height, 1500);
  const char* groupRows[4] = {"zsummh.txt", "zsummi.txt", "zsummd.txt", "zsummda.txt"};
  const char* continuumRows[4] = {"zshcontinuum.txt", "zsicontinuum.txt", "zsdcontinuum.txt", "zsdacontinuum.txt"};
  const ComparisonLayout& L = kComparisonLayout;
  int checked = 0;
  for (int k = 0; k < 4; ++k) {
    const std::vector<double> gr = Reals(groupRows[k]), co = Reals(continuumRows[k]);
    double scale = 0;
    for (int b = 0; b < 11; ++b) scale = std::max({scale, std::fabs(gr[b] - co[b]), std::fabs(co[b])});
    for (int b = 0; b < 11; ++b) {
      const double step = 0.9 * L.half * (gr[b] - co[b]) / scale;
      if (std::fabs(step) < 8) continue;
      const int y = L.RowY(b) + L.barHeight / 2;
      const uint32_t beyond = qzpxmap_getpixel(g, L.LineX(k) + 5, y) & 0xFFFFFF;
      const uint32_t before = qzpxmap_getpixel(g, L.LineX(k) - 5, y) & 0xFFFFFF;
      const uint32_t bar = qzpxmap_getpixel(g, L.BarX(k) + 1, y) & 0xFFFFFF;
      EXPECT_EQ(before == bar, step > 0) << "column " << k << " body " << b << ", left of the line";
      EXPECT_EQ(beyond == bar, step > 0) << "column " << k << " body " << b << ", right of the line";
      EXPECT_NE(before, 0xFFFFFFu);  // the bar's room is grey, never the page's white
      ++checked;
    }
  }
  EXPECT_GT(checked, 10);

  // The same members from the text lists: the same files, byte for byte.
  Start(s);
  FromLists(s, 3);
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  const auto fromLists = GroupFiles();
  for (const std::string& f : kGroupFiles) EXPECT_EQ(fromLists.at(f), fromTable.at(f)) << f;
  EXPECT_EQ(s.Text(6).find("ATTENTION * GMT is calculated *"), std::string::npos) << "all fields were chosen";
}

TEST(EventAnalysisModule, OneShiftedMemberWritesItsMoment) {
  WorkbenchSession s(Modules());
  CopyExamples(s);
  Continuum(s, 1);
  // Record 4: 30.5.1983 08:10; one day on, then 30 hours back: 30.5. 02:10.
  Start(s, 1, -30);
  FromTable(s, "persons.dbf", 4);
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_EQ(Bytes("timegeburt.txt"), "1983\n5\n30\n2\n10\n");
  EXPECT_EQ(Bytes("dattimeshiftd.txt"), "1\n");
  EXPECT_EQ(Bytes("dattimeshifth.txt"), "-30\n");
  EXPECT_EQ(Bytes("juliansummerz.txt"), "1\n");
  EXPECT_EQ(Bytes("name.txt"), "Frédéric Bäumler\n");
  const auto want = ExpectedMatrices({Person(1983, 5, 30, 2, 10, 1, 7, 45, 48, 35)}, 4, Reals("datplanet.txt"));
  ExpectValues(Reals("dath.txt"), want[0], "dath.txt");
  EXPECT_NE(s.Text(6).find("gruppe i: 1 a 1983 m 5 d 30 h 2 min 10 zeitzone 1 sommerzeit 1"), std::string::npos);
}

TEST(EventAnalysisModule, MembersPickedByHand) {
  WorkbenchSession s(Modules());
  CopyExamples(s);
  Continuum(s, 2);
  s.Answer("Has the continuum run before -> yes");
  s.Answer("read data automatically -> no");
  s.Answer("time shift d -> 0");
  s.Answer("time shift h -> 0");
  s.Answer("Open -> persons.dbf");
  s.Answer("choose the members -> 3 1");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  const auto want = ExpectedMatrices({kFirstThree[2], kFirstThree[0]}, 4, Reals("datplanet.txt"));
  ExpectValues(Reals("dath.txt"), want[0], "dath.txt");
  EXPECT_EQ(Bytes("name.txt"), "Jürgen Müller\n");  // the last one picked
  EXPECT_NE(s.Text(6).find("choose the members with double click left !!"), std::string::npos);
}

TEST(EventAnalysisModule, BadRecordsAreNamedAndLeftOut) {
  WorkbenchSession s(Modules());
  ASSERT_TRUE(qzXBase::create("bad.dbf", {{"LASTNAME", 'C', 20, 0},
                                          {"YEAR", 'N', 5, 0},
                                          {"MONTH", 'N', 3, 0},
                                          {"DAY", 'N', 3, 0},
                                          {"HOUR", 'N', 3, 0},
                                          {"MINUTE", 'N', 3, 0}}));
  {
    qzXBase t;
    ASSERT_TRUE(t.open("bad.dbf"));
    const int rows[3][5] = {{1970, 13, 1, 12, 0}, {1971, 5, 0, 12, 0}, {1972, 6, 15, 12, 30}};
    for (const auto& row : rows) {
      ASSERT_GE(t.append_record(), 0);
      t.write_field(0, "%s", "Probe");
      for (int f = 0; f < 5; ++f) t.write_field(f + 1, "%d", row[f]);
    }
  }
  Continuum(s, 3);
  Start(s);
  FromTable(s, "bad.dbf", 1);
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  const std::string text = s.Text(6);
  EXPECT_NE(text.find("record 1 left out: month 13 is not 1..12"), std::string::npos) << text;
  EXPECT_NE(text.find("record 2 left out: day 0 is not 1..31"), std::string::npos);
  EXPECT_NE(text.find("Members used: 1 of 3"), std::string::npos);
  EXPECT_NE(text.find("ATTENTION * GMT is calculated *"), std::string::npos);
  EXPECT_EQ(Bytes("eventsdat.txt"), "1\n");  // the control groups take the size used
  EXPECT_EQ(Bytes("timegeburt.txt"), "1972\n6\n15\n12\n30\n");
  const auto want = ExpectedMatrices({Person(1972, 6, 15, 12, 30, 0, 0, 0, 0, 0, 0)}, 4, Reals("datplanet.txt"));
  ExpectValues(Reals("dath.txt"), want[0], "dath.txt");
}

// Each of these ends the module with its message and writes no group file;
// the program goes on and the next run works.
TEST(EventAnalysisModule, UnusableInputEndsOnlyTheModule) {
  WorkbenchSession s(Modules());
  CopyExamples(s);

  s.Answer("Has the continuum run before -> yes");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_NE(s.Text(6).find("matrixsumcontinuum.txt not exist or not closed : start new"), std::string::npos);

  Continuum(s, 2);
  std::remove("zshcontinuum.txt");
  s.Answer("Has the continuum run before -> yes");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_NE(s.Text(6).find("zshcontimuum.txt not exist or not closed : "), std::string::npos);

  Continuum(s, 2);
  std::ofstream("broken.dbf", std::ios::binary) << "not a table at all";
  Start(s);
  s.Answer("INPUT from *.dbf -> yes");
  s.Answer("Open -> broken.dbf");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_NE(s.Text(6).find("E R R O R opening database "), std::string::npos) << s.Text(6);
  EXPECT_NE(s.Text(6).find("broken.dbf\n"), std::string::npos);

  ASSERT_TRUE(qzXBase::create("strange.dbf", {{"COLOUR", 'C', 10, 0}, {"SIZE", 'N', 4, 0}}));
  Start(s);
  s.Answer("INPUT from *.dbf -> yes");
  s.Answer("Open -> strange.dbf");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_NE(s.Text(6).find("strange.dbf\n"), std::string::npos);
  EXPECT_NE(s.Text(6).find("The table has no field named as a member field"), std::string::npos);

  ASSERT_TRUE(qzXBase::create("dates.dbf", {{"LASTNAME", 'C', 10, 0}, {"YEAR", 'N', 4, 0}, {"DAY", 'N', 2, 0}}));
  Start(s);
  s.Answer("INPUT from *.dbf -> yes");
  s.Answer("Open -> dates.dbf");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_NE(s.Text(6).find("has no field MONTH (or DATE), HOUR, MINUTE (or TIME): the time is not known"), std::string::npos);

  Start(s);
  FromLists(s, 2, "1 1 1 1 1 1 1 0 1 1 1 1");  // no month
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_NE(s.Text(6).find("ATTENTIONE The time is not correct! The program is termineted!! *"), std::string::npos);

  std::remove("Current_City.txt");
  Start(s);
  FromLists(s, 2);
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_NE(s.Text(6).find("\n City.txt not exist or not closed : "), std::string::npos);

  for (const char* f : {"dath.txt", "zsummh.txt", "matrixsumevent.txt", "juliandat.txt", "name.txt"})
    EXPECT_FALSE(Exists(f)) << f;

  // A settings file that is not the continuum's.
  const std::string datdat = Bytes("datdat.txt");
  std::ofstream("datdat.txt", std::ios::binary) << "7\n2\n";
  s.Answer("Has the continuum run before -> yes");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_NE(s.Text(6).find("datdat.txt: the last body 7 is not 9..10; run the continuum again"), std::string::npos);
  std::ofstream("datdat.txt", std::ios::binary) << datdat;

  // And after all that, a run that works.
  Start(s);
  FromLists(s, 2, "1 1 0 1 1 1 1 1 1 1 1 1");
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_TRUE(Exists("dath.txt"));
}

}  // namespace

namespace {

// Without the IC: ten lines per body and a hundred per matrix; the answer
// that the continuum has not run asks the weights (which cannot replace
// the continuum's) and the number of events.
TEST(EventAnalysisModule, WithoutICAndTheQuestionsOfAFreshStart) {
  WorkbenchSession s(Modules());
  CopyExamples(s);
  s.Answer("Order of the correlation -> 2");
  s.Answer("with IC -> no");
  s.Answer("Members of the group -> 5");
  s.Answer("Should planets be selected -> no");
  s.Answer("Should the planets get a weight -> no");
  s.Answer("Should self-correlations -> no");
  s.Answer("Enter start-date -> 1.1.1980 0:00");
  s.Answer("Enter end-date -> 1.1.1981 0:00");
  s.Answer("* Number per interval -> 10");
  s.Answer("Selection accidental -> no");
  ASSERT_TRUE(s.Run(kContinuum)) << s.Error();
  const std::string datplanet = Bytes("datplanet.txt");

  s.Answer("Has the continuum run before -> no");
  s.Answer("Should the planets get a weight? -> yes");
  s.Answer("gravity planets -> - - - - - - - - - - -");
  s.Answer("read data automatically -> yes");
  s.Answer("How much events -> 2");
  s.Answer("time shift d -> 0");
  s.Answer("time shift h -> 0");
  FromLists(s, 2);
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();

  EXPECT_EQ(Bytes("datplanet.txt"), datplanet);  // all ten weights 1.000000
  EXPECT_EQ(Bytes("datdat.txt"), "9\n5\n");
  EXPECT_EQ(Bytes("eventsdat.txt"), "2\n");
  EXPECT_NE(s.Text(6).find("The weights of the continuum (datplanet.txt) are used."), std::string::npos);
  EXPECT_EQ(Reals("dath.txt").size(), 100u);
  EXPECT_EQ(Reals("datda.txt").size(), 100u);
  EXPECT_EQ(Reals("zsummd.txt").size(), 10u);
  EXPECT_EQ(Reals("juliandat.txt").size(), 2u);
  std::vector<double> w(10, 1.0);
  w.push_back(0.0);  // the IC takes no part
  const auto want = ExpectedMatrices({kFirstThree[0], kFirstThree[1]}, 2, w);
  std::vector<double> withoutIC;
  for (int l = 0; l < 10; ++l)
    for (int g = 0; g < 10; ++g) withoutIC.push_back(l == g ? 0.0 : want[0][l * 11 + g]);
  ExpectValues(Reals("dath.txt"), withoutIC, "dath.txt");
  const std::string page2 = s.Text(2);
  EXPECT_NE(page2.find("X          SUMME"), std::string::npos) << page2;
  EXPECT_EQ(page2.find(" 11   "), std::string::npos);
}

TEST(EventAnalysisModule, AnOffsetPastTheTableEndsTheGroupThere) {
  WorkbenchSession s(Modules());
  CopyExamples(s);
  Continuum(s, 3);
  Start(s);
  FromTable(s, "persons.dbf", 7);
  ASSERT_TRUE(s.Run(kEvents)) << s.Error();
  EXPECT_NE(s.Text(6).find("record 9: the table holds only 8 records"), std::string::npos);
  EXPECT_NE(s.Text(6).find("Members used: 2 of 3"), std::string::npos) << "the 3 asked are named";
  EXPECT_NE(s.Text(6).find("The group has 2 of the 3 members asked: the control groups of the matrix "
                           "probability get 2 (eventsdat.txt)"),
            std::string::npos);
  EXPECT_EQ(Bytes("eventsdat.txt"), "2\n");
  EXPECT_EQ(Bytes("name.txt"), "José Ibáñez\n");
}

}  // namespace
