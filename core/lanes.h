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

// The small helpers below must be inlined to keep the values in registers.
#define CORE_LANE_INLINE [[gnu::always_inline]] inline
// The same for a lambda (after its parameter list).
#define CORE_INLINE_LAMBDA __attribute__((always_inline))

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
CORE_LANE_INLINE Pair Select(PairMask m, Pair a, Pair b) { return m ? a : b; }
inline bool Any(bool m) { return m; }
inline bool Any(PairMask m) { return _mm_movemask_pd(reinterpret_cast<__m128d>(m)) != 0; }
// Every lane set: !All(inside) tests for a lane outside without the
// inverted mask.
inline bool All(bool m) { return m; }
inline bool All(PairMask m) { return _mm_movemask_pd(reinterpret_cast<__m128d>(m)) == 3; }

// a < b ? yes : no without a branch (for choices that go either way
// from one chart to the next); a NaN gives `no`.
CORE_LANE_INLINE double IfLess(double a, double b, double yes, double no) {
  const __m128d m = _mm_cmplt_sd(_mm_set_sd(a), _mm_set_sd(b));
  return _mm_cvtsd_f64(_mm_or_pd(_mm_and_pd(m, _mm_set_sd(yes)), _mm_andnot_pd(m, _mm_set_sd(no))));
}

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

// Whether this processor has AVX2 (checked once per process).
inline bool ProcessorHasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();  // also when first asked during static initialisation
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

// Four doubles side by side (one AVX register), for the chart of four
// moments at once. The operations below are the compiler's vector
// arithmetic, or one AVX instruction in asm where the compiler would
// split the operation in halves (its own builtins for them may only be
// named inside AVX functions), so that the lane templates of this file
// take them from code of any target. Everything on Quad is only ever
// inlined into functions compiled for AVX2 (target "avx2", never "fma":
// without fused multiply-add the products and sums round as in the
// two-lane and one-lane code, and every lane gives the same bits).
using Quad = double __attribute__((vector_size(32)));
using QuadMask = int64_t __attribute__((vector_size(32)));
using QuadIndex = int32_t __attribute__((vector_size(16)));

// Lanes of a lane type, and loads, stores and broadcasts for any of them.
template <class V>
inline constexpr int kLaneCount = sizeof(V) / sizeof(double);
template <class V>
CORE_LANE_INLINE V LoadLanes(const double* p) {
  V v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
template <class V>
CORE_LANE_INLINE void StoreLanes(double* p, V v) {
  __builtin_memcpy(p, &v, sizeof v);
}
template <class V>
CORE_LANE_INLINE V SplatLanes(double x) {
  if constexpr (kLaneCount<V> == 4)
    return V{x, x, x, x};
  else
    return V{x, x};
}

CORE_LANE_INLINE Quad JoinPairs(Pair low, Pair high) { return __builtin_shufflevector(low, high, 0, 1, 2, 3); }

CORE_LANE_INLINE Quad Select(QuadMask m, Quad a, Quad b) { return m ? a : b; }
CORE_LANE_INLINE bool Any(QuadMask m);
CORE_LANE_INLINE bool All(QuadMask m);
CORE_LANE_INLINE Quad Abs(Quad x) {
  return reinterpret_cast<Quad>(reinterpret_cast<QuadMask>(x) & INT64_MAX);
}
// The correctly rounded square root, as the two-lane one.
CORE_LANE_INLINE Quad Sqrt(Quad x) {
  Quad r;
  asm("vsqrtpd %1, %0" : "=x"(r) : "x"(x));
  return r;
}

// trunc of the four values for |x| < kInt32Range (the callers check).
CORE_LANE_INLINE QuadIndex TruncIndex(Quad x) { return __builtin_convertvector(x, QuadIndex); }
// One bit per lane of a mask, as the two-lane movemask.
CORE_LANE_INLINE int MaskBits(QuadMask m) {
  int bits;
  asm("vmovmskpd %1, %0" : "=r"(bits) : "x"(m));
  return bits;
}
CORE_LANE_INLINE bool Any(QuadMask m) { return MaskBits(m) != 0; }
CORE_LANE_INLINE bool All(QuadMask m) { return MaskBits(m) == 15; }
// The four 32-bit integers as doubles (exact).
CORE_LANE_INLINE Quad QuadOfIndex(QuadIndex i) {
  Quad r;
  asm("vcvtdq2pd %1, %0" : "=x"(r) : "x"(i));
  return r;
}
CORE_LANE_INLINE Quad TruncQuad(Quad x) { return QuadOfIndex(TruncIndex(x)); }

// Round to the nearest whole number, ties to even, by adding and taking
// away 1.5 * 2^52; exact for |x| < 2^51.
template <class V>
CORE_LANE_INLINE V RoundSmall(V x) {
  return (x + fast_rotation::kRoundingShift) - fast_rotation::kRoundingShift;
}

// Below this magnitude trunc and floor go through the 32-bit conversion.
inline constexpr double kInt32Range = 2147483647.0;

// trunc of both values for |x| < kInt32Range (the callers check): the
// same as Trunc() there.
CORE_LANE_INLINE Pair TruncPair(Pair x) { return _mm_cvtepi32_pd(_mm_cvttpd_epi32(x)); }

// floor of both values for |x| < kInt32Range, the same as Floor() there.
CORE_LANE_INLINE Pair FloorPair(Pair x) {
  const Pair t = TruncPair(x);
  return t - reinterpret_cast<Pair>(reinterpret_cast<PairMask>(Splat(1)) & (t > x));
}

// Reduce360() on both values: beyond the range of the conversion (or for
// a NaN) each value goes through Reduce360 itself.
CORE_LANE_INLINE Pair Reduce360(Pair x) {
  const Pair q = x * (1 / 360.0);
  if (Any(!(Abs(q) < kInt32Range))) return Pair{Reduce360(x[0]), Reduce360(x[1])};
  Pair r = x - 360.0 * FloorPair(q);
  r = Select(r < 0, r + 360.0, r);
  return Select(r >= 360.0, r - 360.0, r);
}

// FloorPair() on four values, |x| < kInt32Range.
CORE_LANE_INLINE Quad FloorQuad(Quad x) {
  const Quad t = TruncQuad(x);
  return t - reinterpret_cast<Quad>(reinterpret_cast<QuadMask>(SplatLanes<Quad>(1)) & (t > x));
}
// Reduce360() on four values; when a lane lies beyond the conversion's
// range (or is a NaN), all four go through Reduce360 itself (the same
// values in the others).
CORE_LANE_INLINE Quad Reduce360(Quad x) {
  const Quad q = x * (1 / 360.0);
  if (!All(Abs(q) < kInt32Range)) {
    Quad r = x;
    for (int l = 0; l < 4; ++l) r[l] = Reduce360(x[l]);
    return r;
  }
  Quad r = x - 360.0 * FloorQuad(q);
  r = Select(r < 0, r + 360.0, r);
  return Select(r >= 360.0, r - 360.0, r);
}
// The truncation of either lane type by the same name, for the templates.
CORE_LANE_INLINE Pair TruncLanes(Pair x) { return TruncPair(x); }
CORE_LANE_INLINE Quad TruncLanes(Quad x) { return TruncQuad(x); }

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
// For |degrees| <= 1e6 only (the callers know).
CORE_LANE_INLINE RotationPair DegreeRotationInRange(Pair degrees) {
  const Pair n = RoundSmall(degrees);
  const Pair d = (degrees - n) * kRadiansPerDegree;
  const Pair d2 = d * d;
  // |d| <= pi/360: the next terms, d^7/7! and d^8/8!, are below 1e-18.
  const Pair s = d + d * d2 * (-1.0 / 6 + d2 * (1.0 / 120));
  const Pair c = 1 + d2 * (-0.5 + d2 * (1.0 / 24 + d2 * (-1.0 / 720)));
  const Pair centered = n - 360.0 * RoundSmall(n * (1 / 360.0)) + 180.0;
  const __m128i index = _mm_cvttpd_epi32(centered);
  const Rotation& t0 = kCenteredDegreeTable[_mm_cvtsi128_si32(index)];
  const Rotation& t1 = kCenteredDegreeTable[_mm_cvtsi128_si32(_mm_shuffle_epi32(index, 1))];
  const Pair tc = {t0.c, t1.c}, ts = {t0.s, t1.s};
  return {tc * c - ts * s, ts * c + tc * s};
}
CORE_LANE_INLINE RotationPair DegreeRotation(Pair degrees) {
  if (Any(!(Abs(degrees) <= 1e6))) {
    const Rotation a = core_detail::DegreeRotation(degrees[0]), b = core_detail::DegreeRotation(degrees[1]);
    return {Pair{a.c, b.c}, Pair{a.s, b.s}};
  }
  return DegreeRotationInRange(degrees);
}

// DegreeRotation() of four values: the same table entries and operations
// (when a lane lies beyond 1e6 degrees, all four go through the one-value
// function, which gives the others the same values).
struct RotationQuad {
  Quad c, s;
};
// The rotation type of a lane type.
template <class V>
struct RotationsOf;
template <>
struct RotationsOf<Pair> {
  using type = RotationPair;
};
template <>
struct RotationsOf<Quad> {
  using type = RotationQuad;
};
template <class V>
using RotationLanes = typename RotationsOf<V>::type;

// For |degrees| <= 1e6 only (the callers know).
CORE_LANE_INLINE RotationQuad DegreeRotationInRange(Quad degrees) {
  // RoundSmall, written out (its instantiation here would be one in every
  // file that includes this one).
  using fast_rotation::kRoundingShift;
  const Quad n = (degrees + kRoundingShift) - kRoundingShift;
  const Quad d = (degrees - n) * kRadiansPerDegree;
  const Quad d2 = d * d;
  const Quad s = d + d * d2 * (-1.0 / 6 + d2 * (1.0 / 120));
  const Quad c = 1 + d2 * (-0.5 + d2 * (1.0 / 24 + d2 * (-1.0 / 720)));
  const Quad centered = n - 360.0 * ((n * (1 / 360.0) + kRoundingShift) - kRoundingShift) + 180.0;
  const QuadIndex index = TruncIndex(centered);
  // Each entry is a (c, s) pair: two of them make a quad, two quads are
  // taken apart into the cosines and the sines.
  const Quad low = JoinPairs(LoadPair(&kCenteredDegreeTable[index[0]].c),
                             LoadPair(&kCenteredDegreeTable[index[1]].c));
  const Quad high = JoinPairs(LoadPair(&kCenteredDegreeTable[index[2]].c),
                              LoadPair(&kCenteredDegreeTable[index[3]].c));
  const Quad tc = __builtin_shufflevector(low, high, 0, 2, 4, 6);
  const Quad ts = __builtin_shufflevector(low, high, 1, 3, 5, 7);
  return {tc * c - ts * s, ts * c + tc * s};
}
CORE_LANE_INLINE RotationQuad DegreeRotation(Quad degrees) {
  if (!All(Abs(degrees) <= 1e6)) {
    RotationQuad r = {degrees, degrees};
    for (int l = 0; l < 4; ++l) {
      const Rotation a = core_detail::DegreeRotation(degrees[l]);
      r.c[l] = a.c, r.s[l] = a.s;
    }
    return r;
  }
  return DegreeRotationInRange(degrees);
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

inline double TruncTowardZero(double x) { return static_cast<double>(static_cast<int>(x)); }
CORE_LANE_INLINE Pair TruncTowardZero(Pair x) { return TruncPair(x); }

inline double AtanTableValue(double k) { return kAtanTable.value[static_cast<int>(k)]; }
CORE_LANE_INLINE Pair AtanTableValue(Pair k) {
  return Pair{kAtanTable.value[static_cast<int>(k[0])], kAtanTable.value[static_cast<int>(k[1])]};
}

CORE_LANE_INLINE Quad TruncTowardZero(Quad x) { return TruncQuad(x); }
CORE_LANE_INLINE Quad AtanTableValue(Quad k) {
  const QuadIndex i = TruncIndex(k);
  return Quad{kAtanTable.value[i[0]], kAtanTable.value[i[1]], kAtanTable.value[i[2]], kAtanTable.value[i[3]]};
}

// atan of t in -1..1 (or NaN), within about 2e-16 of the library's: the
// nearest k / 64 from the table and the remaining angle
// atan((a - c) / (1 + a c)), |.| <= 1/128, by its series to the 7th
// power (the next term is below 1e-20).
template <class V>
CORE_LANE_INLINE V AtanOfUnit(V t) {
  const V a = Abs(t);
  // A NaN takes entry 0 and stays NaN through u.
  const V k = TruncTowardZero(Select(a <= 1, a, V{}) * 64 + 0.5);
  const V c = k * (1 / 64.0);
  const V u = (a - c) / (1 + a * c);
  const V u2 = u * u;
  const V r = AtanTableValue(k) + (u + u * u2 * (-1.0 / 3 + u2 * (1.0 / 5 + u2 * (-1.0 / 7))));
  return Select(t < 0, -r, r);
}

// atan of any value: 1/t beyond -1..1.
template <class V>
CORE_LANE_INLINE V Atan(V t) {
  const auto big = Abs(t) > 1;
  if (!Any(big)) return AtanOfUnit(t);  // the usual case: no reciprocal
  const V r = AtanOfUnit(Select(big, 1 / t, t));
  return Select(big, Select(t < 0, V{} - kPi / 2, V{} + kPi / 2) - r, r);
}

// num / den in single precision, as a double: the IEEE quotient of the
// two values rounded to floats, the same on every processor (never an
// approximate reciprocal, which differs between makers).
inline double FloatQuotient(double num, double den) {
  return static_cast<double>(static_cast<float>(num) / static_cast<float>(den));
}
CORE_LANE_INLINE Pair FloatQuotient(Pair num, Pair den) {
  return _mm_cvtps_pd(_mm_div_ps(_mm_cvtpd_ps(num), _mm_cvtpd_ps(den)));
}
using QuadFloat = float __attribute__((vector_size(16)));
CORE_LANE_INLINE Quad FloatQuotient(Quad num, Quad den) {
  return __builtin_convertvector(
      __builtin_convertvector(num, QuadFloat) / __builtin_convertvector(den, QuadFloat), Quad);
}

// atan(num / den) for den > 0 and |num| <= den with one division: the
// table entry k / 64 nearest the single-precision quotient, and the
// remaining angle atan((t - c) / (1 + t c)) = atan((a - c den) / (den +
// c a)), a = |num|, c = k / 64. The float quotient is within 6e-8 of
// the true one, so |u| stays within 1/128 + 6e-8 and the series of
// AtanOfUnit is as close. A lane whose u is beyond that (a quotient the
// floats could not hold, a NaN) takes AtanOfUnit of the double quotient.
template <class V>
CORE_LANE_INLINE V AtanOfQuotient(V num, V den) {
  const V a = Abs(num);
  const V q = FloatQuotient(a, den);
  const V k = TruncTowardZero(Select(q <= 1, q, V{}) * 64 + 0.5);
  const V c = k * (1 / 64.0);
  const V u = (a - c * den) / (den + c * a);
  const V u2 = u * u;
  V r = AtanTableValue(k) + (u + u * u2 * (-1.0 / 3 + u2 * (1.0 / 5 + u2 * (-1.0 / 7))));
  r = Select(num < 0, -r, r);
  const auto inSeries = Abs(u) <= 0.0079;
  if (!All(inSeries)) r = Select(inSeries, r, AtanOfUnit(num / den));
  return r;
}

// HalfAngleLongitude() of (X, Y) given its length: radians 0..2pi, 0 for
// the null vector. |Y| <= length, so the quotient stays within -1..1.
template <class V>
CORE_LANE_INLINE V HalfAngle(V X, V Y, V length) {
  const V q = 2 * AtanOfQuotient(Y, Abs(X) + length);
  const V angle = Select(X < 0, kPi - q, Select(Y < 0, q + kTwoPi, q));
  return Select(X == 0 && Y == 0, V{}, angle);
}

}  // namespace core_detail
