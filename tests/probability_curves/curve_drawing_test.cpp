// The curve plots drawn on a bare canvas (no window): geometry, colours,
// frames, time-axis marks and the resonance normalisation.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "probability/curves.h"
#include "qzk/graphic.h"
#include "qzk/pixmap.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0xFF0000;

int keyWaits = 0;
void CountKeyWait() { ++keyWaits; }

// A white canvas as the current target, in a fresh folder (the plots save
// their picture files into the current directory).
class BareCanvas : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = testing::TempDir() + "curvesXXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    old_ = cwd;
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    ASSERT_TRUE(qzpxmap_alloc(target_.canvas, 2304, 1500, QZ_PX_TRUECOLOR));
    qzgraphic_settarget(&target_);
    qzgraphic_clear(kWhite);
    keyWaits = 0;
  }
  void TearDown() override {
    qzgraphic_settarget(nullptr);
    ASSERT_EQ(chdir(old_.c_str()), 0);
  }
  uint32_t Pixel(int x, int y) const { return qzpxmap_getpixel(target_.canvas, x, y); }
  bool RowHas(int y, uint32_t colour, int x0, int x1) const {
    for (int x = x0; x <= x1; ++x)
      if (Pixel(x, y) == colour) return true;
    return false;
  }
  bool FileExists(const char* name) const { return access(name, F_OK) == 0; }
  // The columns inside the frame where the top tick reaches y 10: the long
  // day marks of a month (the ordinary day ticks end at y 7).
  std::vector<int> LongTopTicks() const {
    std::vector<int> xs;
    for (int x = 1; x < 1439; ++x)
      if (Pixel(x, 10) == kBlack && Pixel(x, 8) == kBlack) xs.push_back(x);
    return xs;
  }

  qzGraphicTarget target_;
  std::string dir_, old_;
};

// Curves 1..11 constant at the value 1 (they lie on their baselines: the
// scale starts from the smallest absolute value), the sum constant 2.
CurveSet ConstantCurves(int points, double ic) {
  CurveSet c(points);
  for (int j = 0; j < points; ++j) {
    c[0][j] = 2;
    for (int i = 1; i <= 10; ++i) c[i][j] = 1;
    c[11][j] = ic;
  }
  return c;
}

const double kJan2000 = 2451544.5;

TEST_F(BareCanvas, IcBelowAHundredthIsLeftOutAndBandsAreSpacedForEleven) {
  CurveExtremes e{};
  e.maximum.fill(1.0);
  e.maximum[11] = 0.0099;
  EXPECT_EQ(ActiveCurveCount(e), 11);
  e.maximum[11] = 0.01;
  EXPECT_EQ(ActiveCurveCount(e), 12);
  EXPECT_EQ(CurvePasses(0, 11), 22);
  EXPECT_EQ(CurvePasses(0, 12), 20);
  EXPECT_EQ(CurvePasses(5, 11), 1);

  const CurveSet c = ConstantCurves(1000, 0.005);
  drawFluctuationCurves(FluctuationVariant::B, 3, c, kStandardCurveColours, 1, 180, 1, kJan2000,
                        0.366, 1000, 1, CountKeyWait);
  EXPECT_EQ(keyWaits, 0);
  const int J = 1080 / 14;  // 77
  // The sum at 2J, Pluto (curve 10) at 13J; nothing where a twelfth band would lie.
  EXPECT_EQ(Pixel(700, 2 * J), kBlack);
  EXPECT_EQ(Pixel(700, 13 * J), kBlack);
  EXPECT_EQ(Pixel(700, 14 * J), kWhite);
  EXPECT_FALSE(RowHas(14 * J, 0x373737, 90, 1260));  // the IC colour
  // With 12 curves the bands would be 72 high.
  EXPECT_EQ(Pixel(700, 3 * 72 + 72), kWhite);
}

TEST_F(BareCanvas, Format180FramesA1440By1080PictureWithCurvesFrom90To1260) {
  const FluctuationFrame f = FluctuationFrameOf(180);
  EXPECT_EQ(f.width, 1440);
  EXPECT_EQ(f.height, 1080);
  EXPECT_EQ(f.x0, 90);
  EXPECT_EQ(f.x1, 1260);
  EXPECT_EQ(CurveX(f, 0, 1000), 90);
  EXPECT_EQ(CurveX(f, 999, 1000), 1260);
  EXPECT_EQ(CurveX(f, 0, 1), 90);  // one point: no division by zero

  // A sum that rises from 0: drawn from x 90 to x 1260, nowhere else.
  CurveSet c = ConstantCurves(1000, 1);
  for (int j = 0; j < 1000; ++j) c[0][j] = j;
  drawFluctuationCurves(FluctuationVariant::B, 3, c, kStandardCurveColours, 1, 180, 1, kJan2000,
                        0.366, 1000, 1, CountKeyWait);
  for (int x : {0, 1439})
    for (int y : {0, 500, 1079}) EXPECT_EQ(Pixel(x, y), kBlack) << x << "," << y;
  for (int x : {300, 1000}) {
    EXPECT_EQ(Pixel(x, 0), kBlack);
    EXPECT_EQ(Pixel(x, 1079), kBlack);
    EXPECT_EQ(Pixel(x, 1080), kWhite);
  }
  EXPECT_EQ(Pixel(1440, 700), kWhite);
  const int J = 1080 / 15, L = 2 * J;
  EXPECT_EQ(Pixel(90, L), kBlack);
  EXPECT_EQ(Pixel(1260, L), kBlack);
  EXPECT_EQ(Pixel(89, L), kWhite);
  EXPECT_EQ(Pixel(1261, L), kWhite);
  // The sum at point 300 (gain 3; higher points leave the page at its top).
  const int y300 = static_cast<int>(L - 300 * (J - 5) * (100 / 99.8) * 3 / 999.0);
  EXPECT_EQ(Pixel(CurveX(f, 300, 1000), y300), kRed);
  for (int y = L - 60; y <= L; ++y) {
    EXPECT_FALSE(RowHas(y, kRed, 0, 89)) << y;
    EXPECT_FALSE(RowHas(y, kRed, 1261, 1788)) << y;
  }
  const int y1 = static_cast<int>(L - 1 * (J - 5) * (100 / 99.8) * 3 / 999.0);
  EXPECT_EQ(Pixel(91, y1), kRed);
  EXPECT_TRUE(FileExists("Zeitqj.bmp"));
}

TEST_F(BareCanvas, VariantADrawsTwoFramesAndHalfHeightCurves) {
  CurveSet c = ConstantCurves(1000, 1);
  for (int j = 0; j < 1000; ++j) c[0][j] = j;
  drawFluctuationCurves(FluctuationVariant::A, 3, c, kStandardCurveColours, 1, 180, 1, kJan2000,
                        0.366, 1000, 1, CountKeyWait);
  EXPECT_EQ(Pixel(1, 500), kBlack);
  EXPECT_EQ(Pixel(2, 500), kBlack);
  EXPECT_EQ(Pixel(1440, 500), kBlack);
  EXPECT_EQ(Pixel(1441, 500), kBlack);
  EXPECT_EQ(Pixel(0, 500), kWhite);
  const int J = 72, L = 2 * J;
  const int top = static_cast<int>(L - 999.0 * (J - 5) * (100 / 99.8) * 3 * 0.5 / 999.0);
  EXPECT_EQ(Pixel(1260, top), kRed);
}

TEST_F(BareCanvas, ACurveOfZerosLiesFlatOnItsBaseline) {
  CurveSet c(800);  // every value 0: the largest absolute value is 0
  for (int j = 0; j < 800; ++j) c[11][j] = 1;  // keep the IC band
  drawFluctuationCurves(FluctuationVariant::B, 1, c, kStandardCurveColours, 1, 180, 1, kJan2000,
                        0.4575, 800, 1, CountKeyWait);
  const int J = 72;
  for (int i = 0; i <= 10; ++i) {
    const int L = i == 0 ? 2 * J : (i + 3) * J;
    const uint32_t own = i == 0 ? kRed : PackedColour(kStandardCurveColours[i]);
    EXPECT_EQ(Pixel(600, L), kBlack) << "curve " << i;
    // Off the tick marks, nothing of the curve's colour above or below.
    for (int dy = 1; dy < J / 2; ++dy) {
      EXPECT_FALSE(RowHas(L - dy, own, 91, 1259)) << "curve " << i << " row " << L - dy;
      EXPECT_FALSE(RowHas(L + dy, own, 91, 1259)) << "curve " << i << " row " << L + dy;
    }
  }
}

// The scale starts from the smallest absolute value, whatever the sign: a
// curve that is -1 throughout lies two scaled units below its baseline
// (into the band below), one that is +1 throughout on it (under the black
// baseline drawn after it).
TEST_F(BareCanvas, ANegativeCurveIsScaledFromItsSmallestAbsoluteValue) {
  CurveSet c = ConstantCurves(700, 1);
  for (int j = 0; j < 700; ++j) c[6][j] = -1;  // Jupiter
  drawFluctuationCurves(FluctuationVariant::B, 1, c, kStandardCurveColours, 1, 180, 1, kJan2000,
                        0.52, 700, 1, CountKeyWait);
  const int J = 72, L = 9 * J;
  const int below = static_cast<int>(L + 2.0 * (J - 5) * (100 / 99.8));
  EXPECT_EQ(below, L + 134);
  const uint32_t jupiter = PackedColour(kStandardCurveColours[6]);
  EXPECT_EQ(Pixel(600, below), jupiter);
  EXPECT_NE(Pixel(600, L - 1), jupiter);
  const uint32_t saturn = PackedColour(kStandardCurveColours[7]);
  EXPECT_FALSE(RowHas(10 * J - 1, saturn, 91, 1259));
  EXPECT_FALSE(RowHas(10 * J + 1, saturn, 91, 1259));
}

TEST_F(BareCanvas, BadArgumentsWaitForAKeyAndStillDraw) {
  const CurveSet c = ConstantCurves(700, 1);
  drawFluctuationCurves(FluctuationVariant::B, 1, c, kStandardCurveColours, 2, 180, 1, kJan2000,
                        0.5, 700, 1, CountKeyWait);
  EXPECT_EQ(keyWaits, 1);
  EXPECT_EQ(Pixel(0, 0), kBlack);
  keyWaits = 0;
  drawFluctuationCurves(FluctuationVariant::B, 1, c, kStandardCurveColours, 1, 180, 1, 0.25, 0.5,
                        700, 1, CountKeyWait);
  EXPECT_EQ(keyWaits, 1);
  // More points than the curves hold are not read.
  keyWaits = 0;
  drawFluctuationCurves(FluctuationVariant::B, 1, c, kStandardCurveColours, 1, 180, 1, kJan2000,
                        0.5, 5000, 1, CountKeyWait);
  EXPECT_EQ(keyWaits, 0);
}

TEST_F(BareCanvas, OneMonthLabelsFallOnDaysFiveToThirty) {
  for (int month : {1, 6}) {  // 31 and 30 days
    qzgraphic_clear(kWhite);
    const double start = JulianDay0h(2000, month, 1);
    const double end = JulianDay0h(2000, month + 1, 1);
    const int points = 1000;
    const double step = (end - start) / points;
    const CurveSet c = ConstantCurves(points, 1);
    drawFluctuationCurves(FluctuationVariant::B, 1, c, kStandardCurveColours, 1, 180, 2, start,
                          step, points, 1, CountKeyWait);
    const FluctuationFrame f = FluctuationFrameOf(180);
    std::vector<int> expected;
    for (int day : {5, 10, 15, 20, 25, 30}) {
      // The last point before the end of elapsed day `day`.
      const int j = static_cast<int>(std::ceil(day / step)) - 1;
      expected.push_back(CurveX(f, j, points));
    }
    EXPECT_EQ(LongTopTicks(), expected)
        << "month " << month;
    EXPECT_TRUE(FileExists("Zeitqm.bmp"));
  }
}

TEST(ResonanceNormalisation, MeansForEnergyAndDynamicAbsMaximaForAll) {
  CurveSet c(kResonancePoints);
  for (int j = 0; j < kResonancePoints; ++j) {
    c[0][j] = 10 + (j % 2 ? 4 : -4);  // mean 10, +-4
    c[1][j] = -3;                     // constant: centred to 0, stays 0
    c[2][j] = j < 1150 ? -8 : 2;      // mean -3: -5 and 5
  }
  CurveSet energy = c;
  const ResonanceScale e = NormaliseResonanceCurves(energy, MatrixKind::I);
  EXPECT_DOUBLE_EQ(e.mean[0], 10);
  EXPECT_DOUBLE_EQ(e.maximum[0], 4);
  EXPECT_DOUBLE_EQ(energy[0][0], -1);
  EXPECT_DOUBLE_EQ(energy[0][1], 1);
  EXPECT_DOUBLE_EQ(e.maximum[1], 0);
  EXPECT_DOUBLE_EQ(energy[1][7], 0);
  EXPECT_DOUBLE_EQ(energy[2][0], -1);
  EXPECT_DOUBLE_EQ(energy[2][2299], 1);

  CurveSet harmony = c;
  const ResonanceScale h = NormaliseResonanceCurves(harmony, MatrixKind::H);
  EXPECT_DOUBLE_EQ(h.mean[0], 0);
  EXPECT_DOUBLE_EQ(h.maximum[1], 3);  // of the absolute value
  EXPECT_DOUBLE_EQ(harmony[1][5], -1);
  EXPECT_DOUBLE_EQ(h.maximum[2], 8);
  EXPECT_DOUBLE_EQ(harmony[2][0], -1);
  EXPECT_DOUBLE_EQ(harmony[2][2299], 0.25);
}

TEST_F(BareCanvas, AZeroResonanceCurveKeepsItsValuesOnItsBaseline) {
  CurveSet c(kResonancePoints);
  for (int j = 0; j < kResonancePoints; ++j) {
    c[0][j] = std::sin(j * 0.01);
    c[3][j] = std::cos(j * 0.01);  // Mercury moves; every other body is 0
  }
  drawResonanceCurves(c, kStandardCurveColours, 3, MatrixKind::H, JulianDay0h(2024, 3, 1), 31.0 / 2300, 1);
  for (int j = 0; j < kResonancePoints; ++j) ASSERT_EQ(c[5][j], 0.0);
  const uint32_t mars = PackedColour(kStandardCurveColours[5]);
  const int L = ResonanceBaseline(5);
  EXPECT_EQ(L, 185 + 95 * 5);
  // The bar covers L and L + 1; the second trace shows at L + 2.
  EXPECT_EQ(Pixel(1001, L), kBlack);
  EXPECT_EQ(Pixel(1001, L + 2), mars);
  for (int dy = 3; dy < 40; ++dy) EXPECT_NE(Pixel(1001, L - dy), mars);
  // Mercury normalised to 1 at point 0: 50 above its baseline.
  EXPECT_DOUBLE_EQ(c[3][0], 1.0);
  EXPECT_EQ(Pixel(0, ResonanceY(3, 1.0)), PackedColour(kStandardCurveColours[3]));
  EXPECT_EQ(ResonanceY(3, 1.0), 185 + 95 * 3 - 50);
  EXPECT_EQ(ResonanceY(0, -0.5), 180);
}

TEST_F(BareCanvas, ResonanceYearBarsMarkEveryNewYear) {
  CurveSet c(kResonancePoints);
  const double start = JulianDate(2000, 1, 1, 12, 1, 0, 0);
  const double end = JulianDate(2004, 1, 1, 12, 1, 0, 0);
  const double step = (end - start) / kResonancePoints;
  drawResonanceCurves(c, kStandardCurveColours, 1, MatrixKind::DA, start, step, 4);
  int bars = 0;
  for (int x = 0; x < 2304; ++x)
    if (Pixel(x, 700) == 0xA0A0AA && Pixel(x - 1, 700) != 0xA0A0AA) ++bars;
  EXPECT_EQ(bars, 3);  // 2001, 2002, 2003: the last point lies before 2004
}

}  // namespace

namespace {

TEST_F(BareCanvas, LifeAreaCurvesShareTheHeightInThirteenBandsWithTheirLabels) {
  CurveSet c(700);
  for (int j = 0; j < 700; ++j)
    for (int i = 0; i <= 11; ++i) c[i][j] = 1;  // each at its maximum: half a band up
  drawFluctuationCurves(FluctuationVariant::B, 1, c, kStandardCurveColours, 0, 180, 1, kJan2000,
                        0.52, 700, 1, CountKeyWait);
  const int J = 1080 / 13;  // 83
  EXPECT_EQ(BandHeight(1080, 12, 0), J);
  for (int i = 0; i < 12; ++i) {
    const int L = (i + 1) * J;
    EXPECT_EQ(Pixel(600, L), kBlack) << i;
    const int y = static_cast<int>(L - 1.0 * (J - 5) / 1.0 * 0.5);
    EXPECT_EQ(Pixel(600, y), PackedColour(kStandardCurveColours[i])) << i;
  }
  // The first three labels in (0, 128, 255), the others in blue.
  EXPECT_TRUE(RowHas(J + 1, 0x0080FF, 1265, 1440));
  EXPECT_FALSE(RowHas(4 * J + 1, 0x0080FF, 1265, 1440));
  EXPECT_TRUE(RowHas(4 * J + 1, 0x0000FF, 1265, 1440));
}

}  // namespace
