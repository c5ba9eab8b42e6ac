// The significance picture and the line-sum charts, drawn on a bare
// canvas and read back pixel by pixel.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "probability/matrix_probability_pictures.h"
#include "qzk/graphic.h"
#include "qzk/pixmap.h"

namespace {

class Canvas : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qzpxmap_alloc(target_.canvas, kPictureWidth, kPictureHeight, QZ_PX_TRUECOLOR));
    qzgraphic_settarget(&target_);
    qzgraphic_clear(0xFFFFFF);
  }
  void TearDown() override { qzgraphic_settarget(nullptr); }
  uint32_t At(int x, int y) const { return qzpxmap_getpixel(target_.canvas, x, y) & 0xFFFFFF; }
  // Whether a pixel of the colour lies in the rectangle.
  bool Any(int x, int y, int w, int h, uint32_t colour) const {
    for (int yy = y; yy < y + h; ++yy)
      for (int xx = x; xx < x + w; ++xx)
        if (At(xx, yy) == colour) return true;
    return false;
  }
  qzGraphicTarget target_;
};

// With IC, without self-correlation, Mars (4) weighted 0.
MatrixProbabilityRun PictureRun() {
  MatrixProbabilityRun run;
  run.settings.weights.lastBody = 10;
  for (int i = 0; i <= 10; ++i) run.settings.weights.body[i] = 2;
  run.settings.weights.body[4] = 0;
  for (MatrixKind k : kMatrixKinds) {
    for (int i = 0; i <= 10; ++i) {
      for (int j = 0; j <= 10; ++j) run.result.cell[k][i][j] = 50;
      run.result.row[k][i] = 30;
    }
    run.result.total[k] = 20.0 + 10 * KindIndex(k);
  }
  run.result.cell[MatrixKind::H][0][1] = 0;
  run.result.cell[MatrixKind::H][0][2] = 100;
  run.result.cell[MatrixKind::H][0][3] = 25;
  run.result.row[MatrixKind::H][5] = 100;
  return run;
}

TEST(PercentColour, WhiteAt50RedTowards0BlueTowards100) {
  EXPECT_EQ(PercentColour(50), 0xFFFFFFu);
  EXPECT_EQ(PercentColour(0), 0xFF0000u);
  EXPECT_EQ(PercentColour(100), 0x0000FFu);
  EXPECT_EQ(PercentColour(25), 0xFFA0A0u);  // X = 75: k = 255 - trunc(95.625)
  EXPECT_EQ(PercentColour(75), 0xA0A0FFu);
  EXPECT_EQ(PercentColour(100.5), 0xFF0000u) << "above 100 counts as 0";
}

// Cell (row, col) centre.
int CellX(int col) { return 150 * col + 50 + 70; }
int CellY(int row) { return 110 * row + 50 + 50; }

TEST_F(Canvas, SignificancePictureCellsRowBoxesAndGreyForUncountedCells) {
  DrawSignificancePicture(PictureRun(), MatrixKind::H);
  EXPECT_EQ(At(CellX(1), CellY(0)), 0xFF0000u);
  EXPECT_EQ(At(CellX(2), CellY(0)), 0x0000FFu);
  EXPECT_EQ(At(CellX(3), CellY(0)), 0xFFA0A0u);
  EXPECT_EQ(At(CellX(0), CellY(0)), kNotCountedGrey) << "diagonal";
  EXPECT_EQ(At(CellX(2), CellY(4)), kNotCountedGrey) << "Mars' row";
  EXPECT_EQ(At(CellX(4), CellY(7)), kNotCountedGrey) << "Mars' column";
  EXPECT_EQ(At(CellX(10), CellY(10)), kNotCountedGrey);
  // Cells are 140 x 100 with 10 pixels between them.
  EXPECT_EQ(At(150 * 2 + 50 + 139, CellY(4)), kNotCountedGrey);
  EXPECT_EQ(At(150 * 2 + 50 + 145, CellY(4)), 0xFFFFFFu);
  // Row boxes at x 1770 (318 wide): Mars grey, Jupiter 100 % blue.
  EXPECT_EQ(At(1770 + 150, CellY(4)), kNotCountedGrey);
  EXPECT_EQ(At(1770 + 150, CellY(5)), 0x0000FFu);
  EXPECT_EQ(At(1770 + 150, CellY(0)), PercentColour(30));
  // Every row's percentage beside its box, Mars' grey one's too.
  for (int row : {0, 4, 10}) EXPECT_TRUE(Any(2100, 110 * row + 67, 150, 24, 0x000000u)) << row;
  // The total below the matrix, and the frame.
  EXPECT_EQ(At(1000, 1300), PercentColour(20));
  EXPECT_EQ(At(1000, 1371), 0x000000u);
  EXPECT_EQ(At(2302, 700), 0x000000u);
}

TEST_F(Canvas, WithoutICTheTotalMovesUp) {
  MatrixProbabilityRun run = PictureRun();
  run.settings.weights.lastBody = 9;
  DrawSignificancePicture(run, MatrixKind::I);
  EXPECT_EQ(At(1000, 1200), PercentColour(30));
  EXPECT_EQ(At(1000, 1295), 0x000000u);
  EXPECT_EQ(At(1620 + 400, CellY(2)), PercentColour(30));
  EXPECT_EQ(At(1570, CellY(0)), 0xFFFFFFu) << "no IC column";
}

TEST_F(Canvas, LineSumChartBarsAndNoBarForABodyOfWeightZero) {
  DrawLineSumChart(PictureRun(), MatrixKind::H);
  // Sun's row bar: 30 % is 300 pixels on the base line 1060.
  EXPECT_EQ(At(645 + 15, 1059), 0xFFC800u);
  EXPECT_EQ(At(645 + 15, 760), 0xFFC800u);
  EXPECT_EQ(At(645 + 15, 759), 0xFFFFFFu);
  EXPECT_EQ(At(645 + 35, 900), 0xFFFFFFu) << "30 wide";
  // Mars (weight 0): no bar at all.
  for (int y = 600; y < 1058; y += 7) EXPECT_EQ(At(645 + 120 * 4 + 15, y), 0xFFFFFFu) << y;
  // Jupiter 100 %: up to y 60.
  EXPECT_EQ(At(645 + 120 * 5 + 15, 61), 0xFF00FFu);
  // The totals, 40 wide, and the page's own (H) again 60 wide.
  EXPECT_EQ(At(275 + 20, 1059 - 250), 0xFF0000u);  // I: 30 %
  EXPECT_EQ(At(275 + 20, 1060 - 301), 0xFFFFFFu);
  EXPECT_EQ(At(515 + 20, 1060 - 450), 0x00FFFFu);  // DA: 50 %
  EXPECT_EQ(At(155 + 50, 1059), 0x0032FFu);  // H's own bar beyond 40 pixels
  EXPECT_EQ(At(275 + 50, 1059), 0xFFFFFFu);  // I's is not widened here
  // The labels below the base line, Mars' too.
  EXPECT_TRUE(Any(1135, 1062, 48, 26, 0x000000u)) << "MARS";
  EXPECT_TRUE(Any(175, 1062, 24, 26, 0x0000FFu)) << "SH";
  // The 5 % and 95 % lines.
  EXPECT_EQ(At(1800, 1010), 0xFF0000u);
  EXPECT_EQ(At(1800, 110), 0x0000FFu);
}

// The texts drawn on the page with their boxes.
struct Drawn {
  std::string text;
  int x, y, w, h;
};
std::vector<Drawn> Texts(const qzGraphicTarget& t) {
  std::vector<Drawn> out;
  for (const qzDrawnShape& s : t.record.shapes)
    if (s.kind == qzDrawnShape::kText) out.push_back({t.record.texts[s.index], s.x, s.y, s.w, s.h});
  return out;
}
const Drawn* Find(const std::vector<Drawn>& texts, const std::string& text) {
  for (const Drawn& d : texts)
    if (d.text == text) return &d;
  return nullptr;
}

// The columns are headed like the rows, between the titles and the cells;
// below the frame the key shows 0 %, 50 %, 100 % and the grey of the cells
// not counted, in the colours of the cells.
TEST_F(Canvas, SignificancePictureHeadsItsColumnsAndKeysItsColours) {
  DrawSignificancePicture(PictureRun(), MatrixKind::H);
  const std::vector<Drawn> texts = Texts(target_);
  const char* heads[] = {"SU", "MO", "ME", "VE", "MA", "JU", "SA", "UR", "NE", "PL", "IC"};
  for (int col = 0; col <= 10; ++col) {
    const Drawn* head = nullptr;
    for (const Drawn& d : texts)
      if (d.text == heads[col] && d.y < 50) head = &d;
    ASSERT_NE(head, nullptr) << heads[col];
    EXPECT_NEAR(head->x + head->w / 2, CellX(col), 1) << heads[col];
    EXPECT_GE(head->y, 31) << "below the titles";
    EXPECT_LE(head->y + head->h, 50) << "above the cells";
  }
  const Drawn* rowSum = Find(texts, "row sum");
  ASSERT_NE(rowSum, nullptr);
  EXPECT_NEAR(rowSum->x + rowSum->w / 2, 1770 + 159, 1);
  const int frameBottom = 1370, keyY = frameBottom + 40 + 15;
  EXPECT_EQ(At(105, keyY), PercentColour(0));
  EXPECT_EQ(At(605, keyY), 0xFFFFFFu);
  EXPECT_EQ(At(855, keyY), PercentColour(75));
  EXPECT_EQ(At(1105, keyY), PercentColour(100));
  EXPECT_EQ(At(1220, keyY), kNotCountedGrey);
  for (const char* t : {"0 %", "50 %", "100 %", "not counted", "probability of error"}) {
    const Drawn* d = Find(texts, t);
    ASSERT_NE(d, nullptr) << t;
    EXPECT_GT(d->y, frameBottom + 2) << t << " below the frame";
    EXPECT_LE(d->y + d->h, kPictureHeight) << t;
  }
  EXPECT_NEAR(Find(texts, "50 %")->x + Find(texts, "50 %")->w / 2, 605, 1) << "under its colour";
}

// The 5 % and 95 % lines begin right of the axis: their labels stay whole.
TEST_F(Canvas, LineSumChartLinesStopShortOfTheirLabels) {
  DrawLineSumChart(PictureRun(), MatrixKind::H);
  const std::vector<Drawn> texts = Texts(target_);
  for (const auto& [label, y, colour] : {std::tuple{"5%", 1010, 0xFF0000u}, std::tuple{"95%", 110, 0x0000FFu}}) {
    const Drawn* d = Find(texts, label);
    ASSERT_NE(d, nullptr) << label;
    EXPECT_FALSE(Any(0, y, d->x + d->w + 2, 2, colour)) << label << " is crossed by its line";
    EXPECT_FALSE(Any(0, y, 63, 2, colour)) << label << ": not left of the axis";
    EXPECT_EQ(At(90, y), colour) << label;
    EXPECT_EQ(At(1800, y + 1), colour) << label;
  }
}

// Without the IC there is no IC bar, but its label stays in its place.
TEST_F(Canvas, LineSumChartWithoutICKeepsEveryLabel) {
  MatrixProbabilityRun run = PictureRun();
  run.settings.weights.lastBody = 9;
  run.settings.weights.body[10] = 0;
  run.result.row[MatrixKind::D][10] = 80;
  DrawLineSumChart(run, MatrixKind::D);
  EXPECT_TRUE(Any(1845, 1062, 24, 26, 0x0000FFu)) << "IC label in blue";
  for (int y = 300; y < 1058; y += 7) EXPECT_NE(At(645 + 120 * 10 + 15, y), 0x320032u) << y;
}

}  // namespace
