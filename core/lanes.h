#pragma once
// The lane types of the core's passes: a plain double (one lane), two
// doubles side by side (Pair, one SSE2 register) and four (Quad, one AVX
// register), and the few functions the chart and the matrices need on
// them, with the same operations in the same order on every lane, so
// that a value does not depend on whether it was computed alone, beside
// another orbit or beside another moment. The passes are written once
// over the lane type V with these.
#include <emmintrin.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <type_traits>

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

// The lane type of one, two or four lanes: a plain double, a Pair, a
// Quad. The templates below and the core's passes are written once over
// it; a one-lane value is the double itself.
template <int Lanes>
struct LaneTypeOf;
template <>
struct LaneTypeOf<1> {
  using type = double;
};
template <>
struct LaneTypeOf<2> {
  using type = Pair;
};
template <>
struct LaneTypeOf<4> {
  using type = Quad;
};
template <int Lanes>
using LanesOf = typename LaneTypeOf<Lanes>::type;

// Lanes of a lane type, and loads, stores and broadcasts for any of them.
template <class V>
inline constexpr int kLaneCount = sizeof(V) / sizeof(double);
// A struct of lanes, or for one lane the plain struct of the same
// members that the one-moment functions take.
template <class V, class One, class Lanes>
using OneLaneAs = std::conditional_t<kLaneCount<V> == 1, One, Lanes>;
// Two or four lanes (a vector), as opposed to a plain double.
template <class V>
concept LaneVector = kLaneCount<V> >= 2;

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
  if constexpr (kLaneCount<V> == 4) {
    // A constant as it is; any other value in one broadcast, from memory
    // or a register (the compiler's own would take three steps here).
    if (__builtin_constant_p(x)) return V{x, x, x, x};
    V r;
    asm("vbroadcastsd %1, %0" : "=x"(r) : "xm"(x));
    return r;
  } else if constexpr (kLaneCount<V> == 2)
    return V{x, x};
  else
    return x;
}
// Lane l of a value or a mask, and a lane set alone, for the lanes that
// step aside (the one-lane value is its only lane).
template <class V>
CORE_LANE_INLINE double LaneOf(const V& v, int l) {
  if constexpr (kLaneCount<V> == 1)
    return (void)l, v;
  else
    return v[l];
}
template <class V>
CORE_LANE_INLINE void SetLane(V& v, int l, double x) {
  if constexpr (kLaneCount<V> == 1)
    (void)l, v = x;
  else
    v[l] = x;
}
template <class Mask>
CORE_LANE_INLINE bool MaskLane(const Mask& m, int l) {
  if constexpr (sizeof(Mask) == sizeof(bool))
    return (void)l, m;
  else
    return m[l] != 0;
}
// Integers, one to a lane, as doubles (exact).
template <class V>
CORE_LANE_INLINE V LanesOfInts(const int* v) {
  V r = SplatLanes<V>(0);
  for (int l = 0; l < kLaneCount<V>; ++l) SetLane(r, l, static_cast<double>(v[l]));
  return r;
}

CORE_LANE_INLINE Quad JoinPairs(Pair low, Pair high) { return __builtin_shufflevector(low, high, 0, 1, 2, 3); }
// The same with both pairs loaded from memory, the high one inside the
// insertion itself (the compiler would load it on its own first).
CORE_LANE_INLINE Quad JoinLoadedPairs(const double* low, const double* high) {
  using PairInMemory = double __attribute__((vector_size(16), may_alias, aligned(8)));
  Quad r;
  asm("vinsertf128 $1, %2, %t1, %0"
      : "=x"(r)
      : "x"(LoadLanes<Pair>(low)), "m"(*reinterpret_cast<const PairInMemory*>(high)));
  return r;
}

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

// One bit per lane of a mask, as the two-lane movemask.
CORE_LANE_INLINE int MaskBits(QuadMask m) {
  int bits;
  asm("vmovmskpd %1, %0" : "=r"(bits) : "x"(m));
  return bits;
}
CORE_LANE_INLINE bool Any(QuadMask m) { return MaskBits(m) != 0; }
CORE_LANE_INLINE bool All(QuadMask m) { return MaskBits(m) == 15; }

// a < b ? yes : no lane by lane; a NaN gives `no`, as IfLess above.
template <LaneVector V>
CORE_LANE_INLINE V IfLess(V a, V b, V yes, V no) {
  return Select(a < b, yes, no);
}

// Below this magnitude trunc and floor go through the 32-bit conversion.
inline constexpr double kInt32Range = 2147483647.0;

// trunc of each value for |x| < kInt32Range (the callers check), as
// 32-bit integers (lanes 0 and 1 of four for a pair) and as doubles: the
// same as Trunc() there.
CORE_LANE_INLINE QuadIndex TruncIndex(Pair x) { return reinterpret_cast<QuadIndex>(_mm_cvttpd_epi32(x)); }
// (One instruction: the compiler's conversion adds a move that clears
// the upper half it already cleared.)
CORE_LANE_INLINE QuadIndex TruncIndex(Quad x) {
  QuadIndex r;
  asm("vcvttpd2dq %1, %0" : "=x"(r) : "x"(x));
  return r;
}
CORE_LANE_INLINE Pair TruncLanes(Pair x) { return _mm_cvtepi32_pd(_mm_cvttpd_epi32(x)); }
// The four 32-bit integers as doubles (exact).
CORE_LANE_INLINE Quad QuadOfIndex(QuadIndex i) {
  Quad r;
  asm("vcvtdq2pd %1, %0" : "=x"(r) : "x"(i));
  return r;
}
CORE_LANE_INLINE Quad TruncLanes(Quad x) { return QuadOfIndex(TruncIndex(x)); }

// floor of each value for |x| < kInt32Range, the same as Floor() there.
template <LaneVector V>
CORE_LANE_INLINE V FloorLanes(V x) {
  using Mask = decltype(x < x);
  const V t = TruncLanes(x);
  return t - reinterpret_cast<V>(reinterpret_cast<Mask>(SplatLanes<V>(1)) & (t > x));
}

// Floor() of each value: beyond the range of the conversion (or for a
// NaN) each value goes through Floor itself.
template <LaneVector V>
CORE_LANE_INLINE V Floor(V x) {
  if (!All(Abs(x) < kInt32Range)) {
    V r = x;
    for (int l = 0; l < kLaneCount<V>; ++l) r[l] = Floor(x[l]);
    return r;
  }
  return FloorLanes(x);
}

// Round to the nearest whole number, ties to even, by adding and taking
// away 1.5 * 2^52; exact for |x| < 2^51.
template <class V>
CORE_LANE_INLINE V RoundSmall(V x) {
  return (x + fast_rotation::kRoundingShift) - fast_rotation::kRoundingShift;
}

// Reduce360() on each value; when a lane lies beyond the conversion's
// range (or is a NaN), all go through Reduce360 itself (the same values
// in the others).
template <LaneVector V>
CORE_LANE_INLINE V Reduce360(V x) {
  const V q = x * (1 / 360.0);
  if (!All(Abs(q) < kInt32Range)) {
    V r = x;
    for (int l = 0; l < kLaneCount<V>; ++l) r[l] = Reduce360(x[l]);
    return r;
  }
  V r = x - 360.0 * FloorLanes(q);
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

// Rotations side by side: the cosines in one lane value, the sines in
// another; for one lane the Rotation itself.
template <class V>
struct RotationVector {
  V c, s;
};
template <class V>
using RotationLanes = OneLaneAs<V, Rotation, RotationVector<V>>;

// The pairs table[i], table[i + 1] at each lane's offset i (counted in
// doubles, never negative): the firsts and the seconds side by side. The
// offsets leave the register two at a time in one 64-bit move; four
// lanes take each pair in one 16-byte load.
template <LaneVector V>
CORE_LANE_INLINE void GatherPairs(const double* table, QuadIndex offset, V& first, V& second) {
  using Halves = uint64_t __attribute__((vector_size(16)));
  const uint64_t low = reinterpret_cast<Halves>(offset)[0];
  const double* p0 = table + static_cast<uint32_t>(low);
  const double* p1 = table + static_cast<uint32_t>(low >> 32);
  if constexpr (kLaneCount<V> == 2) {
    first = Pair{p0[0], p1[0]};
    second = Pair{p0[1], p1[1]};
  } else {
    const uint64_t high = reinterpret_cast<Halves>(offset)[1];
    const double* p2 = table + static_cast<uint32_t>(high);
    const double* p3 = table + static_cast<uint32_t>(high >> 32);
    const Quad a = JoinLoadedPairs(p0, p2);
    const Quad b = JoinLoadedPairs(p1, p3);
    first = __builtin_shufflevector(a, b, 0, 4, 2, 6);
    second = __builtin_shufflevector(a, b, 1, 5, 3, 7);
  }
}

// DegreeRotation() of each value, with the same table entries and
// operations. The whole degree n is brought into -180..180 by the
// nearest multiple of 360 (n / 360 lies on a half only when n is 180
// plus a multiple of 360, where either neighbour does), all exact.
// For |degrees| <= 1e6 only (the callers know).
template <LaneVector V>
CORE_LANE_INLINE RotationLanes<V> DegreeRotationInRange(V degrees) {
  const V n = RoundSmall(degrees);
  const V d = (degrees - n) * kRadiansPerDegree;
  const V d2 = d * d;
  // |d| <= pi/360: the next terms, d^7/7! and d^8/8!, are below 1e-18.
  const V s = d + d * d2 * (-1.0 / 6 + d2 * (1.0 / 120));
  const V c = 1 + d2 * (-0.5 + d2 * (1.0 / 24 + d2 * (-1.0 / 720)));
  const V centered = n - 360.0 * RoundSmall(n * (1 / 360.0)) + 180.0;
  const QuadIndex index = TruncIndex(centered);
  RotationLanes<V> t;
  GatherPairs(&kCenteredDegreeTable[0].c, index + index, t.c, t.s);
  return {t.c * c - t.s * s, t.s * c + t.c * s};
}
// When a lane lies beyond 1e6 degrees, all go through the one-value
// function, which gives the others the same values.
template <LaneVector V>
CORE_LANE_INLINE RotationLanes<V> DegreeRotation(V degrees) {
  if (!All(Abs(degrees) <= 1e6)) {
    RotationLanes<V> r = {degrees, degrees};
    for (int l = 0; l < kLaneCount<V>; ++l) {
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
CORE_LANE_INLINE Pair TruncTowardZero(Pair x) { return TruncLanes(x); }

inline double AtanTableValue(double k) { return kAtanTable.value[static_cast<int>(k)]; }
CORE_LANE_INLINE Pair AtanTableValue(Pair k) {
  return Pair{kAtanTable.value[static_cast<int>(k[0])], kAtanTable.value[static_cast<int>(k[1])]};
}

CORE_LANE_INLINE Quad TruncTowardZero(Quad x) { return TruncLanes(x); }
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
