#pragma once
// Small angle helpers shared by the core's computations.
#include <cmath>

namespace core_detail {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2 * kPi;
inline constexpr double kRadiansPerDegree = 0.017453292519943295;
inline constexpr double kDegreesPerRadian = 57.29577951308232;

// Reduces degrees into 0 <= x < 360 exactly (fmod is exact; only the final
// addition rounds, like the last step of a repeated-addition loop).
inline double Mod360(double x) {
  double r = std::fmod(x, 360.0);
  if (r < 0) r += 360.0;
  if (r >= 360.0) r -= 360.0;
  return r;
}

// A unit complex number: cos and sin of one angle.
struct Rotation {
  double c, s;
};

inline Rotation RotationOf(double radians) { return {std::cos(radians), std::sin(radians)}; }

inline Rotation operator*(Rotation a, Rotation b) {
  return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}

}  // namespace core_detail
