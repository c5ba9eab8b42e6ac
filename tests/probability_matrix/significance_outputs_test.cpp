// What the tests of a run show: the report section after the tables,
// cells.csv and the picture of the p-values, from constructed tests.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "probability/chance_report.h"
#include "probability/matrix_probability_cells.h"
#include "probability/pvalue_plot.h"
#include "read_file.h"
#include "temp_folder.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

CellTest Cell(MatrixKind kind, CellPlace place, int row, int column, double p, double q,
              double adjusted) {
  CellTest t;
  t.cell = {kind, place, row, column};
  t.group = 1.5;
  t.controlMean = 0.25;
  t.controlSd = 0.5;
  t.z = 2.5;
  t.countGe = 3;
  t.countLe = 997;
  t.groups = 1000;
  t.percent = 0.3;
  t.percentLow = 0.1;
  t.percentHigh = 0.9;
  t.p = p;
  t.inFamily = !std::isnan(q);
  t.q = q;
  t.pAdjusted = adjusted;
  return t;
}

// Three family cells (one a discovery), a diagonal cell and a total.
FamilyTests Tests() {
  FamilyTests t;
  t.cells = {Cell(MatrixKind::H, CellPlace::Cell, 0, 0, 1, kNaN, kNaN),
             Cell(MatrixKind::H, CellPlace::Cell, 0, 1, 0.5, 0.75, 1),
             Cell(MatrixKind::H, CellPlace::RowSum, 0, 0, 0.25, 0.75, 1),
             Cell(MatrixKind::DA, CellPlace::Cell, 1, 10, 0.001998, 0.005994, 0.012987),
             Cell(MatrixKind::DA, CellPlace::Total, 0, 0, 0.2, kNaN, kNaN)};
  t.cells[0].z = kNaN;
  t.cells[3].mark = 2;
  t.familySize = 3;
  t.marked = 1;
  t.chanceShare = 0.1;
  t.globalP = 0.012987;
  t.globalFloor = 0.002997;
  t.strongest = 3;
  return t;
}

std::vector<std::string> Records(const std::string& csv) {
  std::vector<std::string> records;
  for (std::size_t at = 0; at < csv.size();) {
    const std::size_t end = csv.find("\r\n", at);
    if (end == std::string::npos) {
      records.push_back("<unterminated>" + csv.substr(at));
      break;
    }
    records.push_back(csv.substr(at, end - at));
    at = end + 2;
  }
  return records;
}

std::vector<std::string> Fields(const std::string& record) {
  std::vector<std::string> fields;
  std::istringstream in(record);
  for (std::string f; std::getline(in, f, ',');) fields.push_back(f);
  if (!record.empty() && record.back() == ',') fields.push_back("");
  return fields;
}

TEST(CellsCsv, OneRecordPerValueInCrLfWithEmptyFieldsForUndefinedValues) {
  const std::vector<std::string> r = Records(CellsCsv(Tests()));
  ASSERT_EQ(r.size(), 6u);
  EXPECT_EQ(r[0],
            "matrix,row,column,group_value,control_mean,control_sd,z,count_ge,count_le,groups,"
            "percent,percent_ci_low,percent_ci_high,p_value,q_value,p_adjusted,mark,in_family");
  // The diagonal: z, q and adjusted p undefined; not in the family.
  EXPECT_EQ(r[1], "H,sun,sun,1.5,0.25,0.5,,3,997,1000,0.29999999999999999,0.10000000000000001,"
                  "0.90000000000000002,1,,,0,0");
  EXPECT_EQ(Fields(r[3])[2], "SUM");
  const std::vector<std::string> da = Fields(r[4]);
  ASSERT_EQ(da.size(), 18u);
  EXPECT_EQ(da[0], "DA");
  EXPECT_EQ(da[1], "moon");
  EXPECT_EQ(da[2], "IC");
  EXPECT_EQ(std::stod(da[13]), 0.001998);  // read back to the same double
  EXPECT_EQ(da[16], "2");
  EXPECT_EQ(da[17], "1");
  EXPECT_EQ(Fields(r[5])[1], "TOTAL");
  EXPECT_EQ(Fields(r[5])[2], "TOTAL");
  for (const std::string& record : r) EXPECT_EQ(Fields(record).size(), 18u) << record;
}

TEST(CellsCsv, IsWrittenWhole) {
  InTempFolder here("cells_csv_");
  ASSERT_TRUE(WriteCellsCsv(Tests()));
  EXPECT_EQ(ReadFile(kCellsCsvName), CellsCsv(Tests()));
}

TEST(ChanceReport, CountsTheDiscoveriesAndTheGlobalTestInWords) {
  MatrixProbabilityRun run;
  run.groups = 1000;
  run.tests = Tests();
  const std::string text = ChanceReport(run);
  EXPECT_NE(text.find("smallest p-value they can give is 2 / (1000 + 1) = 0.001998"), std::string::npos);
  EXPECT_NE(text.find("\n  Cells tested: 3 "), std::string::npos);
  EXPECT_NE(text.find("\n  Marked in the tables above (5 % or 1 %, either side): 1 of 3 (33.3 %)"),
            std::string::npos);
  EXPECT_NE(text.find("\n  Marked by chance alone: about 0.3 of 3 (10.0 %)"), std::string::npos);
  EXPECT_NE(text.find("(false-discovery rate of Benjamini and Hochberg): 1\n"), std::string::npos);
  // The one discovery with its values; the others not listed.
  EXPECT_NE(text.find("\n  DA     moon - IC                  1.500000     0.250000     2.50   0.001998   0.005994    0.01299"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("sun - moon"), std::string::npos);
  EXPECT_NE(text.find("as extreme as the strongest cell of 1.3 % of random groups (global p = "
                      "0.01299): evidence of a correlation beyond chance.\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("no group can reach a global p below 0.002997 (control groups with a cell at "
                      "the edge of all 1000 + 1 values tie with it)"),
            std::string::npos);

  run.tests.cells[3].q = 0.0500001;
  run.tests.globalP = 0.38;
  const std::string none = ChanceReport(run);
  EXPECT_NE(none.find("Benjamini and Hochberg): none"), std::string::npos);
  EXPECT_NE(none.find("of 38 % of random groups (global p = 0.38): no evidence of a correlation "
                      "beyond chance."),
            std::string::npos)
      << none;

  MatrixProbabilityRun empty;
  empty.tests.cells = {Cell(MatrixKind::H, CellPlace::Cell, 0, 0, 1, kNaN, kNaN)};
  EXPECT_NE(ChanceReport(empty).find("nothing to test"), std::string::npos);
  EXPECT_STREQ(GlobalVerdict(0.01), "strong evidence of a correlation beyond chance");
  EXPECT_STREQ(GlobalVerdict(0.0501), "no evidence of a correlation beyond chance");
}

// m = 3: the i-th smallest p against i / 4, in a band that holds the
// expected value and reaches further out for the smallest.
TEST(PValuePicture, QuantilesBandAndTheDiscoveryInRed) {
  const PValueQuantiles q = QuantilesOf(Tests());
  ASSERT_EQ(q.observed.size(), 3u);
  EXPECT_EQ(q.observed, (std::vector<double>{0.001998, 0.25, 0.5}));
  EXPECT_EQ(q.discovery, (std::vector<bool>{true, false, false}));
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(q.expected[i], (i + 1) / 4.0);
    EXPECT_LT(q.bandLow[i], q.expected[i]);
    EXPECT_GT(q.bandHigh[i], q.expected[i]);
  }
  // The smallest of three uniform p-values: 1 - 0.975^(1/3) at 2.5 %.
  EXPECT_NEAR(q.bandLow[0], 1 - std::pow(0.975, 1.0 / 3), 1e-12);
  const PValuePlotFrame f = FrameFor(q, 1000);
  EXPECT_GE(f.range, -std::log10(q.bandLow[0]));
  EXPECT_GE(f.range, -std::log10(2.0 / 1001));

  const qzPixmap p = PValuePicture(Tests(), 1000);
  ASSERT_EQ(p.width, kPValuePlotWidth);
  ASSERT_EQ(p.height, kPValuePlotHeight);
  const int x = f.X(-std::log10(0.25)), y = f.Y(-std::log10(0.001998));
  EXPECT_EQ(qzpxmap_getpixel(p, x, y) & 0xFFFFFF, 0xD01010u);
  const int x2 = f.X(-std::log10(0.5)), y2 = f.Y(-std::log10(0.25));
  EXPECT_EQ(qzpxmap_getpixel(p, x2, y2) & 0xFFFFFF, 0x1F4FBFu);

  InTempFolder here("pvalues_");
  ASSERT_TRUE(WritePValuePicture(Tests(), 1000));
  EXPECT_EQ(ReadFile(kPValuePlotName).substr(1, 3), "PNG");
}

}  // namespace
