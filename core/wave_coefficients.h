#pragma once
// Coefficients of the harmonic waves and of the bodies' self values.
#include <array>

// c(k) of harmonic k, periodic in k with period 12: index k mod 12.
inline constexpr std::array<int, 12> kWaveCoefficients = {0, 1, -2, 3, -5, 0, 3, 0, -5, 3, -2, 1};

// Terms per order: k = 1 .. 12 p - 1, divided by 19 p.
inline constexpr int kMaxHarmonic = 12 * 12 - 1;

// Self value of a body: shift s (degrees) and step q (multiples of 30
// degrees), in Body order 0 Sun .. 10 IC.
struct SelfValueRow {
  double shift;
  int step;
};
inline constexpr std::array<SelfValueRow, 11> kSelfValueRows = {{
    {120, -4}, {90, -2}, {60, 3}, {30, -2}, {0, -3}, {240, -5},
    {270, -3}, {300, -3}, {330, -1}, {210, 0}, {0, 0},
}};

// Weights of the two self-value waves.
inline constexpr double kSelfValueWeightA = 0.0318305;
inline constexpr double kSelfValueWeightB = 0.0121555;
