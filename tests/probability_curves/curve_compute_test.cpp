// The curves of the time-quality and resonance modules, computed without a
// window and held to the wave functions summed directly.
#include <gtest/gtest.h>

#include <cmath>

#include "core/calendar.h"
#include "core/chart.h"
#include "core/matrices.h"
#include "core/waves.h"
#include "probability/curves.h"
#include "probability/resonance.h"
#include "probability/zeitq.h"

namespace {

// Curve r + 1 at one moment from the direct wave sums.
double DirectCurve(MatrixKind kind, int order, const BodyLongitudes& l, const WeightTable& w, int r) {
  double v = 0;
  for (int s = 0; s < 11; ++s) {
    if (s == r) continue;
    double cell;
    if (kind == MatrixKind::H || kind == MatrixKind::I) {
      cell = 10 * HarmonyWave(order, l[r], l[s]);
      if (kind == MatrixKind::I) cell = std::fabs(cell);
    } else {
      cell = 10 * DynamicWave(order, l[r], l[s]) * (r < s ? -1 : 1);
      if (kind == MatrixKind::DA) cell = std::trunc(std::fabs(cell));
    }
    v += cell * w[r] * w[s];
  }
  return v;
}

TEST(FluctuationCurves, FollowTheWaveSumsOfEveryPairOffTheDiagonal) {
  const FluctuationSky sky = ComputeFluctuationSky(JulianDay0h(2003, 5, 1), 0.37, 60);
  ASSERT_EQ(sky.longitudes.size(), 60u);
  EXPECT_EQ(sky.dates[0].year, 2003);
  EXPECT_EQ(sky.dates[0].month, 5);
  const WeightTable w{57.2, 10.24, 0.31, 0.77, 0.3, 1.87, 0.84, 0.28, 0.22, 0.01, 57.2};
  for (MatrixKind kind : {MatrixKind::H, MatrixKind::I, MatrixKind::D}) {
    const CurveSet c = ComputeFluctuationCurves(SharedWaveTables(), kind, 4, w, sky);
    for (int m = 0; m < 60; m += 7) {
      double sum = 0;
      for (int r = 0; r < 11; ++r) {
        const double want = DirectCurve(kind, 4, sky.longitudes[m], w, r);
        // The tables interpolate linearly on 0.02 degrees: within 3e-4 of
        // the waves' unit, times 10 and the pair weights.
        double weight = 0;
        for (int s = 0; s < 11; ++s) weight += s == r ? 0 : w[r] * w[s];
        EXPECT_NEAR(c[r + 1][m], want, 3e-3 * weight) << "kind " << KindName(kind) << " m " << m << " r " << r;
        sum += c[r + 1][m];
      }
      EXPECT_NEAR(c[0][m], sum, 1e-9);
      EXPECT_EQ(c[12][m], 0.0);
    }
  }
}

TEST(FluctuationCurves, AbsoluteDynamicCellsAreWholeNumbers) {
  const FluctuationSky sky = ComputeFluctuationSky(JulianDay0h(1999, 8, 11), 0.01, 40);
  WeightTable ones;
  ones.fill(1.0);
  const CurveSet da = ComputeFluctuationCurves(SharedWaveTables(), MatrixKind::DA, 2, ones, sky);
  const CurveSet d = ComputeFluctuationCurves(SharedWaveTables(), MatrixKind::D, 2, ones, sky);
  for (int m = 0; m < 40; ++m)
    for (int r = 1; r <= 11; ++r) {
      EXPECT_EQ(da[r][m], std::trunc(da[r][m])) << m << " " << r;
      EXPECT_GE(da[r][m] + 10.0, std::fabs(d[r][m]));  // at most one lost per cell
      EXPECT_GE(da[r][m], 0);
    }
}

TEST(FluctuationCurves, ABodyOfWeightZeroGivesAFlatCurve) {
  const FluctuationSky sky = ComputeFluctuationSky(JulianDay0h(2010, 1, 1), 3.65, 100);
  WeightTable w;
  w.fill(1.0);
  w[4] = 0;   // Mars
  w[10] = 0;  // IC
  for (MatrixKind kind : kMatrixKinds) {
    const CurveSet c = ComputeFluctuationCurves(SharedWaveTables(), kind, 3, w, sky);
    for (int m = 0; m < 100; ++m) {
      EXPECT_EQ(c[5][m], 0.000001);
      EXPECT_EQ(c[11][m], 0.000001);
    }
    // The IC curve stays below 0.01, so the plot leaves it out.
    EXPECT_EQ(ActiveCurveCount(AbsoluteExtremes(c, 100, 12)), 11);
  }
}

TEST(FluctuationCurves, PiecesGiveTheSameCurvesAsOnePass) {
  const double start = JulianDay0h(2020, 2, 1);
  const FluctuationSky whole = ComputeFluctuationSky(start, 0.1, 50);
  FluctuationSky pieces = MakeFluctuationSky(start, 0.1, 50);
  for (int m = 0; m < 50; m += 13) FillFluctuationSky(pieces, m, m + 13);
  WeightTable w;
  w.fill(2.0);
  const CurveSet a = ComputeFluctuationCurves(SharedWaveTables(), MatrixKind::I, 5, w, whole);
  CurveSet b(50);
  for (int m = 0; m < 50; m += 9) FillFluctuationCurves(SharedWaveTables(), MatrixKind::I, 5, w, pieces, b, m, m + 9);
  EXPECT_EQ(a.values, b.values);
}

TEST(FluctuationLimits, SumsAtOrAboveTheLimitCount) {
  CurveSet c(5);
  const double sums[5] = {-2, -1, 0, 1, 2};
  for (int m = 0; m < 5; ++m) c[0][m] = sums[m];
  EXPECT_EQ(CountPointsOverLimit(c, -1), 4);
  EXPECT_EQ(CountPointsOverLimit(c, 2), 1);
  EXPECT_EQ(CountPointsOverLimit(c, 2.5), 0);
  EXPECT_TRUE(EventOverLimit(MatrixKind::H, 1.5, 1));
  EXPECT_FALSE(EventOverLimit(MatrixKind::H, 1, 1));
  EXPECT_FALSE(EventOverLimit(MatrixKind::D, 1, 1));
  EXPECT_TRUE(EventOverLimit(MatrixKind::I, 1, 1));
  EXPECT_TRUE(EventOverLimit(MatrixKind::DA, 10, 10));
}

TEST(FluctuationEvents, OnlyEventsInsideTheDrawnRangeCount) {
  const double start = 2451544.5, end = start + 366;
  EXPECT_EQ(EventPixel(start, start, end), 1);
  EXPECT_TRUE(EventPixelInRange(1));
  // Just before the start: truncation toward zero would put it at pixel 1.
  EXPECT_EQ(EventPixel(start - 0.01, start, end), 0);
  EXPECT_FALSE(EventPixelInRange(EventPixel(start - 0.01, start, end)));
  EXPECT_FALSE(EventPixelInRange(EventPixel(start - 400, start, end)));
  // Pixel 1169 is the last inside, 1170 = ixeg - ixag is out, the end is 1171.
  const double perPixel = 366.0 / 1170;
  EXPECT_EQ(EventPixel(start + 1168.5 * perPixel, start, end), 1169);
  EXPECT_TRUE(EventPixelInRange(1169));
  EXPECT_EQ(EventPixel(start + 1169.5 * perPixel, start, end), 1170);
  EXPECT_FALSE(EventPixelInRange(1170));
  EXPECT_EQ(EventPixel(end, start, end), 1171);
  EXPECT_FALSE(EventPixelInRange(EventPixel(1e300, start, end)));
  EXPECT_FALSE(EventPixelInRange(EventPixel(NAN, start, end)));
}

ResonanceInput PersonInput(double coupling) {
  ResonanceInput in;
  in.order = 3;
  in.weights = {57.2, 10.24, 0.31, 0.77, 0.3, 1.87, 0.84, 0.28, 0.22, 0.01, 57.2};
  in.coupling = coupling;
  ChartMoment birth;
  birth.year = 1955;
  birth.month = 3;
  birth.day = 17;
  birth.hour = 23;
  birth.minute = 59;
  birth.timeZone = 1;
  birth.longitudeDegrees = 8;
  birth.longitudeMinutes = 33;
  birth.latitudeDegrees = 47;
  birth.latitudeMinutes = 22;
  ComputeChart(birth, in.birth);
  in.place = birth;
  in.startJd = JulianDate(2024, 3, 1, 12, 1, 0, 0);
  in.stepDays = 31.0 / kResonancePoints;
  return in;
}

TEST(ResonanceCurves, WithoutCouplingOnlyTheTransitBirthWavesCount) {
  const ResonanceInput in = PersonInput(0);
  const BirthMatrices birth = BirthMatricesOf(SharedWaveTables(), in);
  ResonanceCurves out;
  FillResonanceCurves(SharedWaveTables(), in, birth, out, 0, 40);
  const auto& w = in.weights;
  for (int p = 0; p < 40; p += 13) {
    ChartRecord t{};
    ChartAtJulianDate(in.startJd + p * in.stepDays, in.place, t);
    PerKind<double> sums = {};
    for (int a = 0; a < 11; ++a) {
      double h = 0, i = 0, d = 0, da = 0, weight = 0;
      for (int b = 0; b < 11; ++b) {
        const double ww = w[a] * w[b];
        weight += w[a] * ww;
        const double H = HarmonyWave(3, t.pos[a], in.birth.pos[b]) * ww;
        const double D = DynamicWave(3, t.pos[a], in.birth.pos[b]) * ww;
        h += H;
        i += std::fabs(H);
        d += D;
        da += std::fabs(D);
      }
      const PerKind<double> want = {w[a] * h, w[a] * i, w[a] * d, w[a] * da};
      for (MatrixKind kind : kMatrixKinds) {
        const double got = out.kind[kind][a + 1][p];
        EXPECT_NEAR(got, want[kind], 3e-4 * weight)
            << "kind " << KindName(kind) << " p " << p << " body " << a;
        sums[kind] += got;
      }
    }
    for (MatrixKind kind : kMatrixKinds) EXPECT_NEAR(out.kind[kind][0][p], sums[kind], 1e-9);
  }
}

TEST(ResonanceCurves, CouplingAddsAShareOfTheBirthMatrices) {
  const ResonanceInput none = PersonInput(0), some = PersonInput(0.05);
  const BirthMatrices birth = BirthMatricesOf(SharedWaveTables(), none);
  ResonanceCurves a, b;
  FillResonanceCurves(SharedWaveTables(), none, birth, a, 0, 3);
  FillResonanceCurves(SharedWaveTables(), some, birth, b, 0, 3);
  const auto& w = none.weights;
  for (int body = 0; body < 11; ++body) {
    double extraH = 0, extraD = 0;
    for (int c = 0; c < 11; ++c) {
      extraH += 0.05 * birth.H[body][c] * w[body] * w[c];
      extraD += 0.05 * birth.D[body][c] * w[body] * w[c];
    }
    EXPECT_NEAR(b.kind[MatrixKind::H][body + 1][2] - a.kind[MatrixKind::H][body + 1][2], w[body] * extraH,
                1e-9 * (1 + std::fabs(w[body] * extraH)));
    EXPECT_NEAR(b.kind[MatrixKind::D][body + 1][2] - a.kind[MatrixKind::D][body + 1][2], w[body] * extraD,
                1e-9 * (1 + std::fabs(w[body] * extraD)));
  }
}

TEST(ResonanceCurves, ABodyOfWeightZeroStaysZeroAndUnscaled) {
  ResonanceInput in = PersonInput(0.1);
  in.weights[6] = 0;  // Saturn
  const BirthMatrices birth = BirthMatricesOf(SharedWaveTables(), in);
  ResonanceCurves out;
  FillResonanceCurves(SharedWaveTables(), in, birth, out, 0, kResonancePoints);
  for (MatrixKind kind : kMatrixKinds) {
    const ResonanceScale s = NormaliseResonanceCurves(out.kind[kind], kind);
    EXPECT_EQ(s.maximum[7], 0.0) << KindName(kind);
    for (int p = 0; p < kResonancePoints; ++p) ASSERT_EQ(out.kind[kind][7][p], 0.0);
    EXPECT_GT(s.maximum[1], 0.0);
  }
}

}  // namespace
