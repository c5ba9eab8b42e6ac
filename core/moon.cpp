// The Moon's geocentric position: Jean Meeus, Astronomical Algorithms,
// ch. 47 (truncated ELP-2000/82), with the 1st edition's arguments.
//
// Instead of one sine per term, the sines and cosines of D, M, M', F are
// taken once and every multiple angle is formed by complex products: each
// term is then the imaginary part of a (D, M) product times an (M', F)
// product, with the eccentricity factor folded into the first. The terms
// that share a (D, M) product (13 of them serve all 120 terms) first sum
// their coefficients times the (M', F) products, two doubles at a time,
// and the sum is turned by the (D, M) product once.
//
// Four moments go side by side where the processor has AVX2 (one moment
// to a lane, the same operations in the same order on each, no fused
// multiply-add), for the chart batch.
#include <array>
#include <cstdint>
#include <utility>

#include "core/angles.h"
#include "core/chart.h"
#include "core/lanes.h"
#include "core/lunar_arguments.h"
#include "core/lunar_terms.h"
#include "core/four_moments.h"

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

// The terms in the order of their (D, M) product (stable), so that the
// terms of one product follow each other.
template <std::size_t N>
constexpr std::array<PackedTerm, N> SortedByDm(std::array<PackedTerm, N> t) {
  for (std::size_t i = 1; i < N; ++i)
    for (std::size_t j = i; j > 0 && t[j - 1].dm > t[j].dm; --j) std::swap(t[j - 1], t[j]);
  return t;
}
constexpr auto kLongitudeGrouped = SortedByDm(kLongitudePacked);
constexpr auto kLatitudeGrouped = SortedByDm(kLatitudePacked);

// The products the terms use.
struct UsedProducts {
  bool dm[kDCount * kMCount];
  bool mpf[kMpCount * kFCount];
};
constexpr UsedProducts MakeUsedProducts() {
  UsedProducts u{};
  for (const PackedTerm& t : kLongitudePacked) u.dm[t.dm] = u.mpf[t.mpf] = true;
  for (const PackedTerm& t : kLatitudePacked) u.dm[t.dm] = u.mpf[t.mpf] = true;
  return u;
}
constexpr UsedProducts kUsed = MakeUsedProducts();

// f(std::integral_constant<std::size_t, I>) for I = 0 .. N - 1, unrolled
// and forced inline (the four-moment series, with their lambdas marked
// so too, must stay inside their AVX2 function).
template <class F, std::size_t... I>
CORE_LANE_INLINE void ForEachIndex(F&& f, std::index_sequence<I...>) {
  (f(std::integral_constant<std::size_t, I>{}), ...);
}
template <std::size_t N, class F>
CORE_LANE_INLINE void ForEachIndex(F&& f) {
  ForEachIndex(f, std::make_index_sequence<N>{});
}

// The polynomial of a constant row, its divisors turned into factors
// at compile time.
template <const ArgumentPolynomial& p, class V>
CORE_LANE_INLINE V Polynomial(V T) {
  const V T2 = T * T, T3 = T2 * T;
  V v = p.c0 + p.c1 * T + p.c2 * T2;
  if constexpr (p.d3 != 0) v += T3 * (1 / p.d3);
  if constexpr (p.d4 != 0) v += T3 * T * (1 / p.d4);
  return v;
}

template <const LunarArgumentSet& set>
LunarArguments ArgumentsOf(double T) {
  // Reduced two at a time, the same values as Reduce360 one by one.
  const Pair LpD = Reduce360(Pair{Polynomial<set.Lp>(T), Polynomial<set.D>(T)});
  const Pair MMp = Reduce360(Pair{Polynomial<set.M>(T), Polynomial<set.Mp>(T)});
  const Pair FA1 = Reduce360(Pair{Polynomial<set.F>(T), kLunarA1.c0 + kLunarA1.c1 * T});
  const Pair A2A3 = Reduce360(Pair{kLunarA2.c0 + kLunarA2.c1 * T, kLunarA3.c0 + kLunarA3.c1 * T});
  LunarArguments a;
  a.Lp = LpD[0], a.D = LpD[1];
  a.M = MMp[0], a.Mp = MMp[1];
  a.F = FA1[0], a.A1 = FA1[1];
  a.A2 = A2A3[0], a.A3 = A2A3[1];
  a.E = 1 + kLunarE1 * T + kLunarE2 * T * T;
  return a;
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

// Sum of coefficient * sin(argument) over one grouped table: within a
// group the (M', F) products are summed as (cos, sin) pairs, and the
// group adds Im(dm * sum). Two accumulators take the groups in turn.
template <const auto& kTerms>
double SineSeries(const Rotation* dm, const Pair* mpf) {
  double total[2] = {0, 0};
  Pair group{};
  int groupIndex = 0;
  ForEachIndex<kTerms.size()>([&](auto index) {
    constexpr std::size_t i = decltype(index)::value;
    group += kTerms[i].coefficient * mpf[kTerms[i].mpf];
    if constexpr (i + 1 == kTerms.size() || kTerms[i + 1].dm != kTerms[i].dm) {
      const Rotation& a = dm[kTerms[i].dm];
      total[groupIndex & 1] += a.s * group[0] + a.c * group[1];
      group = Pair{};
      ++groupIndex;
    }
  });
  return total[0] + total[1];
}

// The same for four moments, one to a lane: a rotation of each.
CORE_LANE_INLINE RotationQuad Turn(const RotationQuad& a, const RotationQuad& b) {
  return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}

template <int Count>
CORE_LANE_INLINE void Multiples(const RotationQuad& base, int offset, RotationQuad (&out)[Count]) {
  out[offset] = {SplatLanes<Quad>(1), SplatLanes<Quad>(0)};
  for (int k = offset + 1; k < Count; ++k) out[k] = Turn(out[k - 1], base);
  for (int k = offset - 1; k >= 0; --k) {
    const RotationQuad& positive = out[2 * offset - k];
    out[k] = {positive.c, -positive.s};
  }
}

struct ArgumentsFour {
  Quad Lp, D, M, Mp, F, A1, A2, A3, E;
};

CORE_LANE_INLINE ArgumentsFour ArgumentsOfFour(Quad T) {
  const LunarArgumentSet& set = kLunarArgumentsFirstEdition;
  ArgumentsFour a;
  a.Lp = Reduce360(Polynomial<set.Lp>(T));
  a.D = Reduce360(Polynomial<set.D>(T));
  a.M = Reduce360(Polynomial<set.M>(T));
  a.Mp = Reduce360(Polynomial<set.Mp>(T));
  a.F = Reduce360(Polynomial<set.F>(T));
  a.A1 = Reduce360(kLunarA1.c0 + kLunarA1.c1 * T);
  a.A2 = Reduce360(kLunarA2.c0 + kLunarA2.c1 * T);
  a.A3 = Reduce360(kLunarA3.c0 + kLunarA3.c1 * T);
  a.E = 1 + kLunarE1 * T + kLunarE2 * T * T;
  return a;
}

// SineSeries with the cosine and sine halves of the group sums in
// separate registers.
template <const auto& kTerms>
CORE_LANE_INLINE Quad SineSeriesFour(const RotationQuad* dm, const RotationQuad* mpf) {
  Quad total[2] = {Quad{}, Quad{}};
  Quad groupC{}, groupS{};
  int groupIndex = 0;
  ForEachIndex<kTerms.size()>([&](auto index) CORE_INLINE_LAMBDA {
    constexpr std::size_t i = decltype(index)::value;
    groupC += kTerms[i].coefficient * mpf[kTerms[i].mpf].c;
    groupS += kTerms[i].coefficient * mpf[kTerms[i].mpf].s;
    if constexpr (i + 1 == kTerms.size() || kTerms[i + 1].dm != kTerms[i].dm) {
      const RotationQuad& a = dm[kTerms[i].dm];
      total[groupIndex & 1] += a.s * groupC + a.c * groupS;
      groupC = Quad{}, groupS = Quad{};
      ++groupIndex;
    }
  });
  return total[0] + total[1];
}

CORE_LANE_INLINE void LunarSeriesFour(const ArgumentsFour& a, Quad& longitude, Quad& latitude) {
  const RotationQuad D = DegreeRotation(a.D), M = DegreeRotation(a.M);
  const RotationQuad Mp = DegreeRotation(a.Mp), F = DegreeRotation(a.F);
  const RotationQuad Lp = DegreeRotation(a.Lp), A1 = DegreeRotation(a.A1);
  const Quad sinA2 = DegreeRotation(a.A2).s;
  const Quad sinA3 = DegreeRotation(a.A3).s;

  RotationQuad dMultiples[kDCount], mMultiples[kMCount], mpMultiples[kMpCount], fMultiples[kFCount];
  Multiples(D, 0, dMultiples);
  Multiples(M, kMOffset, mMultiples);
  Multiples(Mp, kMpOffset, mpMultiples);
  Multiples(F, kFOffset, fMultiples);

  const Quad eFactor[kMCount] = {a.E * a.E, a.E, SplatLanes<Quad>(1), a.E, a.E * a.E};
  RotationQuad dm[kDCount * kMCount];
  ForEachIndex<kDCount * kMCount>([&](auto index) CORE_INLINE_LAMBDA {
    constexpr std::size_t i = decltype(index)::value;
    constexpr int d = i / kMCount, m = i % kMCount;
    if constexpr (kUsed.dm[i] && m == kMOffset) {
      dm[i] = dMultiples[d];
    } else if constexpr (kUsed.dm[i]) {
      const RotationQuad r = d == 0 ? mMultiples[m] : Turn(dMultiples[d], mMultiples[m]);
      dm[i] = {r.c * eFactor[m], r.s * eFactor[m]};
    }
  });
  RotationQuad mpf[kMpCount * kFCount];
  ForEachIndex<kMpCount * kFCount>([&](auto index) CORE_INLINE_LAMBDA {
    constexpr std::size_t i = decltype(index)::value;
    constexpr int mp = i / kFCount, f = i % kFCount;
    if constexpr (kUsed.mpf[i]) {
      mpf[i] = mp == kMpOffset ? fMultiples[f]
               : f == kFOffset ? mpMultiples[mp]
                               : Turn(mpMultiples[mp], fMultiples[f]);
    }
  });

  Quad sigmaL = SineSeriesFour<kLongitudeGrouped>(dm, mpf);
  Quad sigmaB = SineSeriesFour<kLatitudeGrouped>(dm, mpf);

  const RotationQuad Fneg = {F.c, -F.s};
  const RotationQuad Mpneg = {Mp.c, -Mp.s};
  const LunarAdditiveTerms& k = kLunarAdditive;
  sigmaL += k.lonA1 * A1.s + k.lonLpMinusF * Turn(Lp, Fneg).s + k.lonA2 * sinA2;
  sigmaB += k.latLp * Lp.s + k.latA3 * sinA3 + k.latA1MinusF * Turn(A1, Fneg).s +
            k.latA1PlusF * Turn(A1, F).s + k.latLpMinusMp * Turn(Lp, Mpneg).s +
            k.latLpPlusMp * Turn(Lp, Mp).s;
  longitude = a.Lp + sigmaL / 1000000;
  latitude = sigmaB / 1000000;
}

}  // namespace

LunarArguments LunarArgumentsAt(double T, LunarEdition edition) {
  return edition == LunarEdition::First ? ArgumentsOf<kLunarArgumentsFirstEdition>(T)
                                        : ArgumentsOf<kLunarArgumentsSecondEdition>(T);
}

LunarPosition LunarSeries(const LunarArguments& a) {
  const RotationPair DM = DegreeRotation(Pair{a.D, a.M});
  const RotationPair MpF = DegreeRotation(Pair{a.Mp, a.F});
  const RotationPair LpA1 = DegreeRotation(Pair{a.Lp, a.A1});
  const RotationPair A2A3 = DegreeRotation(Pair{a.A2, a.A3});
  const Rotation D = {DM.c[0], DM.s[0]}, M = {DM.c[1], DM.s[1]};
  const Rotation Mp = {MpF.c[0], MpF.s[0]}, F = {MpF.c[1], MpF.s[1]};

  Rotation dMultiples[kDCount], mMultiples[kMCount], mpMultiples[kMpCount], fMultiples[kFCount];
  Multiples(D, 0, dMultiples);
  Multiples(M, kMOffset, mMultiples);
  Multiples(Mp, kMpOffset, mpMultiples);
  Multiples(F, kFOffset, fMultiples);

  // Terms with M are multiplied by E, with 2M by E squared.
  const double eFactor[kMCount] = {a.E * a.E, a.E, 1, a.E, a.E * a.E};
  Rotation dm[kDCount * kMCount];
  ForEachIndex<kDCount * kMCount>([&](auto index) {
    constexpr std::size_t i = decltype(index)::value;
    constexpr int d = i / kMCount, m = i % kMCount;
    if constexpr (kUsed.dm[i] && m == kMOffset) {
      dm[i] = dMultiples[d];  // no M: nothing to turn or scale
    } else if constexpr (kUsed.dm[i]) {
      const Rotation r = d == 0 ? mMultiples[m] : dMultiples[d] * mMultiples[m];
      dm[i] = {r.c * eFactor[m], r.s * eFactor[m]};
    }
  });
  Pair mpf[kMpCount * kFCount];
  ForEachIndex<kMpCount * kFCount>([&](auto index) {
    constexpr std::size_t i = decltype(index)::value;
    constexpr int mp = i / kFCount, f = i % kFCount;
    if constexpr (kUsed.mpf[i]) {
      // A factor without M' or without F is the other one alone.
      const Rotation r = mp == kMpOffset ? fMultiples[f]
                         : f == kFOffset ? mpMultiples[mp]
                                         : mpMultiples[mp] * fMultiples[f];
      mpf[i] = Pair{r.c, r.s};
    }
  });

  double sigmaL = SineSeries<kLongitudeGrouped>(dm, mpf);
  double sigmaB = SineSeries<kLatitudeGrouped>(dm, mpf);

  const Rotation Lp = {LpA1.c[0], LpA1.s[0]}, A1 = {LpA1.c[1], LpA1.s[1]};
  const double sinA2 = A2A3.s[0];
  const double sinA3 = A2A3.s[1];
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

namespace core_detail {

__attribute__((target("avx2"), noinline)) void MoonPositionsFour(const double (&jd)[4], double (&longitude)[4],
                                                                 double (&latitude)[4]) {
  const Quad T = (LoadLanes<Quad>(jd) - 2451545.0) / 36525;
  Quad lon, lat;
  LunarSeriesFour(ArgumentsOfFour(T), lon, lat);
  StoreLanes(longitude, lon);
  StoreLanes(latitude, lat);
}

}  // namespace core_detail
