#pragma once
// The time series that the curve plots draw: one row of doubles per curve,
// one column per moment. Curve 0 is the sum, curves 1..11 are the bodies
// Sun .. Pluto and IC (body b is curve b + 1), curve 12 is a spare curve
// ("XIII") that the modules leave at 0.
#include <array>
#include <cstddef>
#include <vector>

inline constexpr int kCurveCount = 13;
inline constexpr int kSumCurve = 0;
inline constexpr int kIcCurve = 11;

struct CurveSet {
  int points = 0;
  std::vector<double> values;  // kCurveCount * points, curve-major

  CurveSet() = default;
  explicit CurveSet(int pointCount)
      : points(pointCount), values(static_cast<std::size_t>(kCurveCount) * pointCount, 0.0) {}

  double* operator[](int curve) { return values.data() + static_cast<std::size_t>(curve) * points; }
  const double* operator[](int curve) const {
    return values.data() + static_cast<std::size_t>(curve) * points;
  }
};

// Red, green and blue (0..255) of each curve.
struct CurveColour {
  int red, green, blue;
};
using CurveColours = std::array<CurveColour, kCurveCount>;

// The curve colours of the fluctuation and resonance pages.
inline constexpr CurveColours kStandardCurveColours{{
    {200, 150, 0},   // 0 sum
    {200, 150, 0},   // 1 Sun
    {0, 255, 0},     // 2 Moon
    {200, 200, 0},   // 3 Mercury
    {255, 100, 0},   // 4 Venus
    {255, 0, 0},     // 5 Mars
    {255, 0, 255},   // 6 Jupiter
    {0, 0, 255},     // 7 Saturn
    {0, 255, 225},   // 8 Uranus
    {50, 255, 50},   // 9 Neptune
    {255, 0, 100},   // 10 Pluto
    {55, 55, 55},    // 11 IC
    {55, 55, 55},    // 12 spare
}};

// The drawing calls' 0xRRGGBB.
constexpr unsigned PackedColour(const CurveColour& c) {
  return static_cast<unsigned>(c.red) * 65536u + static_cast<unsigned>(c.green) * 256u +
         static_cast<unsigned>(c.blue);
}
