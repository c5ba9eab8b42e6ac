#pragma once
// The self value of a body, inline for the matrix builders:
//   0.0318305 F(A) + 0.0121555 F(B), F(t) = sum over n = 1, 3, .., 11 of
//   w_n cos(n t) with w = 1, 2, 3, 3, 2, 1; A = x - s - 15 degrees and
//   B = A - q * 30 degrees (wave_coefficients.h).
// With z = e^{iA}, cos(nB) = Re(z^n r^n) for the body's constant turn
// r = e^{-i q 30 degrees}, so both waves come from one set of odd powers
// of z: the value is sum_n (alpha_n Re z^n + beta_n Im z^n) with
// per-body constants alpha and beta made at compile time.
#include <array>

#include "core/angles.h"
#include "core/lanes.h"
#include "core/wave_coefficients.h"

namespace core_detail {

struct SelfValueTerms {
  double alpha[6];
  double beta[6];
};

constexpr std::array<SelfValueTerms, 11> MakeSelfValueTerms() {
  constexpr double weight[6] = {1, 2, 3, 3, 2, 1};
  std::array<SelfValueTerms, 11> out{};
  for (int b = 0; b < 11; ++b) {
    const Rotation r = ConstantRotation(-kSelfValueRows[b].step * 0.523598775);
    Rotation rn = r;  // r^n for n = 1, 3, .., 11
    const Rotation r2 = r * r;
    for (int t = 0; t < 6; ++t) {
      out[b].alpha[t] = weight[t] * (kSelfValueWeightA + kSelfValueWeightB * rn.c);
      out[b].beta[t] = -weight[t] * kSelfValueWeightB * rn.s;
      rn = rn * r2;
    }
  }
  return out;
}
inline constexpr std::array<SelfValueTerms, 11> kSelfValueTerms = MakeSelfValueTerms();

// body 0..10 (the caller checks).
inline double SelfValueOf(int body, double x) {
  const Rotation z = DegreeRotation(x - kSelfValueRows[body].shift - 15);
  // Odd powers up to 11 in four rounds of products.
  const Rotation z2 = z * z;
  const Rotation z3 = z * z2, z4 = z2 * z2;
  const Rotation z5 = z * z4, z7 = z3 * z4;
  const Rotation z9 = z5 * z4, z11 = z7 * z4;
  const SelfValueTerms& k = kSelfValueTerms[body];
  return (k.alpha[0] * z.c + k.beta[0] * z.s) + (k.alpha[1] * z3.c + k.beta[1] * z3.s) +
         (k.alpha[2] * z5.c + k.beta[2] * z5.s) + (k.alpha[3] * z7.c + k.beta[3] * z7.s) +
         (k.alpha[4] * z9.c + k.beta[4] * z9.s) + (k.alpha[5] * z11.c + k.beta[5] * z11.s);
}

// The self values of two bodies at once, the same operations as
// SelfValueOf on each: the terms laid out by body, a spare 12th lane
// repeating the IC.
struct SelfValueLanes {
  double shift[12];
  double alpha[6][12];
  double beta[6][12];
};
constexpr SelfValueLanes MakeSelfValueLanes() {
  SelfValueLanes out{};
  for (int lane = 0; lane < 12; ++lane) {
    const int b = lane < 11 ? lane : 10;
    out.shift[lane] = kSelfValueRows[b].shift;
    for (int t = 0; t < 6; ++t) {
      out.alpha[t][lane] = kSelfValueTerms[b].alpha[t];
      out.beta[t][lane] = kSelfValueTerms[b].beta[t];
    }
  }
  return out;
}
inline constexpr SelfValueLanes kSelfValueLanes = MakeSelfValueLanes();

inline RotationPair operator*(const RotationPair& a, const RotationPair& b) {
  return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}

// Bodies `first` and first + 1 (first even, 0..10) at longitudes x.
inline Pair SelfValuePair(int first, Pair x) {
  const SelfValueLanes& k = kSelfValueLanes;
  const RotationPair z = DegreeRotation(x - LoadPair(k.shift + first) - 15);
  const RotationPair z2 = z * z;
  const RotationPair z3 = z * z2, z4 = z2 * z2;
  const RotationPair z5 = z * z4, z7 = z3 * z4;
  const RotationPair z9 = z5 * z4, z11 = z7 * z4;
  auto term = [&k, first](int t, const RotationPair& p) {
    return LoadPair(k.alpha[t] + first) * p.c + LoadPair(k.beta[t] + first) * p.s;
  };
  return term(0, z) + term(1, z3) + term(2, z5) + term(3, z7) + term(4, z9) + term(5, z11);
}

}  // namespace core_detail
