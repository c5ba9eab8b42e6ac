#pragma once
// The self value of a body, inline for the matrix builders:
//   0.0318305 F(A) + 0.0121555 F(B), F(t) = sum over n = 1, 3, .., 11 of
//   w_n cos(n t) with w = 1, 2, 3, 3, 2, 1; A = x - s - 15 degrees and
//   B = A - q * 0.523598775 radians (wave_coefficients.h).
// The odd multiples of t follow cos((n + 2) t) = y cos(n t) - cos((n - 2) t)
// with y = 2 cos 2t = 4 cos^2 t - 2, so F is summed by Clenshaw's
// recurrence from cos t alone: b_j = w_j + y b_{j+1} - b_{j+2} for
// j = 5 .. 0 and F = cos t (b_0 - b_1). cos B comes from cos A and sin A
// turned by the body's constant angle q * 0.523598775.
#include <array>

#include "core/angles.h"
#include "core/lanes.h"
#include "core/wave_coefficients.h"

namespace core_detail {

// F(t) from c = cos t (double or Pair), Clenshaw's sum above.
template <class V>
CORE_LANE_INLINE V OddCosineWave(V c) {
  // Each step adds y b_{j+1} last, so that the chain of dependent
  // operations is one product and one sum long per step.
  const V y = 4.0 * (c * c) - 2.0;
  const V b4 = 2.0 + y;  // b5 = 1
  const V b3 = 2.0 + y * b4;  // 3 - b5
  const V b2 = (3.0 - b4) + y * b3;
  const V b1 = (2.0 - b3) + y * b2;
  const V b0 = (1.0 - b2) + y * b1;
  return c * (b0 - b1);
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

// cos B = cos(A - d) = cos A cos d + sin A sin d.
template <class V>
CORE_LANE_INLINE V SelfValueFrom(V cosA, V sinA, V turnC, V turnS) {
  return kSelfValueWeightA * OddCosineWave(cosA) +
         kSelfValueWeightB * OddCosineWave(cosA * turnC + sinA * turnS);
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
