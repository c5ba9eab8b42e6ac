// The continuum: its weights and moments, its loop against charts and
// matrices computed here moment by moment, and the whole module run
// headless through its dialogs.
#include "analyses/continuum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/testing.h"
#include "core/calendar.h"
#include "core/chart.h"
#include "core/matrices.h"
#include "qzk/events.h"
#include "qzk/random.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The file's values, after checking that it holds exactly `lines` lines of
// "%f\n" and nothing else.
std::vector<double> RealLines(const std::string& name, std::size_t lines) {
  const std::string bytes = Bytes(name);
  static const std::regex line("-?[0-9]+\\.[0-9]{6}\n");
  std::vector<double> values;
  auto begin = std::sregex_iterator(bytes.begin(), bytes.end(), line);
  std::size_t covered = 0;
  for (auto it = begin; it != std::sregex_iterator(); ++it) {
    EXPECT_EQ(static_cast<std::size_t>(it->position()), covered) << name << ": stray bytes";
    covered += static_cast<std::size_t>(it->length());
    values.push_back(std::stod(it->str()));
  }
  EXPECT_EQ(covered, bytes.size()) << name << ": the last line is not \"%f\\n\"";
  EXPECT_EQ(values.size(), lines) << name;
  return values;
}

std::string Real(double v) {
  char s[64];
  std::snprintf(s, sizeof s, "%f\n", v);
  return s;
}

// The continuum computed here: charts one by one with ComputeChart, the
// order-p builders, weights applied to the means.
struct Expected {
  double H[11][11] = {}, I[11][11] = {}, D[11][11] = {}, DA[11][11] = {};
};

Expected ExpectedMeans(const std::vector<double>& jds, int order, int c,
                       const std::array<double, 12>& w, int s) {
  Expected e;
  const WaveTables& tables = SharedWaveTables();
  for (double jd : jds) {
    const CalendarDate d = CalendarFromJulian(jd);
    ChartMoment m;
    m.year = d.year, m.month = d.month, m.day = d.day, m.hour = d.hour, m.minute = d.minute;
    m.second = 0, m.timeZone = 0, m.summerTime = 0;
    m.longitudeDegrees = 13, m.longitudeMinutes = 59, m.latitudeDegrees = 51, m.latitudeMinutes = 11;
    ChartRecord chart{};
    ComputeChart(m, chart);
    HarmonicMatrix H, D;
    BuildHarmony(tables, order, chart.pos, H);
    BuildDynamic(tables, order, chart.pos, D, chart.motion);
    for (int l = 0; l <= c; ++l) {
      for (int g = 0; g <= c; ++g) {
        const double f = w[l] * w[g] * (l == g ? s : 1) / jds.size();
        e.H[l][g] += f * H[l][g];
        e.I[l][g] += f * std::fabs(H[l][g]);
        e.D[l][g] += f * D[l][g];
        e.DA[l][g] += f * std::fabs(D[l][g]);
      }
    }
  }
  return e;
}

std::vector<double> RowSums(const double (&m)[11][11], int c) {
  std::vector<double> r;
  for (int l = 0; l <= c; ++l) {
    double sum = 0;
    for (int g = 0; g <= c; ++g) sum += m[l][g];
    r.push_back(sum);
  }
  return r;
}

double Total(const double (&m)[11][11], int c) {
  double t = 0;
  for (double r : RowSums(m, c)) t += r;
  return t;
}

std::vector<double> Upper(const double (&m)[11][11], int c, double factor) {
  std::vector<double> v;
  for (int l = 0; l <= c; ++l)
    for (int g = l + 1; g <= c; ++g) v.push_back(m[l][g] * factor);
  return v;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want,
                const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i)
    EXPECT_NEAR(got[i], want[i], 1e-6 + 1e-9 * std::fabs(want[i])) << what << " line " << i + 1;
}

// The rows of the printed tables: for each table the cells of rows 1..c+1.
std::vector<std::vector<std::vector<double>>> PrintedTables(const std::string& page, int c) {
  std::vector<std::vector<std::vector<double>>> tables;
  std::istringstream in(page);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("Principle", 0) == 0 || line.rfind("Prinzip:", 0) == 0) {
      tables.emplace_back();
      for (int r = 0; r <= c && std::getline(in, line); ++r) {
        std::istringstream cells(line);
        int number = 0;
        cells >> number;
        EXPECT_EQ(number, r + 1) << line;
        std::vector<double> row;
        double v;
        while (cells >> v) row.push_back(v);
        EXPECT_EQ(row.size(), static_cast<std::size_t>(c + 2)) << line;  // cells and the sum
        tables.back().push_back(row);
      }
    }
  }
  return tables;
}

TEST(ContinuumWeights, GravityStrengthTakesRepeatedSquareRoots) {
  const auto w0 = GravityWeights(0, 10);
  for (double w : w0) EXPECT_EQ(w, 1.0);
  const auto w1 = GravityWeights(1, 10);
  EXPECT_EQ(w1[0], 57.2);
  EXPECT_EQ(w1[10], 57.2);
  EXPECT_EQ(w1[9], 0.01);
  const auto w2 = GravityWeights(2, 10);
  EXPECT_NEAR(w2[0], std::pow(57.2, 0.25), 1e-12);
  EXPECT_NEAR(w2[0], 2.75, 0.005);
  EXPECT_NEAR(w2[9], std::pow(0.01, 0.25), 1e-12);
  const auto w10 = GravityWeights(10, 9);
  EXPECT_NEAR(w10[1], std::pow(10.24, 1.0 / 1024), 1e-12);
  EXPECT_EQ(w10[10], 0.0) << "without IC the IC has no weight";
}

TEST(ContinuumMoments, EvenlySpacedFromTheStartRandomOnAGridOfTenThousand) {
  ContinuumParams p;
  p.jdStart = 2415020.5;
  p.jdEnd = 2488069.5;
  p.moments = 2;
  EXPECT_EQ(ContinuumJulianDate(p, 0, nullptr), p.jdStart);
  EXPECT_EQ(ContinuumJulianDate(p, 1, nullptr), 2451545.0) << "the midpoint; the end is never sampled";
  p.random = true;
  p.moments = 7;
  static int next;
  next = 12345;  // 12345 mod 10000 = 2345
  auto draw = [] { return next; };
  EXPECT_NEAR(ContinuumJulianDate(p, 3, draw), p.jdStart + 0.2345 * (p.jdEnd - p.jdStart), 1e-6);
  next = 9999;
  EXPECT_LT(ContinuumJulianDate(p, 0, draw), p.jdEnd);
  const ChartMoment m = ContinuumChartMoment(2451545.0);
  EXPECT_EQ(m.year, 2000);
  EXPECT_EQ(m.hour, 12);
  EXPECT_EQ(m.longitudeDegrees, 13);
  EXPECT_EQ(m.longitudeMinutes, 59);
  EXPECT_EQ(m.latitudeDegrees, 51);
  EXPECT_EQ(m.latitudeMinutes, 11);
}

TEST(ContinuumLoop, RandomMomentsLieOnTheGridAndRepeatWithTheSeed) {
  ContinuumParams p;
  p.jdStart = JulianDate(1950, 1, 1, 0, 0, 0, 0);
  p.jdEnd = JulianDate(2050, 1, 1, 0, 0, 0, 0);
  p.moments = 40;
  p.random = true;
  ContinuumResult a, b;
  qzrandom_seed(11);
  ComputeContinuum(p, SharedWaveTables(), qzrand, a);
  qzrandom_seed(11);
  ComputeContinuum(p, SharedWaveTables(), qzrand, b);
  ASSERT_EQ(a.kept.size(), 40u);
  EXPECT_EQ(a.kept, b.kept);
  EXPECT_EQ(a.SH[0][1], b.SH[0][1]);
  bool spread = false;
  for (double jd : a.kept) {
    const double grid = (jd - p.jdStart) / (p.jdEnd - p.jdStart) * 10000;
    EXPECT_NEAR(grid, std::round(grid), 1e-4) << jd;
    EXPECT_GE(jd, p.jdStart);
    EXPECT_LT(jd, p.jdEnd);
    spread = spread || jd != a.kept[0];
  }
  EXPECT_TRUE(spread);
}

TEST(ContinuumLoop, SumsMatchChartsAndMatricesBuiltMomentByMoment) {
  ContinuumParams p;
  p.order = 7;
  p.weights.lastBody = 10;
  p.weights.selfCorrelation = 1;
  p.weights.body = {1.5, 0.5, 1, 2, 1, 0.25, 1, 1, 3, 1, 0.75, 9};
  p.jdStart = JulianDate(1987, 6, 5, 4, 3, 0, 0);
  p.jdEnd = JulianDate(1991, 2, 3, 4, 5, 0, 0);
  p.moments = 5;
  ContinuumResult r;
  std::vector<int> reported;
  ComputeContinuum(p, SharedWaveTables(), nullptr, r, [&](int done) { reported.push_back(done); });
  EXPECT_EQ(reported, std::vector<int>{5});
  std::vector<double> jds;
  for (int k = 0; k < p.moments; ++k) jds.push_back(p.jdStart + k * (p.jdEnd - p.jdStart) / 5);
  EXPECT_EQ(r.kept, jds);
  ASSERT_EQ(r.shown.size(), 5u);
  const BodyWeights& w = p.weights;
  const Expected e = ExpectedMeans(jds, p.order, w.lastBody, w.body, w.selfCorrelation);
  for (int l = 0; l <= 10; ++l) {
    for (int g = 0; g <= 10; ++g) {
      EXPECT_NEAR(r.SH[l][g] / 5, e.H[l][g], 1e-9) << l << "," << g;
      EXPECT_NEAR(r.SI[l][g] / 5, e.I[l][g], 1e-9) << l << "," << g;
      EXPECT_NEAR(r.SD[l][g] / 5, e.D[l][g], 1e-9) << l << "," << g;
      EXPECT_NEAR(r.SDA[l][g] / 5, e.DA[l][g], 1e-9) << l << "," << g;
    }
  }
  // The first printed moment's sums: its own weighted matrix.
  const Expected first = ExpectedMeans({jds[0]}, p.order, w.lastBody, w.body, w.selfCorrelation);
  EXPECT_NEAR(r.shown[0].H, Total(first.H, 10), 1e-9);
  EXPECT_NEAR(r.shown[0].I, Total(first.I, 10), 1e-9);
  EXPECT_EQ(r.shown[0].date.year, 1987);
  EXPECT_EQ(r.shown[0].date.minute, 3);
}

// The answers of one run up to the period.
void AnswerSettings(WorkbenchSession& s, int order, bool ic, const std::string& weights) {
  s.Answer("Order of the correlation -> " + std::to_string(order));
  s.Answer(std::string("with IC -> ") + (ic ? "yes" : "no"));
  s.Answer("Members of the group -> 1");
  if (weights.empty()) {
    s.Answer("Should planets be selected -> no");
    s.Answer("Should the planets get a weight -> yes");
    s.Answer("weight of gravity -> 2");
    s.Answer("gravity planets -> - - - - - - - - - - -");
  } else {
    s.Answer("Should planets be selected -> yes");
    s.Answer("selected planets -> " + weights);
  }
}

TEST(ContinuumModule, TwoEvenMomentsWithoutICOrSelfCorrelation) {
  WorkbenchSession s({{"1- Statistics 1 - Continuum", RunContinuum}});
  AnswerSettings(s, 3, false, "");
  s.Answer("Should self-correlations -> no");
  s.Answer("Enter start-date -> 1.1.1900 0:00");
  s.Answer("Enter end-date -> 1.1.2100 0:00");
  s.Answer("* Number per interval -> 2");
  s.Answer("Selection accidental -> no");
  const double before = qznow();
  ASSERT_TRUE(s.Run("1- Statistics 1 - Continuum")) << s.Error();
  // The pauses for reading: 0.1 s after each of the four info lines, 1 s
  // after the number of moments, 3 s after the compare group note.
  EXPECT_NEAR(qznow() - before, 4 * 0.1 + 1 + 3, 0.05);

  // The settings, byte for byte.
  EXPECT_EQ(Bytes("datdat.txt"), "9\n1\n");
  EXPECT_EQ(Bytes("datord.txt"), "3\n");
  EXPECT_EQ(Bytes("selfkorr.txt"), "0\n");
  EXPECT_EQ(Bytes("eventsdat.txt"), "1\n");
  EXPECT_EQ(Bytes("startendyear.txt"), "1900\n2100\n1\n1\n1\n1\n");
  EXPECT_EQ(Bytes("datintervt.txt"), "2\n");
  const std::vector<double> w = RealLines("datplanet.txt", 10);
  // The weights as the array dialog shows them ("%g") and reads them back.
  std::array<double, 12> weights{};
  for (int b = 0; b < 10; ++b) {
    char shown[32];
    std::snprintf(shown, sizeof shown, "%g", std::pow(kGravityWeights[b], 0.25));
    weights[b] = std::strtod(shown, nullptr);
    EXPECT_EQ(w[b], weights[b]) << b;
  }
  EXPECT_EQ(Bytes("datplanet.txt").substr(0, 9), "2.750100\n");

  // The start and the midpoint.
  const double start = JulianDate(1900, 1, 1, 0, 0, 0, 0), end = JulianDate(2100, 1, 1, 0, 0, 0, 0);
  EXPECT_EQ(Bytes("Optimierung-COMPARE/bjuliandat.txt"), Real(start) + Real((start + end) / 2));
  EXPECT_EQ(Bytes("Optimierung-COMPARE/datgroupb.txt"), "2\n");

  const Expected e = ExpectedMeans({start, (start + end) / 2}, 3, 9, weights, 0);
  ExpectNear(RealLines("zshcontinuum.txt", 10), RowSums(e.H, 9), "zshcontinuum");
  ExpectNear(RealLines("zsicontinuum.txt", 10), RowSums(e.I, 9), "zsicontinuum");
  ExpectNear(RealLines("zsdcontinuum.txt", 10), RowSums(e.D, 9), "zsdcontinuum");
  ExpectNear(RealLines("zsdacontinuum.txt", 10), RowSums(e.DA, 9), "zsdacontinuum");
  ExpectNear(RealLines("dathcontinuum.txt", 45), Upper(e.H, 9, 1.0), "dathcontinuum");
  ExpectNear(RealLines("dati.txt", 45), Upper(e.I, 9, 1.0), "dati");
  ExpectNear(RealLines("datz.txt", 45), Upper(e.D, 9, 0.1), "datz");
  ExpectNear(RealLines("data.txt", 45), Upper(e.DA, 9, 0.1), "data");
  const std::vector<double> sums = {Total(e.H, 9), Total(e.I, 9), Total(e.D, 9), Total(e.DA, 9)};
  ExpectNear(RealLines("matrixsumcontinuum.txt", 4), sums, "matrixsumcontinuum");
  EXPECT_EQ(Bytes("mscontinuum.txt"), Bytes("matrixsumcontinuum.txt"));
  for (const auto& entry : fs::recursive_directory_iterator("."))
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();

  const std::string page = s.Text(1);
  const auto tables = PrintedTables(page, 9);
  ASSERT_EQ(tables.size(), 4u) << page;
  using Table = const double(&)[11][11];
  const double(*want[4])[11][11] = {&e.H, &e.I, &e.D, &e.DA};
  for (int t = 0; t < 4; ++t) {
    for (int l = 0; l <= 9; ++l) {
      for (int g = 0; g <= 9; ++g)
        EXPECT_NEAR(tables[t][l][g], (*want[t])[l][g], 0.0051) << "table " << t << " " << l << "," << g;
      EXPECT_NEAR(tables[t][l][10], RowSums(Table(*want[t]), 9)[l], 0.0051);
    }
  }
  // Every row exactly as the formats give it: " %2.0i", three blanks, the
  // cells "    %6.2f", the row sum ("      %7.2f" in the I table), " \n".
  for (int t = 0; t < 4; ++t) {
    for (int l = 0; l <= 9; ++l) {
      char cell[64];
      std::snprintf(cell, sizeof cell, "\n %2.0i   ", l + 1);
      std::string row = cell;
      for (int g = 0; g <= 9; ++g) {
        std::snprintf(cell, sizeof cell, "    %6.2f", (*want[t])[l][g]);
        row += cell;
      }
      std::snprintf(cell, sizeof cell, t == 1 ? "      %7.2f \n" : "     %7.2f \n",
                    RowSums(Table(*want[t]), 9)[l]);
      row += cell;
      EXPECT_NE(page.find(row), std::string::npos) << "table " << t << " row " << l + 1 << row;
    }
  }
  // Diagonals print as 0.00, never -0.00.
  EXPECT_EQ(page.find("-0.00 "), std::string::npos);
  EXPECT_NE(page.find("\n  1         0.00 "), std::string::npos) << page;
  EXPECT_NE(page.find("\n\n a 1900 m 1 d 1 h 0 min 0 continuum H= "), std::string::npos) << page;
  EXPECT_NE(page.find("\n\n a 2000 m 1 d 1 h 12 min 0 continuum H= "), std::string::npos) << page;
  EXPECT_NE(page.find("\n ***Compare group: 2  in Optimierung-Compare ***"), std::string::npos);
  EXPECT_NE(page.find("\nPrinciple    I         II       III        IV        V         VI        "
                      "VII       VIII      IX         X         SUMME  \n"),
            std::string::npos);
  EXPECT_NE(page.find("\nsun     weight: 2.75  \n"), std::string::npos) << page;
  EXPECT_NE(page.find("\nIC      weight: 0.00  \n"), std::string::npos) << page;
  EXPECT_NE(page.find(" Sum of the Matrix DA: "), std::string::npos);
  char footer[64];
  std::snprintf(footer, sizeof footer, " Sum of the Matrix H: %9.2f \n", Total(e.H, 9));
  EXPECT_NE(page.find(footer), std::string::npos) << footer;
  EXPECT_NE(s.Text(0).find("\n Calculation without IC !"), std::string::npos);
  // The info text in its order (the menu page breaks long lines and drops
  // blanks at their ends, so it is compared without blanks and line ends).
  auto bare = [](std::string text) {
    std::erase_if(text, [](char ch) { return ch == ' ' || ch == '\n'; });
    return text;
  };
  EXPECT_EQ(bare(s.Text(0)).find(bare(
                "\n RESEARCH K & M \n \n\n Statistic 1 - CONTINUUM \n This module calculates the "
                "meam value of the selected correlations over a period of time \n !!! Calculations "
                "in world time !!!  h=h-time zone-sommertime\n You can find the results in Text 1 "
                "and Graphics 1\n INPUT Time-Continuum \n\n \n Coherence = 1; that means coherent "
                "\n\n Calculation without IC ! \n")),
            0u)
      << s.Text(0);
  EXPECT_NE(s.Text(0).find("\n  Incremental  (day): 36524.500000"), std::string::npos);
}

TEST(ContinuumModule, ManyRandomMomentsWithICKeepNoCompareGroup) {
  WorkbenchSession s({{"1- Statistics 1 - Continuum", RunContinuum}});
  AnswerSettings(s, 5, true, "1 1 0 1 1 1 1 1 1 0 1");
  s.Answer("Should self-correlations -> yes");
  s.Answer("Enter start-date -> 1.1.1950 0:00");
  s.Answer("Enter end-date -> 1.1.1960 0:00");
  s.Answer("* Number per interval -> 1001");
  s.Answer("Selection accidental -> yes");
  const double before = qznow();
  ASSERT_TRUE(s.Run("1- Statistics 1 - Continuum")) << s.Error();
  EXPECT_NEAR(qznow() - before, 4 * 0.1 + 1, 0.05) << "no compare group, no 3 s pause";
  EXPECT_FALSE(fs::exists("Optimierung-COMPARE"));
  EXPECT_EQ(Bytes("datdat.txt"), "10\n1\n");
  EXPECT_EQ(Bytes("selfkorr.txt"), "1\n");
  EXPECT_EQ(RealLines("datplanet.txt", 11), (std::vector<double>{1, 1, 0, 1, 1, 1, 1, 1, 1, 0, 1}));
  RealLines("zshcontinuum.txt", 11);
  RealLines("dathcontinuum.txt", 55);
  const std::vector<double> data = RealLines("data.txt", 55);
  // Mercury (row 3) and Pluto take no part: their cells are 0.
  EXPECT_EQ(data[1], 0.0);  // (0, 2)
  const std::string page = s.Text(1);
  EXPECT_EQ(page.find("Compare group"), std::string::npos);
  EXPECT_EQ(page.find("\n\n a "), std::string::npos) << "moments are printed only up to 10";
  // The column headers with the IC: "Principle" over H, "Prinzip:" over I, D and DA.
  const std::string principle =
      "\nPrinciple    I         II        III        IV        V         VI        VII       VIII"
      "      IX         X        IC        SUMME  \n";
  const std::string prinzip =
      "\nPrinzip:      I         II       III        IV        V        VI        VII       VIII"
      "      IX         X         IC        SUMME  \n";
  EXPECT_NE(page.find("\n common harmonies, standardize on number of the group-members 1" + principle),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("\n Matrix ISquare-root of the energy, standardize on number per interval" +
                      prinzip),
            std::string::npos);
  EXPECT_NE(page.find("\nMatrix D First derivation, standardize on number of the group-members" +
                      prinzip),
            std::string::npos);
  EXPECT_NE(page.find("\n Matrix DA First derivation(absolute), standardize on number per "
                      "interval  " + prinzip),
            std::string::npos);
  EXPECT_NE(page.find("\nIC      weight: 1.00  \n"), std::string::npos);
  const auto tables = PrintedTables(page, 10);
  ASSERT_EQ(tables.size(), 4u);
  EXPECT_NE(tables[0][0][0], 0.0) << "with self-correlation the Sun's diagonal counts";
  EXPECT_EQ(tables[1][2][2], 0.0);
}

TEST(ContinuumModule, AStartAfterTheEndEndsOnlyTheModule) {
  WorkbenchSession s({{"1- Statistics 1 - Continuum", RunContinuum}});
  AnswerSettings(s, 3, false, "");
  s.Answer("Should self-correlations -> no");
  s.Answer("Enter start-date -> 1.1.2000 0:00");
  s.Answer("Enter end-date -> 31.12.1999 0:00");
  const double before = qznow();
  ASSERT_TRUE(s.Run("1- Statistics 1 - Continuum")) << s.Error();
  EXPECT_NEAR(qznow() - before, 4 * 0.1 + 10, 0.05) << "10 s to read the error";
  const std::string menu = s.Text(0);
  EXPECT_NE(menu.find("\n ERROR! start-date >= end- date! ERROR!!"), std::string::npos) << menu;
  EXPECT_NE(menu.find("\n ERROR! Your calculations become wrong! ERROR!"), std::string::npos);
  // A refused continuum writes none of its files, the settings asked
  // before the period included.
  EXPECT_FALSE(fs::exists("startendyear.txt"));
  EXPECT_FALSE(fs::exists("datdat.txt"));
  EXPECT_FALSE(fs::exists("datintervt.txt"));
  EXPECT_FALSE(fs::exists("zshcontinuum.txt"));

  // The program is still there: equal dates are accepted in the next run.
  AnswerSettings(s, 3, false, "");
  s.Answer("Should self-correlations -> no");
  s.Answer("Enter start-date -> 1.1.2000 0:00");
  s.Answer("Enter end-date -> 1.1.2000 0:00");
  s.Answer("* Number per interval -> 3");
  s.Answer("Selection accidental -> no");
  ASSERT_TRUE(s.Run("1- Statistics 1 - Continuum")) << s.Error();
  const double jd = JulianDate(2000, 1, 1, 0, 0, 0, 0);
  EXPECT_EQ(Bytes("Optimierung-COMPARE/bjuliandat.txt"), Real(jd) + Real(jd) + Real(jd));
}

TEST(ContinuumModule, OneMomentPerIntervalBecomesOneHundredThousand) {
  WorkbenchSession s({{"1- Statistics 1 - Continuum", RunContinuum}});
  AnswerSettings(s, 2, true, "");
  s.Answer("Should self-correlations -> yes");
  s.Answer("Enter start-date -> 1.1.2000 0:00");
  s.Answer("Enter end-date -> 1.1.2001 0:00");
  s.Answer("* Number per interval -> 1");
  s.Answer("Selection accidental -> no");
  ASSERT_TRUE(s.Run("1- Statistics 1 - Continuum")) << s.Error();
  const std::string menu = s.Text(0);
  // (The text page keeps no blanks at the ends of its lines.)
  EXPECT_NE(menu.find("\n ATTENTION!  Intervallteiler 1\n\n ERROR! number per interval must be "
                      "> 1. We set 100000; ERROR!\n  Incremental  (day): 0.003660\n"),
            std::string::npos)
      << menu;
  EXPECT_EQ(Bytes("datintervt.txt"), "100000\n");
  EXPECT_NE(s.Text(1).find(" Number per interval: 100000 "), std::string::npos);
  EXPECT_FALSE(fs::exists("Optimierung-COMPARE"));
  // With the IC and gravity strength 2 the IC keeps its fourth root too.
  EXPECT_EQ(RealLines("datplanet.txt", 11)[10], RealLines("datplanet.txt", 11)[0]);
}

}  // namespace
