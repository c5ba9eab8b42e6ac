// The Moon's geocentric position: Jean Meeus, Astronomical Algorithms,
// ch. 47 (truncated ELP-2000/82), with the 1st edition's arguments.
//
// Instead of one sine per term, the sines and cosines of D, M, M', F are
// taken once and every multiple angle is formed by complex products: each
// term is then the imaginary part of a (D, M) product times an (M', F)
// product, with the eccentricity factor folded into the first. The terms
// that share a (D, M) product (13 of them serve all 120 terms) first sum
// their coefficients times the (M', F) products, and the sum is turned by
// the (D, M) product once.
//
// The series is written once over the lane type V: one moment alone
// (double), two side by side (Pair) or four where the processor has AVX2
// (Quad, no fused multiply-add), one moment to a lane, the same
// operations in the same order on each.
#include <array>
#include <cstdint>
#include <utility>

#include "core/angles.h"
#include "core/chart.h"
#include "core/lanes.h"
#include "core/lunar_arguments.h"
#include "core/lunar_terms.h"
#include "core/side_by_side.h"

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
// and forced inline (the four-lane series, with their lambdas marked so
// too, must stay inside their AVX2 function).
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

// The arguments of the moments in the lanes of V (for one lane the
// public LunarArguments).
template <class V>
struct ArgumentLanes {
  V Lp, D, M, Mp, F, A1, A2, A3, E;
};
template <class V>
using ArgumentsOfLanes = OneLaneAs<V, LunarArguments, ArgumentLanes<V>>;

template <const LunarArgumentSet& set, class V>
CORE_LANE_INLINE ArgumentsOfLanes<V> ArgumentsOf(V T) {
  ArgumentsOfLanes<V> a;
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

// A rotation turned by another, lane by lane.
template <class R>
CORE_LANE_INLINE R Turn(const R& a, const R& b) {
  return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}

// e^{i k x} for k = -offset .. count - 1 - offset.
template <class V, int Count>
CORE_LANE_INLINE void Multiples(const RotationLanes<V>& base, int offset, RotationLanes<V> (&out)[Count]) {
  out[offset] = {SplatLanes<V>(1), SplatLanes<V>(0)};
  for (int k = offset + 1; k < Count; ++k) out[k] = Turn(out[k - 1], base);
  for (int k = offset - 1; k >= 0; --k) {
    const RotationLanes<V>& positive = out[2 * offset - k];
    out[k] = {positive.c, -positive.s};
  }
}

// The (M', F) products as the series sums them: for one moment the
// cosine and the sine side by side in one pair (one product and one sum
// per term), for lanes of moments the cosines and the sines apart. The
// same operations on every value either way.
template <class V>
struct TermProductOf {
  using type = RotationLanes<V>;
};
template <>
struct TermProductOf<double> {
  using type = Pair;
};
template <class V>
using TermProduct = typename TermProductOf<V>::type;

CORE_LANE_INLINE Pair AsTermProduct(const Rotation& r) { return Pair{r.c, r.s}; }
template <LaneVector V>
CORE_LANE_INLINE RotationVector<V> AsTermProduct(const RotationVector<V>& r) {
  return r;
}

// sum += coefficient * product, on the cosine and the sine.
CORE_LANE_INLINE void AddTerm(Pair& sum, double coefficient, Pair product) { sum += coefficient * product; }
template <LaneVector V>
CORE_LANE_INLINE void AddTerm(RotationVector<V>& sum, double coefficient, const RotationVector<V>& product) {
  sum.c += coefficient * product.c;
  sum.s += coefficient * product.s;
}

// Im(a * sum).
CORE_LANE_INLINE double TurnedSine(const Rotation& a, Pair sum) { return a.s * sum[0] + a.c * sum[1]; }
template <LaneVector V>
CORE_LANE_INLINE V TurnedSine(const RotationVector<V>& a, const RotationVector<V>& sum) {
  return a.s * sum.c + a.c * sum.s;
}

// Sum of coefficient * sin(argument) over one grouped table: within a
// group the (M', F) products are summed, and the group adds Im(dm *
// sum). Two accumulators take the groups in turn.
template <const auto& kTerms, class V>
CORE_LANE_INLINE V SineSeries(const RotationLanes<V>* dm, const TermProduct<V>* mpf) {
  V total[2] = {V{}, V{}};
  TermProduct<V> group{};
  int groupIndex = 0;
  ForEachIndex<kTerms.size()>([&](auto index) CORE_INLINE_LAMBDA {
    constexpr std::size_t i = decltype(index)::value;
    AddTerm(group, kTerms[i].coefficient, mpf[kTerms[i].mpf]);
    if constexpr (i + 1 == kTerms.size() || kTerms[i + 1].dm != kTerms[i].dm) {
      total[groupIndex & 1] += TurnedSine(dm[kTerms[i].dm], group);
      group = TermProduct<V>{};
      ++groupIndex;
    }
  });
  return total[0] + total[1];
}

template <class V>
struct PositionLanes {
  V longitude, latitude;
};

// The series of the arguments `a` (LunarArguments or ArgumentLanes<V>).
template <class V, class Arguments>
CORE_LANE_INLINE PositionLanes<V> SeriesOf(const Arguments& a) {
  using R = RotationLanes<V>;
  const R D = DegreeRotation(a.D), M = DegreeRotation(a.M);
  const R Mp = DegreeRotation(a.Mp), F = DegreeRotation(a.F);
  const R Lp = DegreeRotation(a.Lp), A1 = DegreeRotation(a.A1);
  const V sinA2 = DegreeRotation(a.A2).s;
  const V sinA3 = DegreeRotation(a.A3).s;

  R dMultiples[kDCount], mMultiples[kMCount], mpMultiples[kMpCount], fMultiples[kFCount];
  Multiples<V>(D, 0, dMultiples);
  Multiples<V>(M, kMOffset, mMultiples);
  Multiples<V>(Mp, kMpOffset, mpMultiples);
  Multiples<V>(F, kFOffset, fMultiples);

  // Terms with M are multiplied by E, with 2M by E squared.
  const V eFactor[kMCount] = {a.E * a.E, a.E, SplatLanes<V>(1), a.E, a.E * a.E};
  R dm[kDCount * kMCount];
  ForEachIndex<kDCount * kMCount>([&](auto index) CORE_INLINE_LAMBDA {
    constexpr std::size_t i = decltype(index)::value;
    constexpr int d = i / kMCount, m = i % kMCount;
    if constexpr (kUsed.dm[i] && m == kMOffset) {
      dm[i] = dMultiples[d];  // no M: nothing to turn or scale
    } else if constexpr (kUsed.dm[i]) {
      const R r = d == 0 ? mMultiples[m] : Turn(dMultiples[d], mMultiples[m]);
      dm[i] = {r.c * eFactor[m], r.s * eFactor[m]};
    }
  });
  TermProduct<V> mpf[kMpCount * kFCount];
  ForEachIndex<kMpCount * kFCount>([&](auto index) CORE_INLINE_LAMBDA {
    constexpr std::size_t i = decltype(index)::value;
    constexpr int mp = i / kFCount, f = i % kFCount;
    if constexpr (kUsed.mpf[i]) {
      // A factor without M' or without F is the other one alone.
      mpf[i] = AsTermProduct(mp == kMpOffset ? fMultiples[f]
                             : f == kFOffset ? mpMultiples[mp]
                                             : Turn(mpMultiples[mp], fMultiples[f]));
    }
  });

  V sigmaL = SineSeries<kLongitudeGrouped, V>(dm, mpf);
  V sigmaB = SineSeries<kLatitudeGrouped, V>(dm, mpf);

  const R Fneg = {F.c, -F.s};
  const R Mpneg = {Mp.c, -Mp.s};
  const LunarAdditiveTerms& k = kLunarAdditive;
  sigmaL += k.lonA1 * A1.s + k.lonLpMinusF * Turn(Lp, Fneg).s + k.lonA2 * sinA2;
  sigmaB += k.latLp * Lp.s + k.latA3 * sinA3 + k.latA1MinusF * Turn(A1, Fneg).s +
            k.latA1PlusF * Turn(A1, F).s + k.latLpMinusMp * Turn(Lp, Mpneg).s +
            k.latLpPlusMp * Turn(Lp, Mp).s;
  return {a.Lp + sigmaL / 1000000, sigmaB / 1000000};
}

// MoonPosition of the Julian dates in the lanes.
template <class V>
CORE_LANE_INLINE PositionLanes<V> MoonOf(V jd) {
  const V T = (jd - 2451545.0) / 36525;
  return SeriesOf<V>(ArgumentsOf<kLunarArgumentsFirstEdition>(T));
}

template <class V>
CORE_LANE_INLINE void MoonLanes(const double* jd, double* longitude, double* latitude) {
  const PositionLanes<V> p = MoonOf(LoadLanes<V>(jd));
  StoreLanes(longitude, p.longitude);
  StoreLanes(latitude, p.latitude);
}

}  // namespace

LunarArguments LunarArgumentsAt(double T, LunarEdition edition) {
  return edition == LunarEdition::First ? ArgumentsOf<kLunarArgumentsFirstEdition>(T)
                                        : ArgumentsOf<kLunarArgumentsSecondEdition>(T);
}

LunarPosition LunarSeries(const LunarArguments& a) {
  const PositionLanes<double> p = SeriesOf<double>(a);
  return {p.longitude, p.latitude};
}

LunarPosition MoonPosition(double jd) {
  const double day[1] = {jd};
  double longitude[1], latitude[1];
  MoonPositionsSideBySide(day, longitude, latitude);
  return {longitude[0], latitude[0]};
}

namespace core_detail {

template <>
void MoonPositionsSideBySide<1>(const double (&jd)[1], double (&longitude)[1], double (&latitude)[1]) {
  MoonLanes<double>(jd, longitude, latitude);
}

template <>
void MoonPositionsSideBySide<2>(const double (&jd)[2], double (&longitude)[2], double (&latitude)[2]) {
  MoonLanes<Pair>(jd, longitude, latitude);
}

template <>
__attribute__((target("avx2"), noinline)) void MoonPositionsSideBySide<4>(const double (&jd)[4],
                                                                          double (&longitude)[4],
                                                                          double (&latitude)[4]) {
  MoonLanes<Quad>(jd, longitude, latitude);
}

}  // namespace core_detail
