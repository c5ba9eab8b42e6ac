// The report's layout and the significance files' values.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "probability/matrix_probability_report.h"

namespace {

// Without IC, without self-correlation, Mars (4) with weight 0; real and
// percentage matrices with recognisable values.
MatrixProbabilityRun SmallRun() {
  MatrixProbabilityRun run;
  ControlGroupSettings& s = run.settings;
  s.weights.lastBody = 9;
  s.order = 5;
  s.eventsPerGroup = 12;
  s.jdStart = 2433282.5;
  s.jdEnd = 2451545.0;
  for (int i = 0; i <= 9; ++i) s.weights.body[i] = 1;
  s.weights.body[4] = 0;
  run.groups = 400;
  run.shiftDays = -3;
  run.shiftHours = 7;
  run.start = {1950, 1, 1, 0, 0};
  run.end = {2000, 1, 1, 12, 0};
  for (MatrixKind k : kMatrixKinds)
    for (int i = 0; i <= 9; ++i) {
      for (int j = 0; j <= 9; ++j) {
        // The upper triangle is what the report shows, for both halves.
        run.real.cell[k][i][j] = i <= j ? 10 * i + j + 0.25 : -999;
        run.result.cell[k][i][j] = i <= j ? 50 + i - j : -999;
      }
      run.result.row[k][i] = 3 * i + 0.5;
    }
  run.result.total[MatrixKind::D] = 97.125;
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The line that follows the line starting with `caption`, plus `offset`.
std::string LineAfter(const std::vector<std::string>& lines, const std::string& caption, int offset) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind(caption, 0) == 0 && i + offset < lines.size()) return lines[i + offset];
  return "<missing " + caption + ">";
}

TEST(ProbabilityReport, SectionHeadsInTheOrderHIDDA) {
  const std::string text = ProbabilityReport(SmallRun());
  const size_t h = text.find("Probability of events: correlation matrix H");
  const size_t i = text.find("Probability of events: energy I");
  const size_t d = text.find("Probability of events: dynamics \n");
  const size_t da = text.find("Probability of events: dynamics abs ");
  ASSERT_NE(h, std::string::npos);
  EXPECT_LT(h, i);
  EXPECT_LT(i, d);
  EXPECT_LT(d, da);
  EXPECT_NE(text.find("\n Order of the correlation: 5 ; time shift d: -3 h: 7; "), std::string::npos);
  EXPECT_NE(text.find("\n GROUP-MEMBERS: 12 ; NUMBER OF THE GROUPS: 400 "), std::string::npos);
  EXPECT_NE(text.find("\n Julian-date-start: 2433282.500000 Julian-date-end: 2451545.000000"),
            std::string::npos);
  EXPECT_NE(text.find(" \n Accidental selection;  TEST: Number of accidental selection >= correlation "),
            std::string::npos);
  EXPECT_NE(text.find(" 1=SUN;  2=MOON;  3=MERKUR; "), std::string::npos);
  EXPECT_NE(text.find("\n BEGIN: year: 1950 month: 1 day: 1 hour: 0 "), std::string::npos);
  EXPECT_NE(text.find("\n END: year: 2000 month: 1 day: 1 hour: 12 "), std::string::npos);
  EXPECT_NE(text.find("  bigger are:   97.12 %"), std::string::npos);
}

// Row 3 (Venus): cells from (min, max) of the indices, "*" on the
// diagonal (no self-correlation) and in the column of Mars (weight 0);
// the percentage row closed by " PR"; Mars' rows wholly blank, no " PR".
TEST(ProbabilityReport, BlankDiagonalAndWeightZeroBodyRowPercentages) {
  const std::vector<std::string> lines = Lines(ProbabilityReportSection(SmallRun(), MatrixKind::H));
  const std::string star = "    *   ";
  std::string venus = "  4   ";
  for (int j = 0; j <= 9; ++j) {
    char cell[16];
    snprintf(cell, sizeof cell, " %7.2f", 10.0 * std::min(3, j) + std::max(3, j) + 0.25);
    venus += (j == 3 || j == 4) ? star : cell;
  }
  EXPECT_EQ(LineAfter(lines, "  CORRELATION-MATRIX H AS INPUT  ", 5), venus);
  std::string mars = "  5   ";
  for (int j = 0; j <= 9; ++j) mars += star;
  EXPECT_EQ(LineAfter(lines, "  CORRELATION-MATRIX H AS INPUT  ", 6), mars);
  EXPECT_EQ(LineAfter(lines, "  Matrix H of the probability of error:   ", 6), mars);

  std::string venusP = "  4   ";
  for (int j = 0; j <= 9; ++j) {
    char cell[16];
    snprintf(cell, sizeof cell, " %7.2f", 50.0 + std::min(3, j) - std::max(3, j));
    venusP += (j == 3 || j == 4) ? star : cell;
  }
  venusP += " PR   9.50";
  EXPECT_EQ(LineAfter(lines, "  Matrix H of the probability of error:   ", 5), venusP);
  // Column numbers in the cells' 8-character steps.
  EXPECT_EQ(LineAfter(lines, "  Matrix H of the probability of error:   ", 1),
            "  1       2       3       4       5       6       7       8       9      10     ");
}

TEST(ProbabilityReport, WithSelfCorrelationTheDiagonalShowsItsValue) {
  MatrixProbabilityRun run = SmallRun();
  run.settings.weights.selfCorrelation = true;
  const std::vector<std::string> lines = Lines(ProbabilityReportSection(run, MatrixKind::DA));
  const std::string venus = LineAfter(lines, "MATRIX DA dynamics abs AS INPUT (absolut)", 5);
  EXPECT_EQ(venus.substr(6 + 3 * 8, 8), "   33.25");
  EXPECT_EQ(venus.substr(6 + 4 * 8, 8), "    *   ");
}

TEST(SignificanceValues, RowsOfCPlusTwoMarks) {
  ProbabilityResult r;
  r.marks[MatrixKind::I][0][0] = 1;
  r.marks[MatrixKind::I][2][10] = 2;  // row sum of row 2, c = 9
  r.marks[MatrixKind::I][9][9] = 1;
  std::vector<int> v = SignificanceValues(r, MatrixKind::I, 9);
  ASSERT_EQ(v.size(), 110u);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(v[2 * 11 + 10], 2);
  EXPECT_EQ(v[9 * 11 + 9], 1);
  EXPECT_EQ(SignificanceValues(r, MatrixKind::I, 10).size(), 132u);
  EXPECT_STREQ(SignificanceFile(MatrixKind::DA).name, "significanceda.txt");
}

}  // namespace
