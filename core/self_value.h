#pragma once
// The self value of a body, inline for the matrix builders:
//   0.0318305 F(A) + 0.0121555 F(B), F(t) = sum over n = 1, 3, .., 11 of
//   w_n cos(n t) with w = 1, 2, 3, 3, 2, 1; A = x - s - 15 degrees and
//   B = A - q * 0.523598775 radians (wave_coefficients.h).
// The weights are those of (1 + z + z^2)(1 + z + z^2 + z^3) with
// z = e^(2it), so F is the real part of e^(6it) sin 3t sin 4t / sin^2 t:
//   F(t) = cos 6t (sin 3t / sin t)(sin 4t / sin t)
//        = w (4 w^2 - 3) (2 w + 1) 4 c w,  c = cos t, w = cos 2t = 2 c^2 - 1,
// a product of short factors from cos t alone (within 2e-14 of the
// twelve cosines, closer than their sum by a recurrence). cos B comes
// from cos A and sin A turned by the body's constant angle
// q * 0.523598775.
#include <array>

#include "core/angles.h"
#include "core/lanes.h"
#include "core/wave_coefficients.h"

namespace core_detail {

// F(t) / 4 from c = cos t (double or Pair), the product above; the
// factor 4 is taken into the weights (a power of two, so exactly).
template <class V>
CORE_LANE_INLINE V QuarterOddCosineWave(V c) {
  const V u = c * c;
  const V w = (u + u) - 1.0;
  const V v = w * w;
  return (c * v) * (((w + w) + 1.0) * (4.0 * v - 3.0));
}

// Per body: the shift s + 15 degrees and cos, sin of q * 0.523598775, in
// lanes (a 12th lane repeats the IC).
struct SelfValueLanes {
  double shift[12];
  double turnC[12], turnS[12];
};
constexpr SelfValueLanes MakeSelfValueLanes() {
  SelfValueLanes out{};
  for (int lane = 0; lane < 12; ++lane) {
    const int b = lane < 11 ? lane : 10;
    out.shift[lane] = kSelfValueRows[b].shift + 15;
    const Rotation r = ConstantRotation(kSelfValueRows[b].step * 0.523598775);
    out.turnC[lane] = r.c;
    out.turnS[lane] = r.s;
  }
  return out;
}
inline constexpr SelfValueLanes kSelfValueLanes = MakeSelfValueLanes();

// kDegreeTable by whole degrees -360..360 (index + 360): for a degree
// within -180..180 the same entry as kCenteredDegreeTable, so that the
// four-lane self values index it with the degree itself.
constexpr std::array<Rotation, 721> MakeWideDegreeTable() {
  std::array<Rotation, 721> t{};
  for (int m = -360; m <= 360; ++m) t[m + 360] = kDegreeTable[(m + 720) % 360];
  return t;
}
inline constexpr std::array<Rotation, 721> kWideDegreeTable = MakeWideDegreeTable();

// cos B = cos(A - d) = cos A cos d + sin A sin d.
template <class V>
CORE_LANE_INLINE V SelfValueFrom(V cosA, V sinA, V turnC, V turnS) {
  return (4 * kSelfValueWeightA) * QuarterOddCosineWave(cosA) +
         (4 * kSelfValueWeightB) * QuarterOddCosineWave(cosA * turnC + sinA * turnS);
}

// body 0..10 (the caller checks).
inline double SelfValueOf(int body, double x) {
  const SelfValueLanes& k = kSelfValueLanes;
  const Rotation z = DegreeRotation(x - k.shift[body]);
  return SelfValueFrom(z.c, z.s, k.turnC[body], k.turnS[body]);
}

// The self values of bodies 0..9 at once (the IC's is never kept), the
// same operations as SelfValueOf on each: every stage runs over all five
// pairs before the next, so that their chains overlap.
// kInTurn: the caller knows the longitudes to lie within 0..360.
template <bool kInTurn>
void SelfValuesOfBodies(const double* pos, Pair (&out)[5]) {
  const SelfValueLanes& k = kSelfValueLanes;
  RotationPair z[5];
  for (int p = 0; p < 5; ++p) {
    const Pair a = LoadPair(pos + 2 * p) - LoadPair(k.shift + 2 * p);
    z[p] = kInTurn ? DegreeRotationInRange(a) : DegreeRotation(a);
  }
  for (int p = 0; p < 5; ++p)
    out[p] = SelfValueFrom(z[p].c, z[p].s, LoadPair(k.turnC + 2 * p), LoadPair(k.turnS + 2 * p));
}

}  // namespace core_detail
