// The harmonic waves, their tables and the self values.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/waves.h"

namespace {

const WaveTables& Tables() { return SharedWaveTables(); }

TEST(HarmonyWave, ReferenceValuesForEveryOrder) {
  for (int p = 1; p <= 12; ++p) {
    EXPECT_EQ(HarmonyWave(p, 0, 180), -1.0) << p;
    EXPECT_EQ(HarmonyWave(p, 180, 0), -1.0) << p;
    EXPECT_DOUBLE_EQ(HarmonyWave(p, 10, 10), -3.0 / 19) << p;
    EXPECT_NEAR(HarmonyWave(p, 0, 60), 5.0 / 19, 1e-13) << p;
    EXPECT_NEAR(HarmonyWave(p, 0, 90), -9.0 / 19, 1e-13) << p;
    EXPECT_NEAR(HarmonyWave(p, 0, 120), 15.0 / 19, 1e-13) << p;
    EXPECT_NEAR(HarmonyWave(p, 200, 80), 15.0 / 19, 1e-13) << p;
  }
}

TEST(HarmonyWave, OrdersOutsideOneToTwelve) {
  for (double d : {0.0, 17.3, 90.0, 211.7}) {
    EXPECT_EQ(HarmonyWave(13, 0, d), HarmonyWave(1, 0, d));
    EXPECT_EQ(HarmonyWave(40, 0, d), HarmonyWave(1, 0, d));
    EXPECT_EQ(HarmonyWave(0, 0, d), HarmonyWave(1, 0, d));  // no division by zero
    EXPECT_EQ(DynamicWave(13, 0, d), DynamicWave(1, 0, d));
    EXPECT_EQ(HarmonyLookup(Tables(), 13, 0, d), HarmonyLookup(Tables(), 12, 0, d));
    EXPECT_EQ(DynamicLookup(Tables(), 99, 0, d), DynamicLookup(Tables(), 12, 0, d));
    EXPECT_EQ(HarmonyLookup(Tables(), -3, 0, d), HarmonyLookup(Tables(), 1, 0, d));
  }
}

TEST(DynamicWave, AntisymmetricAndZeroForEqualLongitudes) {
  for (int p = 1; p <= 12; ++p) {
    EXPECT_EQ(DynamicWave(p, 123.4, 123.4), 0.0);
    for (double b = 3.7; b < 360; b += 41.3) {
      EXPECT_DOUBLE_EQ(DynamicWave(p, b, 77.7), -DynamicWave(p, 77.7, b));
      EXPECT_NEAR(DynamicLookup(Tables(), p, b, 77.7), -DynamicLookup(Tables(), p, 77.7, b), 1e-15);
    }
  }
  // V is the derivative of the harmony sum by the signed angle, in
  // radians: compare with a central difference.
  const double h = 1e-5;
  for (double e = 5; e < 355; e += 23) {
    const double derivative = (HarmonyWave(4, e + h, 0) - HarmonyWave(4, e - h, 0)) / (2 * h * M_PI / 180);
    EXPECT_NEAR(DynamicWave(4, e, 0), derivative, 1e-5 * std::max(1.0, std::fabs(derivative))) << e;
  }
}

// Every table entry within 1e-12 of the direct sum (every fifth angle;
// the fill treats all angles alike).
TEST(FillWaveTables, WithinTolerancesOfTheDirectSums) {
  auto tables = std::make_unique<WaveTables>();
  FillWaveTables(*tables);
  double worst = 0;
  for (int p = 1; p <= 12; ++p) {
    for (int j = 0; j < kWaveSteps; j += (j < 20 || j > 17980 ? 1 : 5)) {
      const double x = j * 0.02;
      worst = std::max(worst, std::fabs(tables->harmony[p][j] - HarmonyWave(p, 0, x)));
      worst = std::max(worst, std::fabs(tables->dynamic[p][j] - DynamicWave(p, 0, x)));
    }
  }
  EXPECT_LT(worst, 1e-12);
  // One order at a time gives the same tables.
  auto single = std::make_unique<WaveTables>();
  for (int p = 1; p <= 12; ++p) FillWaveTableOrder(*single, p);
  for (int p = 1; p <= 12; ++p)
    for (int j = 0; j < kWaveSteps; j += 97) {
      EXPECT_NEAR(single->harmony[p][j], tables->harmony[p][j], 1e-13);
      EXPECT_NEAR(single->dynamic[p][j], tables->dynamic[p][j], 1e-13);
    }
}

TEST(Lookups, InterpolateAndReadTheLastEntries) {
  const WaveTables& t = Tables();
  // On the grid a lookup is the table value.
  EXPECT_EQ(HarmonyLookup(t, 5, 0, 0.02 * 4500), t.harmony[5][4500]);
  // Half way between two entries.
  const double mid = HarmonyLookup(t, 7, 0.01, 0);
  EXPECT_NEAR(mid, 0.5 * (t.harmony[7][0] + t.harmony[7][1]), 1e-15);
  // A difference of exactly 360 degrees reads entries 18000 and 18001.
  EXPECT_EQ(HarmonyLookup(t, 3, 360, 0), t.harmony[3][18000]);
  EXPECT_NEAR(t.harmony[3][18000], HarmonyWave(3, 0, 360), 1e-12);
  EXPECT_NEAR(t.harmony[3][18001], HarmonyWave(3, 0, 360.02), 1e-12);
  EXPECT_NEAR(t.dynamic[3][18001], DynamicWave(3, 0, 360.02), 1e-12);
  // Lookups follow the direct functions to the interpolation error.
  for (int p : {1, 3, 12})
    for (double b = 0.013; b < 360; b += 7.77) {
      EXPECT_NEAR(HarmonyLookup(t, p, b, 33.3), HarmonyWave(p, b, 33.3), 2e-3) << p << " " << b;
      EXPECT_NEAR(DynamicLookup(t, p, b, 33.3), DynamicWave(p, b, 33.3), 0.2) << p << " " << b;
    }
}

// Longitudes outside 0..360 would read past the end of the table; the
// waves repeat every 360 degrees, so they are read a full turn back.
TEST(Lookups, DifferencesPastAFullTurnStayInTheTable) {
  const WaveTables& t = Tables();
  EXPECT_NEAR(HarmonyLookup(t, 4, 370.5, 0), HarmonyLookup(t, 4, 10.5, 0), 1e-12);
  EXPECT_NEAR(DynamicLookup(t, 4, 0, 725.25), DynamicLookup(t, 4, 0, 5.25), 1e-12);
  EXPECT_NEAR(HarmonyLookup(t, 4, 1e9, 0), HarmonyWave(4, 1e9, 0), 2e-3);
  EXPECT_TRUE(std::isnan(HarmonyLookup(t, 4, NAN, 0)));
  EXPECT_TRUE(std::isnan(DynamicLookup(t, 4, 0, INFINITY)));
}

TEST(SelfValue, FormulaAndBodies) {
  const double shift[11] = {120, 90, 60, 30, 0, 240, 270, 300, 330, 210, 0};
  const int step[11] = {-4, -2, 3, -2, -3, -5, -3, -3, -1, 0, 0};
  auto F = [](double t) {
    return std::cos(t) + 2 * std::cos(3 * t) + 3 * std::cos(5 * t) + 3 * std::cos(7 * t) + 2 * std::cos(9 * t) +
           std::cos(11 * t);
  };
  for (int body = 0; body <= 10; ++body)
    for (double x = 0; x <= 360; x += 4.5) {
      const double A = (x - shift[body] - 15) * 0.017453292519943295;
      const double B = A - step[body] * 0.523598775;
      EXPECT_NEAR(SelfValue(body, x), 0.0318305 * F(A) + 0.0121555 * F(B), 1e-13) << body << " " << x;
    }
  EXPECT_EQ(SelfValue(11, 100), 0.0);
  EXPECT_EQ(SelfValue(-1, 100), 0.0);
}

// Longitudes outside 0..360 (a turn or more away, far out, not a
// number) give the self value of the same direction.
TEST(SelfValue, AnyLongitude) {
  for (int body = 0; body <= 10; ++body)
    for (double x : {0.0, 17.25, 179.5, 180.5, 359.75}) {
      const double inTurn = SelfValue(body, x);
      for (int turns : {-3, -1, 1, 2, 5}) EXPECT_NEAR(SelfValue(body, x + 360.0 * turns), inTurn, 1e-12) << body << " " << x;
      EXPECT_NEAR(SelfValue(body, x + 360.0 * 1e5), inTurn, 1e-9) << body << " " << x;  // the library's rotation
    }
  EXPECT_TRUE(std::isnan(SelfValue(3, NAN)));
  EXPECT_TRUE(std::isnan(SelfValue(3, INFINITY)));
}

}  // namespace
