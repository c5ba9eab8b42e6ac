// The whole module, headless, through its dialogs in a temporary folder:
// the event analysis' working files are written here with the working-file
// writer, from a real group made of known moments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analyses/workfiles.h"
#include "app/testing.h"
#include "core/calendar.h"
#include "probability/control_groups.h"
#include "probability/matrix_probability.h"
#include "probability/matrix_probability_pictures.h"
#include "qzk/pixmap.h"

namespace {

const char* kLabel = "4- Matrix Probability";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return in ? s.str() : std::string("<missing>");
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

struct GroupSetup {
  int c = 10;
  int self = 0;
  int events = 10;
  double weights[kWeightSlots] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0};
};

// The working files of a real group with the means `g`.
void WriteGroupFiles(const GroupSetup& setup, const GroupValues& g) {
  const int c = setup.c;
  WriteValues(kDatDat, std::vector<int>{c, setup.events});
  WriteValues(kDatOrd, std::vector<int>{3});
  WriteValues(kSelfKorr, std::vector<int>{setup.self});
  WriteValues(kDatTimeShiftH, std::vector<int>{2});
  WriteValues(kDatTimeShiftD, std::vector<int>{-1});
  WriteValues(kEventsDat, std::vector<int>{setup.events});
  WriteValues(kStartEndYear, std::vector<int>{1900, 2100, 1, 1, 1, 1});
  WriteValues(kDatPlanet, std::vector<double>(setup.weights, setup.weights + c + 1));
  const PerKind<const WorkFile*> rows = {&kZsummH, &kZsummI, &kZsummD, &kZsummDA};
  const PerKind<const WorkFile*> cells = {&kDatH, &kDatI, &kDatZ, &kDatA};
  for (MatrixKind k : kMatrixKinds) {
    WriteValues(*rows[k], std::vector<double>(g.row[k], g.row[k] + c + 1));
    WriteValues(*cells[k], FullMatrixValues(g.cell[k], c));
  }
  WriteValues(kMatrixSumEvent, std::vector<double>(g.total.begin(), g.total.end()));
}

ControlGroupSettings SettingsOf(const GroupSetup& setup, double jd0, double jd1) {
  ControlGroupSettings s;
  s.weights.lastBody = setup.c;
  s.order = 3;
  s.weights.selfCorrelation = setup.self != 0;
  s.eventsPerGroup = setup.events;
  s.jdStart = jd0;
  s.jdEnd = jd1;
  for (int i = 0; i < kWeightSlots; ++i) s.weights.body[i] = setup.weights[i];
  return s;
}

// A real group drawn at random from the period, or one moment repeated.
GroupValues RandomGroup(const ControlGroupSettings& s, uint64_t seed) {
  auto ws = std::make_unique<ControlGroupWorkspace>();
  qzRandomState st;
  qzrandom_state_seed(st, seed);
  GroupValues real, mean;
  ControlGroupCounts ignore;
  DrawControlGroup(SharedWaveTables(), s, real, st, *ws, mean, ignore);
  return mean;
}
GroupValues OneMomentGroup(ControlGroupSettings s, double jd) {
  s.jdStart = s.jdEnd = jd;
  return RandomGroup(s, 1);
}

void AnswerDialogs(WorkbenchSession& s, int groups) {
  s.Answer("Enter start-date -> 1.1.1950 0:00");
  s.Answer("Enter end-date -> 1.1.1970 12:30");
  s.Answer("NUMBER OF THE GROUPS? -> " + std::to_string(groups));
}

// The percentages of one kind's "probability of error" matrix on the
// result page, row by row ("*" cells as NaN).
std::vector<std::vector<double>> ErrorMatrix(const std::string& page, const std::string& kind,
                                             int c) {
  std::vector<std::vector<double>> rows;
  size_t at = page.find("  Matrix " + kind + " of the probability of error:   ");
  if (at == std::string::npos) return rows;
  std::istringstream in(page.substr(at));
  std::string line;
  std::getline(in, line);  // caption
  std::getline(in, line);  // column numbers
  for (int i = 0; i <= c && std::getline(in, line); ++i) {
    std::vector<double> row;
    for (int j = 0; j <= c; ++j) {
      const std::string cell = line.substr(6 + 8 * j, 8);
      row.push_back(cell == "    *   " ? NAN : std::stod(cell));
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<int> Marks(const std::string& file) {
  std::vector<int> v;
  std::istringstream in(Slurp(file));
  for (int m; in >> m;) v.push_back(m);
  return v;
}

TEST(MatrixProbability, RunsThroughItsDialogsAndWritesEveryResult) {
  WorkbenchSession s({{kLabel, RunMatrixProbability}});
  GroupSetup setup;
  setup.weights[4] = 0;  // Mars not used
  const double jd0 = JulianDate(1950, 1, 1, 0, 0, 0, 0), jd1 = JulianDate(1970, 1, 1, 12, 30, 0, 0);
  WriteGroupFiles(setup, RandomGroup(SettingsOf(setup, jd0, jd1), 3));
  AnswerDialogs(s, 40);
  ASSERT_TRUE(s.Run(kLabel)) << s.Error();

  const std::string log = s.Text(6);
  EXPECT_NE(log.find("\n*** Probability of the Matrix *** \nMatrixProbability\n"), std::string::npos);
  EXPECT_NE(log.find("\n MIC1: 10 "), std::string::npos);
  EXPECT_NE(log.find("\n Calculation without self-correlation "), std::string::npos);
  EXPECT_NE(log.find("\n  START: 1. 1. 1950 "), std::string::npos);
  EXPECT_NE(log.find("\n  ENDE: 1. 1. 1970 "), std::string::npos);
  char jd[120];
  std::snprintf(jd, sizeof jd, "\n  JD_start: %f  JD_end: %f Differenz: %f  \n", jd0, jd1, jd1 - jd0);
  EXPECT_NE(log.find(jd), std::string::npos);
  EXPECT_NE(log.find("\n  Events per Group = 10 \n "), std::string::npos);
  EXPECT_NE(log.find("\nmars    weight: 0.000000 "), std::string::npos);
  EXPECT_NE(log.find(" \n ENDE G "), std::string::npos);
  EXPECT_EQ(log.find("WARNUNG"), std::string::npos) << "400 events are fewer than 100 000";

  // The period entered replaces the default.
  EXPECT_EQ(Slurp("startendyear.txt"), "1950\n1970\n1\n1\n1\n1\n");

  // Result page: Mars' row blank, no " PR" for it; the diagonal blank.
  const std::string page = s.Text(3);
  EXPECT_NE(page.find("NUMBER OF THE GROUPS: 40 "), std::string::npos);
  const auto h = ErrorMatrix(page, "H", 10);
  ASSERT_EQ(h.size(), 11u);
  for (int j = 0; j <= 10; ++j) EXPECT_TRUE(std::isnan(h[4][j])) << j;
  for (int i = 0; i <= 10; ++i) EXPECT_TRUE(std::isnan(h[i][i])) << i;
  std::string marsRow = "\n  5   ";
  for (int j = 0; j <= 10; ++j) marsRow += "    *   ";
  EXPECT_NE(page.find(marsRow + "\n"), std::string::npos) << "Mars' row blank, without \" PR\"";

  // The four significance files: 11 rows of 12 marks; no marks for the
  // diagonal, Mars, or Mars' row sum.
  for (const char* f : {"significanceh.txt", "significancei.txt", "significanced.txt", "significanceda.txt"}) {
    const std::vector<int> m = Marks(f);
    ASSERT_EQ(m.size(), 132u) << f;
    for (int i = 0; i <= 10; ++i) {
      EXPECT_EQ(m[i * 12 + i], 0) << f;
      EXPECT_EQ(m[4 * 12 + i], 0) << f;
      EXPECT_EQ(m[i * 12 + 4], 0) << f;
    }
    EXPECT_EQ(m[4 * 12 + 11], 0) << f;
  }
  for (const char* f : {"group-H.bmp", "group-I.bmp", "group-D.bmp", "group-DA.bmp"})
    EXPECT_TRUE(Exists(f)) << f;

  // The significance picture of H on page 5: Mars' cells grey, the
  // others coloured by their percentages.
  const qzPixmap& p5 = s.Graphic(5);
  ASSERT_EQ(p5.width, kPictureWidth);
  EXPECT_EQ(qzpxmap_getpixel(p5, 150 * 2 + 120, 110 * 4 + 100) & 0xFFFFFF, kNotCountedGrey);
  EXPECT_EQ(qzpxmap_getpixel(p5, 150 * 3 + 120, 110 * 1 + 100) & 0xFFFFFF, PercentColour(h[1][3]));
  // The bar chart of DA on page 4: no bar for Mars.
  const qzPixmap& p4 = s.Graphic(4);
  EXPECT_EQ(qzpxmap_getpixel(p4, 645 + 120 * 4 + 15, 1055) & 0xFFFFFF, 0xFFFFFFu);
}

// A real group drawn from the same period is reached by about half of the
// control groups; one moment repeated is far out and gets marks.
TEST(MatrixProbability, RandomRealGroupNear50PercentOneMomentMarked) {
  GroupSetup setup;
  const double jd0 = JulianDate(1950, 1, 1, 0, 0, 0, 0), jd1 = JulianDate(1970, 1, 1, 12, 30, 0, 0);
  const ControlGroupSettings cs = SettingsOf(setup, jd0, jd1);
  double sum = 0;
  int cells = 0, marked = 0, markable = 0;
  {
    WorkbenchSession s({{kLabel, RunMatrixProbability}});
    WriteGroupFiles(setup, RandomGroup(cs, 11));
    AnswerDialogs(s, 100);
    ASSERT_TRUE(s.Run(kLabel)) << s.Error();
    for (const char* kind : {"H", "I", "D", "DA"}) {
      const auto m = ErrorMatrix(s.Text(3), kind, 10);
      ASSERT_EQ(m.size(), 11u);
      for (int i = 0; i <= 10; ++i)
        for (int j = i + 1; j <= 10; ++j) sum += m[i][j], ++cells;
    }
    for (int v : Marks("significanceda.txt")) marked += v > 0;
  }
  EXPECT_NEAR(sum / cells, 50.0, 15.0);
  EXPECT_LT(marked, 40) << "of 121 marks, chance alone gives about 10 %";

  WorkbenchSession s({{kLabel, RunMatrixProbability}});
  WriteGroupFiles(setup, OneMomentGroup(cs, JulianDate(1960, 5, 10, 0, 0, 0, 0)));
  AnswerDialogs(s, 100);
  ASSERT_TRUE(s.Run(kLabel)) << s.Error();
  const auto da = ErrorMatrix(s.Text(3), "DA", 10);
  ASSERT_EQ(da.size(), 11u);
  for (int i = 0; i <= 10; ++i)
    for (int j = i + 1; j <= 10; ++j) {
      ++markable;
      if (da[i][j] <= 5 || da[i][j] >= 95) ++marked;
    }
  EXPECT_GT(marked, markable / 2) << "one moment repeated lies at the edge in most DA cells";
}

// A missing file ends the module with its line, not the program; the
// group size's file is named "events.txt".
TEST(MatrixProbability, AMissingWorkingFileEndsOnlyTheModule) {
  WorkbenchSession s({{kLabel, RunMatrixProbability}});
  GroupSetup setup;
  WriteGroupFiles(setup, GroupValues{});
  std::remove("datord.txt");
  ASSERT_TRUE(s.Run(kLabel)) << s.Error();
  EXPECT_NE(s.Text(6).find("\n datord.txt not exist or not closed : 2  "), std::string::npos);
  EXPECT_FALSE(Exists("significanceh.txt"));

  WriteGroupFiles(setup, GroupValues{});
  std::remove("eventsdat.txt");
  s.Answer("Enter start-date -> 1.1.1950 0:00");
  s.Answer("Enter end-date -> 1.1.1970 0:00");
  ASSERT_TRUE(s.Run(kLabel)) << s.Error();
  EXPECT_NE(s.Text(6).find("\n events.txt not exist or not closed : 2  "), std::string::npos);
  EXPECT_FALSE(Exists("significanceh.txt"));
}

// The continuum, run again after the event analysis, leaves its upper
// triangle in dati.txt: the module names the file and draws nothing.
TEST(MatrixProbability, AMatrixFileInTheContinuumsLayoutIsRefused) {
  WorkbenchSession s({{kLabel, RunMatrixProbability}});
  GroupSetup setup;
  WriteGroupFiles(setup, GroupValues{});
  WriteValues(kDatI, std::vector<double>(55, 1.5));
  AnswerDialogs(s, 10);
  ASSERT_TRUE(s.Run(kLabel)) << s.Error();
  EXPECT_NE(s.Text(6).find("\n ERROR! dati.txt holds 55 of 121 lines: not the group of the event "
                           "analysis. Run the event analysis again. \n"),
            std::string::npos)
      << s.Text(6);
  EXPECT_EQ(s.Text(6).find("ENDE G"), std::string::npos);
  EXPECT_FALSE(Exists("significanceh.txt"));
}

// A group size of 0 has no mean: a clear line, no control groups, no
// results.
TEST(MatrixProbability, AnEmptyGroupIsRefused) {
  WorkbenchSession s({{kLabel, RunMatrixProbability}});
  GroupSetup setup;
  setup.events = 0;
  WriteGroupFiles(setup, GroupValues{});
  WriteValues(kDatDat, std::vector<int>{setup.c, 8});  // the continuum's group as it was
  s.Answer("Enter start-date -> 1.1.1950 0:00");
  s.Answer("Enter end-date -> 1.1.1970 0:00");
  ASSERT_TRUE(s.Run(kLabel)) << s.Error();
  EXPECT_NE(s.Text(6).find("\n eventsdat.txt: the number of events 0 is not 1..1000; run the event "
                           "analysis again \n"),
            std::string::npos)
      << s.Text(6);
  EXPECT_FALSE(Exists("significanceh.txt"));
}

}  // namespace

namespace {

// Two settings files are named in their shown spellings when missing, and
// a setting beyond what its writer gives ends the module before any
// control group is drawn.
TEST(MatrixProbability, SettingsFilesAreNamedAsShownAndCheckedAgainstTheirRanges) {
  WorkbenchSession s({{kLabel, RunMatrixProbability}});
  GroupSetup setup;
  for (const auto& [file, shown] : {std::pair<const char*, const char*>{"dattimeshifth.txt", "dattimedhift.txt"},
                                    {"selfkorr.txt", "dselfkorr.txt"}}) {
    WriteGroupFiles(setup, GroupValues{});
    std::remove(file);
    ASSERT_TRUE(s.Run(kLabel)) << s.Error();
    EXPECT_NE(s.Text(6).find(std::string("\n ") + shown + " not exist or not closed : "), std::string::npos)
        << s.Text(6);
  }
  for (const auto& [file, bytes] : {std::pair<const char*, const char*>{"datord.txt", "1000000\n"},
                                    {"selfkorr.txt", "-1\n"},
                                    {"dattimeshiftd.txt", "1000000\n"}}) {
    WriteGroupFiles(setup, GroupValues{});
    std::ofstream(file, std::ios::binary) << bytes;
    ASSERT_TRUE(s.Run(kLabel)) << s.Error();
    EXPECT_NE(s.Text(6).find(std::string("\n ") + file + ": the "), std::string::npos) << s.Text(6);
    EXPECT_FALSE(Exists("significanceh.txt"));
  }
}

// More than 100 000 drawn events only warn; the run goes on.
TEST(MatrixProbability, MoreThan100000EventsWarnAndGoOn) {
  WorkbenchSession s({{kLabel, RunMatrixProbability}});
  GroupSetup setup;
  setup.c = 9;
  setup.events = 1000;  // the largest group the event analysis writes
  WriteGroupFiles(setup, GroupValues{});
  AnswerDialogs(s, 101);
  ASSERT_TRUE(s.Run(kLabel)) << s.Error();
  const std::string log = s.Text(6);
  const size_t warning = log.find("\n  WARNUNG! Intervallteiler > 100 000 \n ");
  ASSERT_NE(warning, std::string::npos);
  EXPECT_NE(log.find(" \n ENDE G ", warning), std::string::npos);
  EXPECT_EQ(Marks("significanceh.txt").size(), 110u) << "without IC: 10 rows of 11 marks";
}

}  // namespace

namespace {

std::vector<std::vector<std::string>> CsvRecords(const std::string& csv) {
  std::vector<std::vector<std::string>> records;
  std::istringstream in(csv);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line.back() != '\r') return {{"<record without CR LF>"}};
    line.pop_back();
    std::vector<std::string> fields;
    std::istringstream record(line);
    for (std::string f; std::getline(record, f, ',');) fields.push_back(f);
    if (line.back() == ',') fields.push_back("");
    records.push_back(fields);
  }
  return records;
}

// Beside the significance files: cells.csv with every value of the four
// tables, its percentage and mark as the tables and files give them, and
// pvalues.png; on the result page the section after the tables, which
// lists the cells of cells.csv whose q is at most 0.05.
TEST(MatrixProbability, WritesTheTestsOfEveryValueBesideTheSignificanceFiles) {
  GroupSetup setup;
  setup.weights[4] = 0;  // Mars not used
  const double jd0 = JulianDate(1950, 1, 1, 0, 0, 0, 0), jd1 = JulianDate(1970, 1, 1, 12, 30, 0, 0);
  const ControlGroupSettings cs = SettingsOf(setup, jd0, jd1);
  for (const GroupValues& real : {RandomGroup(cs, 3), OneMomentGroup(cs, JulianDate(1960, 5, 10, 0, 0, 0, 0))}) {
    WorkbenchSession s({{kLabel, RunMatrixProbability}});
    WriteGroupFiles(setup, real);
    AnswerDialogs(s, 100);
    ASSERT_TRUE(s.Run(kLabel)) << s.Error();

    const auto records = CsvRecords(Slurp("cells.csv"));
    ASSERT_EQ(records.size(), 1u + 4 * (11 * 12 + 1));
    ASSERT_EQ(records[0].size(), 18u);
    EXPECT_EQ(records[0][13], "p_value");
    const std::string page = s.Text(3);
    const auto h = ErrorMatrix(page, "H", 10);
    ASSERT_EQ(h.size(), 11u);
    const std::vector<int> marks = Marks("significanceh.txt");
    int family = 0, discoveries = 0;
    for (std::size_t r = 1; r < records.size(); ++r) {
      const std::vector<std::string>& f = records[r];
      ASSERT_EQ(f.size(), 18u) << r;
      EXPECT_EQ(f[9], "100");
      family += f[17] == "1";
      discoveries += f[17] == "1" && std::stod(f[14]) <= 0.05;
      // The first 132 records are H's rows: 11 cells and the row sum each.
      if (r > 132) continue;
      const int i = static_cast<int>(r - 1) / 12, j = static_cast<int>(r - 1) % 12;
      EXPECT_EQ(std::stoi(f[16]), marks[i * 12 + j]) << i << " " << j;
      if (j < 11 && !std::isnan(h[i][j])) {
        EXPECT_NEAR(std::stod(f[10]), h[i][j], 0.005) << i << " " << j;
      }
    }
    EXPECT_EQ(family, 4 * (45 + 10));

    const size_t legend = page.find(" END: year: ");
    const size_t section = page.find("Statistics 4: Probability of events: beyond chance");
    ASSERT_NE(section, std::string::npos);
    EXPECT_GT(section, legend);
    EXPECT_NE(page.find("\n  Cells tested: 220 ", section), std::string::npos);
    const std::string count = discoveries ? std::to_string(discoveries) : std::string("none");
    EXPECT_NE(page.find("(false-discovery rate of Benjamini and Hochberg): " + count, section),
              std::string::npos)
        << page.substr(section);
    EXPECT_EQ(Slurp("pvalues.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
  }
}

}  // namespace
