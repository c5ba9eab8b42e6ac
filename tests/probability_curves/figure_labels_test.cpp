// The small print of the curve pages: the value scales left of the
// fluctuation curves and the resonance key below the frame, read back from
// the page's drawing record (what was written where) and its pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "probability/curves.h"
#include "probability/curves_geometry.h"
#include "probability/figure_labels.h"
#include "qzk/graphic.h"
#include "temp_folder.h"

namespace {

struct Label {
  std::string text;
  int x, y, w, h;
};

class Page : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qzpxmap_alloc(target_.canvas, 2304, 1500, QZ_PX_TRUECOLOR));
    qzgraphic_settarget(&target_);
    qzgraphic_clear(0xFFFFFF);
  }
  void TearDown() override { qzgraphic_settarget(nullptr); }
  std::vector<Label> Texts() const {
    std::vector<Label> out;
    for (const qzDrawnShape& s : target_.record.shapes)
      if (s.kind == qzDrawnShape::kText) out.push_back({target_.record.texts[s.index], s.x, s.y, s.w, s.h});
    return out;
  }
  static bool Overlap(const Label& a, const Label& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
  }
  InTempFolder here_{"figures"};  // the plots save their pictures here
  qzGraphicTarget target_;
};

// Curve i swings between (i + 1) * 0.5 and (i + 1) * 2.5, its smallest
// size and largest size.
CurveSet SwingingCurves(int points) {
  CurveSet c(points);
  for (int i = 0; i < 12; ++i)
    for (int j = 0; j < points; ++j) c[i][j] = (i + 1) * (1.5 + std::sin(j * 0.05 + i));
  return c;
}

}  // namespace

TEST(ValueLabel, FourDigitsWithoutMinusZero) {
  EXPECT_EQ(ValueLabel(0.52341), "0.5234");
  EXPECT_EQ(ValueLabel(-12.3456), "-12.35");
  EXPECT_EQ(ValueLabel(1234.4), "1234");
  EXPECT_EQ(ValueLabel(-0.0), "0");
  EXPECT_EQ(ValueLabel(NAN), "?");
}

// Each band: its baseline's value (the smallest size) on the baseline,
// and one larger value at the height the curve has there, inside its own
// band; all in the margin, none over another.
TEST_F(Page, FluctuationScalesNameEachBandsBaselineAndAValueAboveIt) {
  for (FluctuationVariant variant : {FluctuationVariant::A, FluctuationVariant::B}) {
    qzgraphic_clear(0xFFFFFF);
    const int points = 700;
    const CurveSet c = SwingingCurves(points);
    const CurveExtremes e = AbsoluteExtremes(c, points, 12);
    drawFluctuationCurves(variant, 3, c, kStandardCurveColours, 1, 180, 1, JulianDay0h(2000, 1, 1), 366.0 / points,
                          points, 1, nullptr);
    const FluctuationFrame f = FluctuationFrameOf(180);
    const int band = BandHeight(f.height, 12, 1);
    std::vector<Label> margin;
    for (const Label& l : Texts())
      if (l.x + l.w <= f.x0) margin.push_back(l);
    for (size_t a = 0; a < margin.size(); ++a) {
      EXPECT_GE(margin[a].x, 3) << margin[a].text;
      for (size_t b = a + 1; b < margin.size(); ++b) EXPECT_FALSE(Overlap(margin[a], margin[b])) << margin[a].text;
    }
    for (int i = 0; i < 12; ++i) {
      const int L = Baseline(band, i, 1);
      bool base = false, above = false;
      for (const Label& l : margin) {
        const int centre = l.y + l.h / 2;
        if (centre == L) {
          EXPECT_EQ(l.text, ValueLabel(e.minimum[i])) << i;
          base = true;
        } else if (centre < L && centre > L - (i == 0 ? 2 * band : band * 11 / 20 + 1)) {
          const double v = std::atof(l.text.c_str());
          EXPECT_GT(v, e.minimum[i]) << i;
          EXPECT_LE(v, e.maximum[i] * 1.0001) << i;
          EXPECT_NEAR(centre, BodyCurveY(variant, L, band, i, 1, v, e.minimum[i], e.maximum[i]), 2) << i << " " << l.text;
          above = true;
        }
      }
      EXPECT_TRUE(base) << "band " << i;
      EXPECT_TRUE(above) << "band " << i;
    }
  }
}

// Below the frame every curve is named by its colour, with the largest
// value its band stands for (and the mean for the centred kinds), where no
// curve is drawn.
TEST_F(Page, ResonanceKeyNamesEveryCurveWithItsScaleClearOfTheCurves) {
  for (MatrixKind kind : {MatrixKind::H, MatrixKind::I}) {
    qzgraphic_clear(0xFFFFFF);
    CurveSet c(kResonancePoints);
    for (int i = 0; i < 12; ++i)
      for (int j = 0; j < kResonancePoints; ++j) c[i][j] = (i + 1) * std::sin(j * 0.004 + i) + 3 * i;
    CurveSet copy = c;
    const ResonanceScale scale = NormaliseResonanceCurves(copy, kind);
    drawResonanceCurves(c, kStandardCurveColours, 3, kind, JulianDay0h(2024, 3, 1), 31.0 / 2300, 1);
    std::vector<Label> key;
    for (const Label& l : Texts())
      if (l.y > 1296) key.push_back(l);
    for (int i = 0; i < 12; ++i) {
      std::string name = i == 0 ? "sum" : std::string(kBodyCurveLabels[i] + 3);
      std::string want = name;
      if (kind == MatrixKind::I) want += "  mean " + ValueLabel(scale.mean[i]) + "  rise up to +" + ValueLabel(scale.maximum[i]);
      else want += "  largest " + ValueLabel(scale.maximum[i]);
      bool found = false;
      for (const Label& l : key) found = found || l.text == want;
      EXPECT_TRUE(found) << want;
    }
    for (const Label& l : key) {
      EXPECT_LE(l.x + l.w, 2304) << l.text;
      EXPECT_LE(l.y + l.h, 1500) << l.text;
      for (int y = l.y; y < l.y + l.h; ++y)
        for (int x = l.x; x < l.x + l.w; ++x) {
          const uint32_t p = qzpxmap_getpixel(target_.canvas, x, y);
          ASSERT_TRUE(p == 0xFFFFFF || p == 0x000000) << l.text << " is crossed at " << x << "," << y;
        }
    }
  }
}
