#pragma once
// The self value of a body, inline for the matrix builders:
//   0.0318305 F(A) + 0.0121555 F(B), F(t) = sum over n = 1, 3, .., 11 of
//   w_n cos(n t) with w = 1, 2, 3, 3, 2, 1; A = x - s - 15 degrees and
//   B = A - q * 0.523598775 radians (wave_coefficients.h).
// The weights are those of (1 + z + z^2)(1 + z + z^2 + z^3) with
// z = e^(2it), so F is the real part of e^(6it) sin 3t sin 4t / sin^2 t:
//   F(t) = cos 6t (sin 3t / sin t)(sin 4t / sin t)
//        = 32 c v (w + 1/2)(v - 3/4),  c = cos t, w = cos 2t, v = w^2,
// a product of short factors of cos t alone (within 5e-14 of the twelve
// cosines, as close as their sum by a recurrence).
//
// cos A and sin A: s + 15 is a whole number of degrees, so A is the
// table's whole degree n - s - 15 (n = x rounded) turned by the exact
// remainder x - n; cos B is A's turned by the body's constant angle
// q * 0.523598775. The same operations for one body (double), two (Pair)
// and, in the matrix builders' four-lane pass, four (Quad).
#include <array>
#include <cmath>
#include <cstdint>

#include "core/angles.h"
#include "core/lanes.h"
#include "core/wave_coefficients.h"

namespace core_detail {

// weight * F(t) from c = cos t alone: with u = c^2, w = 2 u - 1 and
// v = w^2 = 4 (u - 1/2)^2, the product above is
//   F = 1024 c q (u - 1/4)(q - 3/16),  q = (u - 1/2)^2,
// the factor 1024 and the weight taken to c first.
template <class V>
CORE_LANE_INLINE V WeightedOddCosineWave(double weight, V c) {
  const V u = c * c;
  const V h = u - 0.5;
  const V q = h * h;
  return (((1024 * weight) * c) * q) * ((u - 0.25) * (q - 0.1875));
}

// cos and sin of a small angle d (radians, |d| <= pi/360): the next
// terms, d^7/7! and d^8/8!, are below 1e-18.
template <class V>
struct SmallTurn {
  V c, s;
};
template <class V>
CORE_LANE_INLINE SmallTurn<V> SmallRotation(V d) {
  const V d2 = d * d;
  const V s = d + (d * d2) * (-1.0 / 6 + d2 * (1.0 / 120));
  const V c = (1.0 + d2 * -0.5) + (d2 * d2) * (1.0 / 24 + d2 * (-1.0 / 720));
  return {c, s};
}

// kDegreeTable by whole degrees -360..360 (index + 360).
constexpr std::array<Rotation, 721> MakeWideDegreeTable() {
  std::array<Rotation, 721> t{};
  for (int m = -360; m <= 360; ++m) t[m + 360] = kDegreeTable[(m + 720) % 360];
  return t;
}
inline constexpr std::array<Rotation, 721> kWideDegreeTable = MakeWideDegreeTable();

// Per body, in lanes (a 12th lane repeats the IC): the shift s + 15
// degrees (a whole number), where its rotations start in
// kWideDegreeTable counted in doubles (for n = 0 .. 360, 2 (n + 360 -
// s - 15) + this start), and cos, sin of q * 0.523598775.
struct SelfValueLanes {
  int shift[12];
  int tableStart[12];
  double turnC[12], turnS[12];
};
constexpr SelfValueLanes MakeSelfValueLanes() {
  SelfValueLanes out{};
  for (int lane = 0; lane < 12; ++lane) {
    const int b = lane < 11 ? lane : 10;
    out.shift[lane] = static_cast<int>(kSelfValueRows[b].shift) + 15;
    out.tableStart[lane] = 2 * (360 - out.shift[lane]);
    const Rotation r = ConstantRotation(kSelfValueRows[b].step * 0.523598775);
    out.turnC[lane] = r.c;
    out.turnS[lane] = r.s;
  }
  return out;
}
inline constexpr SelfValueLanes kSelfValueLanes = MakeSelfValueLanes();

// The self value from cos A and sin A.
template <class V>
CORE_LANE_INLINE V SelfValueFrom(V cosA, V sinA, V turnC, V turnS) {
  const V cosB = cosA * turnC + sinA * turnS;  // cos(A - d) = cos A cos d + sin A sin d
  return WeightedOddCosineWave(kSelfValueWeightA, cosA) + WeightedOddCosineWave(kSelfValueWeightB, cosB);
}

// cos A, sin A from the table's whole degree and the remainder's turn.
template <class V>
CORE_LANE_INLINE V SelfValueFromTable(V tc, V ts, SmallTurn<V> r, V turnC, V turnS) {
  return SelfValueFrom(tc * r.c - ts * r.s, ts * r.c + tc * r.s, turnC, turnS);
}

// body 0..10 (the caller checks), any x.
inline double SelfValueOf(int body, double x) {
  const SelfValueLanes& k = kSelfValueLanes;
  if (!(std::fabs(x) <= 1e6)) {
    const Rotation z = RotationOf((x - k.shift[body]) * kRadiansPerDegree);
    return SelfValueFrom(z.c, z.s, k.turnC[body], k.turnS[body]);
  }
  const double n = RoundSmall(x);
  const SmallTurn<double> r = SmallRotation((x - n) * kRadiansPerDegree);  // x - n exact
  int index = static_cast<int>(static_cast<int64_t>(n) - k.shift[body]) % 360;
  if (index < 0) index += 360;
  const Rotation& t = kDegreeTable[index];
  return SelfValueFromTable(t.c, t.s, r, k.turnC[body], k.turnS[body]);
}

// The self values of bodies first .. first + lanes - 1 (lanes of
// kSelfValueLanes) at longitudes x within 0..360 (the caller knows), the
// same operations as SelfValueOf on each.
template <LaneVector V>
CORE_LANE_INLINE V SelfValuesInTurn(V x, int first) {
  const SelfValueLanes& k = kSelfValueLanes;
  const V n = RoundSmall(x);
  const SmallTurn<V> r = SmallRotation((x - n) * kRadiansPerDegree);  // x - n exact
  const QuadIndex whole = TruncIndex(n);
  // Four starts in one load whatever the lanes (first + 4 <= 12: a
  // partial load would wait on the stores before it).
  QuadIndex start;
  __builtin_memcpy(&start, k.tableStart + first, sizeof start);
  V tc, ts;
  GatherPairs(&kWideDegreeTable[0].c, whole + whole + start, tc, ts);
  return SelfValueFromTable(tc, ts, r, LoadLanes<V>(k.turnC + first), LoadLanes<V>(k.turnS + first));
}

// The self values of bodies 0..9 at once (the IC's is never kept), two
// to a register.
// kInTurn: the caller knows the longitudes to lie within 0..360;
// otherwise each body goes through SelfValueOf.
template <bool kInTurn>
void SelfValuesOfBodies(const double* pos, Pair (&out)[5]) {
  for (int p = 0; p < 5; ++p)
    out[p] = kInTurn ? SelfValuesInTurn(LoadLanes<Pair>(pos + 2 * p), 2 * p)
                     : Pair{SelfValueOf(2 * p, pos[2 * p]), SelfValueOf(2 * p + 1, pos[2 * p + 1])};
}

}  // namespace core_detail
