// The Moon's geocentric position: Jean Meeus, Astronomical Algorithms,
// ch. 47 (truncated ELP-2000/82), with the 1st edition's arguments.
//
// Instead of one sine per term, the sines and cosines of D, M, M', F are
// taken once and every multiple angle is formed by complex products: each
// term is then the imaginary part of (D, M) times (M', F) products from
// two small tables, with the eccentricity factor folded into the first.
#include <array>
#include <cstdint>

#include "core/angles.h"
#include "core/chart.h"
#include "core/lunar_arguments.h"
#include "core/lunar_terms.h"

using namespace core_detail;

namespace {

// Multiplier ranges of the tables: D 0..4, M -2..2, M' -3..4, F -3..3.
constexpr int kDCount = 5, kMCount = 5, kMpCount = 8, kFCount = 7;
constexpr int kMOffset = 2, kMpOffset = 3, kFOffset = 3;

template <class Term>
constexpr bool InRange(const Term& t) {
  return t.D >= 0 && t.D < kDCount && t.M + kMOffset >= 0 && t.M + kMOffset < kMCount &&
         t.Mp + kMpOffset >= 0 && t.Mp + kMpOffset < kMpCount && t.F + kFOffset >= 0 &&
         t.F + kFOffset < kFCount;
}

// One term as indexes into the two product tables and its coefficient.
struct PackedTerm {
  uint8_t dm;   // D * kMCount + (M + 2)
  uint8_t mpf;  // (M' + 3) * kFCount + (F + 3)
  double coefficient;
};

template <class Term, std::size_t N, class Coefficient>
constexpr std::array<PackedTerm, N> Pack(const std::array<Term, N>& terms, Coefficient coefficient) {
  std::array<PackedTerm, N> out{};
  for (std::size_t i = 0; i < N; ++i) {
    const Term& t = terms[i];
    if (!InRange(t)) throw "lunar term multiplier outside the product tables";
    out[i].dm = static_cast<uint8_t>(t.D * kMCount + t.M + kMOffset);
    out[i].mpf = static_cast<uint8_t>((t.Mp + kMpOffset) * kFCount + t.F + kFOffset);
    out[i].coefficient = coefficient(t);
  }
  return out;
}

constexpr auto kLongitudePacked =
    Pack(kLunarLongitudeTerms, [](const LunarLongitudeTerm& t) { return double(t.sigmaL); });
constexpr auto kLatitudePacked =
    Pack(kLunarLatitudeTerms, [](const LunarLatitudeTerm& t) { return double(t.sigmaB); });

double Polynomial(const ArgumentPolynomial& p, double T) {
  const double T2 = T * T, T3 = T2 * T;
  double v = p.c0 + p.c1 * T + p.c2 * T2;
  if (p.d3 != 0) v += T3 * (1 / p.d3);
  if (p.d4 != 0) v += T3 * T * (1 / p.d4);
  return v;
}

// e^{i k x} for k = -offset .. count - 1 - offset.
template <int Count>
void Multiples(Rotation base, int offset, Rotation (&out)[Count]) {
  out[offset] = {1, 0};
  for (int k = offset + 1; k < Count; ++k) out[k] = out[k - 1] * base;
  for (int k = offset - 1; k >= 0; --k) {
    const Rotation& positive = out[2 * offset - k];
    out[k] = {positive.c, -positive.s};
  }
}

// Sum of coefficient * sin(argument) over one packed table; the loop is
// unrolled over the constant table, so that every index and coefficient
// is an immediate, and four accumulators keep the additions from waiting
// on each other.
template <const auto& kTerms>
double SineSeries(const Rotation* dm, const Rotation* mpf) {
  double acc[4] = {0, 0, 0, 0};
#pragma GCC unroll 64
  for (std::size_t i = 0; i < kTerms.size(); ++i) {
    const Rotation a = dm[kTerms[i].dm];
    const Rotation b = mpf[kTerms[i].mpf];
    acc[i & 3] += kTerms[i].coefficient * (a.s * b.c + a.c * b.s);
  }
  return (acc[0] + acc[1]) + (acc[2] + acc[3]);
}

}  // namespace

LunarArguments LunarArgumentsAt(double T, LunarEdition edition) {
  const LunarArgumentSet& set =
      edition == LunarEdition::First ? kLunarArgumentsFirstEdition : kLunarArgumentsSecondEdition;
  LunarArguments a;
  a.Lp = Reduce360(Polynomial(set.Lp, T));
  a.D = Reduce360(Polynomial(set.D, T));
  a.M = Reduce360(Polynomial(set.M, T));
  a.Mp = Reduce360(Polynomial(set.Mp, T));
  a.F = Reduce360(Polynomial(set.F, T));
  a.A1 = Reduce360(kLunarA1.c0 + kLunarA1.c1 * T);
  a.A2 = Reduce360(kLunarA2.c0 + kLunarA2.c1 * T);
  a.A3 = Reduce360(kLunarA3.c0 + kLunarA3.c1 * T);
  a.E = 1 + kLunarE1 * T + kLunarE2 * T * T;
  return a;
}

LunarPosition LunarSeries(const LunarArguments& a) {
  const Rotation D = DegreeRotation(a.D);
  const Rotation M = DegreeRotation(a.M);
  const Rotation Mp = DegreeRotation(a.Mp);
  const Rotation F = DegreeRotation(a.F);

  Rotation dMultiples[kDCount], mMultiples[kMCount], mpMultiples[kMpCount], fMultiples[kFCount];
  Multiples(D, 0, dMultiples);
  Multiples(M, kMOffset, mMultiples);
  Multiples(Mp, kMpOffset, mpMultiples);
  Multiples(F, kFOffset, fMultiples);

  // Terms with M are multiplied by E, with 2M by E squared.
  const double eFactor[kMCount] = {a.E * a.E, a.E, 1, a.E, a.E * a.E};
  Rotation dm[kDCount * kMCount];
  for (int d = 0; d < kDCount; ++d)
    for (int m = 0; m < kMCount; ++m) {
      const Rotation r = dMultiples[d] * mMultiples[m];
      dm[d * kMCount + m] = {r.c * eFactor[m], r.s * eFactor[m]};
    }
  Rotation mpf[kMpCount * kFCount];
  for (int mp = 0; mp < kMpCount; ++mp)
    for (int f = 0; f < kFCount; ++f) mpf[mp * kFCount + f] = mpMultiples[mp] * fMultiples[f];

  double sigmaL = SineSeries<kLongitudePacked>(dm, mpf);
  double sigmaB = SineSeries<kLatitudePacked>(dm, mpf);

  const Rotation Lp = DegreeRotation(a.Lp);
  const Rotation A1 = DegreeRotation(a.A1);
  const double sinA2 = DegreeRotation(a.A2).s;
  const double sinA3 = DegreeRotation(a.A3).s;
  const Rotation Fneg = {F.c, -F.s};
  const Rotation Mpneg = {Mp.c, -Mp.s};
  const LunarAdditiveTerms& k = kLunarAdditive;
  sigmaL += k.lonA1 * A1.s + k.lonLpMinusF * (Lp * Fneg).s + k.lonA2 * sinA2;
  sigmaB += k.latLp * Lp.s + k.latA3 * sinA3 + k.latA1MinusF * (A1 * Fneg).s +
            k.latA1PlusF * (A1 * F).s + k.latLpMinusMp * (Lp * Mpneg).s +
            k.latLpPlusMp * (Lp * Mp).s;
  return {a.Lp + sigmaL / 1000000, sigmaB / 1000000};
}

LunarPosition MoonPosition(double jd) {
  const double T = (jd - 2451545.0) / 36525;
  return LunarSeries(LunarArgumentsAt(T, LunarEdition::First));
}
