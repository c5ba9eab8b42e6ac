#pragma once
// Small angle helpers shared by the core's computations.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace core_detail {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2 * kPi;
inline constexpr double kRadiansPerDegree = 0.017453292519943295;
inline constexpr double kDegreesPerRadian = 57.29577951308232;


// trunc and floor through the integer conversion, which the processor
// does in one instruction where the library's functions are calls;
// exact for |x| < 2^53, the library beyond.
inline double Trunc(double x) {
  if (!(std::fabs(x) < 9007199254740992.0)) return std::trunc(x);
  return static_cast<double>(static_cast<int64_t>(x));
}
inline double Floor(double x) {
  const double t = Trunc(x);
  return t > x ? t - 1 : t;
}

// A unit complex number: cos and sin of one angle.
struct Rotation {
  double c, s;
};

inline Rotation RotationOf(double radians) { return {std::cos(radians), std::sin(radians)}; }

// cos and sin by a quadrant reduction and Taylor polynomials on
// |r| <= pi/4, within about 2e-16 of std::cos and std::sin, inline and
// without branches for |x| <= 1e5 (beyond that the library is called).
// pi/2 is split into a 33-bit head, the rest of its double and the
// remainder beyond the double, so that the reduction is exact for the
// quadrant counts that occur.
namespace fast_rotation {
inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kHalfPiHead =
    std::bit_cast<double>(std::bit_cast<uint64_t>(kHalfPi) & ~((uint64_t{1} << 20) - 1));
inline constexpr double kHalfPiMid = kHalfPi - kHalfPiHead;
inline constexpr double kHalfPiTail = 6.123233995736766e-17;
inline constexpr double kRoundingShift = 6755399441055744.0;  // 1.5 * 2^52
}  // namespace fast_rotation

inline Rotation FastRotation(double x) {
  using namespace fast_rotation;
  if (!(std::fabs(x) <= 1e5)) return {std::cos(x), std::sin(x)};
  const double q = (x * (1 / kHalfPi) + kRoundingShift) - kRoundingShift;
  const double r = ((x - q * kHalfPiHead) - q * kHalfPiMid) - q * kHalfPiTail;
  const double r2 = r * r;
  const double s =
      r + r * r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880 +
          r2 * (-1.0 / 39916800 + r2 * (1.0 / 6227020800.0 + r2 * (-1.0 / 1307674368000.0)))))));
  const double c =
      1 + r2 * (-0.5 + r2 * (1.0 / 24 + r2 * (-1.0 / 720 + r2 * (1.0 / 40320 + r2 * (-1.0 / 3628800 +
          r2 * (1.0 / 479001600 + r2 * (-1.0 / 87178291200.0 + r2 * (1.0 / 20922789888000.0))))))));
  switch (static_cast<int64_t>(q) & 3) {
    case 0: return {c, s};
    case 1: return {-s, c};
    case 2: return {-c, -s};
    default: return {s, -c};
  }
}

// cos and sin of a constant angle (|x| <= pi) at compile time, by the
// Taylor series carried far past double precision.
constexpr Rotation ConstantRotation(double x) {
  double c = 0, s = 0, term = 1;  // term = x^n / n!
  for (int n = 0; n < 40; ++n) {
    if (n % 4 == 0) c += term;
    if (n % 4 == 1) s += term;
    if (n % 4 == 2) c -= term;
    if (n % 4 == 3) s -= term;
    term = term * x / (n + 1);
  }
  return {c, s};
}

// Reduces degrees into 0 <= x < 360 by the floored quotient: exact
// whenever the quotient is right, and the fix-ups catch a quotient that
// rounded across a whole number (so the product with 1/360 serves as well
// as the division: the remainder and its fixed-up neighbours are exact).
inline double Reduce360(double x) {
  double r = x - 360.0 * Floor(x * (1 / 360.0));
  if (r < 0) r += 360.0;
  if (r >= 360.0) r -= 360.0;
  return r;
}

constexpr Rotation operator*(Rotation a, Rotation b) {
  return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}

}  // namespace core_detail

namespace core_detail {

// cos and sin of whole degrees 0..359, made at compile time from the
// first octant (where the series is at its most exact) by symmetry.
constexpr std::array<Rotation, 360> MakeDegreeTable() {
  std::array<Rotation, 360> t{};
  for (int n = 0; n < 360; ++n) {
    const int quadrant = n / 90, m = n % 90;
    Rotation r = m <= 45 ? ConstantRotation(m * kRadiansPerDegree)
                         : Rotation{ConstantRotation((90 - m) * kRadiansPerDegree).s,
                                    ConstantRotation((90 - m) * kRadiansPerDegree).c};
    for (int q = 0; q < quadrant; ++q) r = {-r.s, r.c};  // a quarter turn
    t[n] = r;
  }
  return t;
}
inline constexpr std::array<Rotation, 360> kDegreeTable = MakeDegreeTable();

// cos and sin of an angle in degrees (|x| <= 1e6; beyond, the library):
// the nearest whole degree from the table, turned by the remaining half
// degree at most through short Taylor polynomials. Within about 3e-16
// of the library's values.
inline Rotation DegreeRotation(double degrees) {
  if (!(std::fabs(degrees) <= 1e6)) return RotationOf(degrees * kRadiansPerDegree);
  const double n = (degrees + fast_rotation::kRoundingShift) - fast_rotation::kRoundingShift;
  const double d = (degrees - n) * kRadiansPerDegree;  // |d| <= 0.0088
  const double d2 = d * d;
  // |d| <= pi/360: the next terms, d^7/7! and d^8/8!, are below 1e-18.
  const double s = d + d * d2 * (-1.0 / 6 + d2 * (1.0 / 120));
  const double c = 1 + d2 * (-0.5 + d2 * (1.0 / 24 + d2 * (-1.0 / 720)));
  int index = static_cast<int>(static_cast<int64_t>(n) % 360);
  if (index < 0) index += 360;
  return kDegreeTable[index] * Rotation{c, s};
}

}  // namespace core_detail
