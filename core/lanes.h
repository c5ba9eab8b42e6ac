#pragma once
// Two doubles side by side (one SSE2 register) and the few functions the
// chart needs on them, each written once for a plain double and once for
// a pair with the same operations in the same order, so that a value
// does not depend on whether it was computed alone, beside another orbit
// or beside another moment.
#include <emmintrin.h>

#include <array>
#include <cmath>
#include <cstdint>

#include "core/angles.h"

namespace core_detail {

using Pair = double __attribute__((vector_size(16)));
using PairMask = int64_t __attribute__((vector_size(16)));

inline Pair Splat(double x) { return Pair{x, x}; }
inline Pair LoadPair(const double* p) {
  Pair v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
inline void StorePair(double* p, Pair v) { __builtin_memcpy(p, &v, sizeof v); }

inline double Select(bool m, double a, double b) { return m ? a : b; }
inline Pair Select(PairMask m, Pair a, Pair b) { return m ? a : b; }
inline bool Any(bool m) { return m; }
inline bool Any(PairMask m) { return _mm_movemask_pd(reinterpret_cast<__m128d>(m)) != 0; }

inline double Abs(double x) { return std::fabs(x); }
inline Pair Abs(Pair x) {
  return reinterpret_cast<Pair>(reinterpret_cast<PairMask>(x) & PairMask{INT64_MAX, INT64_MAX});
}
inline double Sqrt(double x) { return std::sqrt(x); }
inline Pair Sqrt(Pair x) {
#if defined(__SSE2__)
  return __builtin_ia32_sqrtpd(x);
#else
  return Pair{std::sqrt(x[0]), std::sqrt(x[1])};
#endif
}

// Round to the nearest whole number, ties to even, by adding and taking
// away 1.5 * 2^52; exact for |x| < 2^51.
template <class V>
V RoundSmall(V x) {
  return (x + fast_rotation::kRoundingShift) - fast_rotation::kRoundingShift;
}

// floor for |x| < 2^51 (the callers check), the same as Floor() there.
template <class V>
V FloorSmall(V x) {
  const V r = RoundSmall(x);
  return Select(r > x, r - 1, r);
}

// trunc for |x| < 2^51, the same as Trunc() there.
template <class V>
V TruncSmall(V x) {
  const V r = RoundSmall(x);
  return Select(x >= 0, Select(r > x, r - 1, r), Select(r < x, r + 1, r));
}

// Reduce360() on both values: beyond the exact range of the rounding (or
// for a NaN) each value goes through Reduce360 itself.
inline Pair Reduce360(Pair x) {
  const Pair q = x / 360.0;
  if (Any(!(Abs(q) < 2251799813685248.0))) return Pair{Reduce360(x[0]), Reduce360(x[1])};
  Pair r = x - 360.0 * FloorSmall(q);
  r = Select(r < 0, r + 360.0, r);
  return Select(r >= 360.0, r - 360.0, r);
}

// kDegreeTable by degrees -180..180 (index + 180).
constexpr std::array<Rotation, 361> MakeCenteredDegreeTable() {
  std::array<Rotation, 361> t{};
  for (int m = -180; m <= 180; ++m) t[m + 180] = kDegreeTable[(m + 360) % 360];
  return t;
}
inline constexpr std::array<Rotation, 361> kCenteredDegreeTable = MakeCenteredDegreeTable();

// DegreeRotation() of both values, with the same table entries and
// operations. The whole degree n is brought into -180..180 by the
// nearest multiple of 360 (n / 360 lies on a half only when n is 180
// plus a multiple of 360, where either neighbour does), all exact.
struct RotationPair {
  Pair c, s;
};
inline RotationPair DegreeRotation(Pair degrees) {
  if (Any(!(Abs(degrees) <= 1e6))) {
    const Rotation a = core_detail::DegreeRotation(degrees[0]), b = core_detail::DegreeRotation(degrees[1]);
    return {Pair{a.c, b.c}, Pair{a.s, b.s}};
  }
  const Pair n = RoundSmall(degrees);
  const Pair d = (degrees - n) * kRadiansPerDegree;
  const Pair d2 = d * d;
  const Pair s = d + d * d2 * (-1.0 / 6 + d2 * (1.0 / 120 + d2 * (-1.0 / 5040)));
  const Pair c = 1 + d2 * (-0.5 + d2 * (1.0 / 24 + d2 * (-1.0 / 720 + d2 * (1.0 / 40320))));
  const Pair centered = n - 360.0 * RoundSmall(n * (1 / 360.0)) + 180.0;
  const __m128i index = _mm_cvttpd_epi32(centered);
  const Rotation& t0 = kCenteredDegreeTable[_mm_cvtsi128_si32(index)];
  const Rotation& t1 = kCenteredDegreeTable[_mm_cvtsi128_si32(_mm_shuffle_epi32(index, 1))];
  const Pair tc = {t0.c, t1.c}, ts = {t0.s, t1.s};
  return {tc * c - ts * s, ts * c + tc * s};
}

// atan(k / 64), k = 0..64, rounded correctly at compile time.
struct AtanTable {
  double value[65];
};
constexpr AtanTable MakeAtanTable() {
  AtanTable t{};
  for (int k = 0; k <= 64; ++k) t.value[k] = __builtin_atan(k / 64.0);
  return t;
}
inline constexpr AtanTable kAtanTable = MakeAtanTable();

inline double AtanTableValue(double k) { return kAtanTable.value[static_cast<int>(k)]; }
inline Pair AtanTableValue(Pair k) {
  return Pair{kAtanTable.value[static_cast<int>(k[0])], kAtanTable.value[static_cast<int>(k[1])]};
}

// atan of any value, within about 2e-16 of the library's: 1/|t| for
// |t| > 1, the nearest k / 64 from the table and the remaining angle
// atan((a - c) / (1 + a c)), |.| <= 1/128, by its series to the 7th
// power (the next term is below 1e-20). NaN gives NaN.
template <class V>
V Atan(V t) {
  const V a = Abs(t);
  const auto big = a > 1;
  const V x = Select(big, 1 / a, a);
  V k = RoundSmall(x * 64);
  k = Select(k >= 0 && k <= 64, k, V{});
  const V c = k * (1 / 64.0);
  const V u = (x - c) / (1 + x * c);
  const V u2 = u * u;
  V r = AtanTableValue(k) + (u + u * u2 * (-1.0 / 3 + u2 * (1.0 / 5 + u2 * (-1.0 / 7))));
  r = Select(big, kPi / 2 - r, r);
  return Select(t < 0, -r, r);
}

// HalfAngleLongitude() of (X, Y) given its length: radians 0..2pi, 0 for
// the null vector.
template <class V>
V HalfAngle(V X, V Y, V length) {
  const V q = 2 * Atan(Y / (Abs(X) + length));
  const V angle = Select(X < 0, kPi - q, Select(Y < 0, q + kTwoPi, q));
  return Select(X == 0 && Y == 0, V{}, angle);
}

}  // namespace core_detail
