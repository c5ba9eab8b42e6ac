// The sidereal time and the house angles are written once over the lane
// type V: one moment alone (double), two side by side (Pair) or four
// where the processor has AVX2 (Quad), one moment to a lane, the same
// operations as alone, no fused multiply-add.
#include "core/houses.h"

#include <cmath>

#include "core/angles.h"
#include "core/core_print.h"
#include "core/lanes.h"
#include "core/side_by_side.h"

using namespace core_detail;

namespace {

// The fixed obliquity of the ecliptic.
constexpr double kCosObliquity = 0.917436945;
constexpr double kSinObliquity = 0.397881203;
constexpr double kInverseCosObliquity = 1.0899931656883515;

// theta reduced as "subtract 360 while above 0" (positive start, result in
// (-360, 0]) or "add 360 while below 0" (negative start, [0, 360)). The
// repeated steps are exact in floating point except the last, which is
// the one rounding step below, so this equals the loops bit for bit at
// any distance from the epoch.
template <class V>
CORE_LANE_INLINE V ReduceSiderealAngle(V theta) {
  // The remainder in 0..360 by the floored quotient is exact, with the
  // fix-ups for a quotient that rounded across a whole number exact too
  // (their results are representable); for a negative start it is the
  // loop's last, rounded, addition itself.
  V r = theta - 360.0 * Floor(theta * (1 / 360.0));
  r = Select(r < 0, r + 360.0, r);
  r = Select(r >= 360.0, r - 360.0, r);
  return Select(theta > 0, Select(r == 0, V{}, r - 360.0), r);
}

// Hours far outside the day (a longitude of many turns): "subtract 24
// while above 24" (or "add 24 while below 0") takes exact steps down to
// the remainder by 24, which fmod gives exactly; the loop ends on 24
// rather than 0 from above, and from below with its last, rounded,
// addition. The same result without millions of steps (or none at all
// for an infinite value, where the loop would not end).
double HoursFarOutside(double s) {
  const double r = std::fmod(s, 24.0);
  if (s >= 0) return r == 0 ? 24.0 : r;
  if (r < 0) return r + 24;
  return r == 0 ? 0.0 : r;  // a whole number of days from below ends on +0; a NaN stays NaN
}

template <class V>
CORE_LANE_INLINE V SiderealTimeOf(V jd, V jd0, V lonDeg, V lonMin) {
  // Mean sidereal time of Greenwich, IAU 1982 (Meeus, Astronomical
  // Algorithms, eq. 12.4).
  const V T = (jd0 - 2451545) / 36525;
  V theta = 280.46061837 + 360.98564736629 * (jd - 2451545) + 0.000387933 * T * T - T * T * T / 38710000;
  theta = ReduceSiderealAngle(theta);
  V h = lonDeg + theta + lonMin / 60.0;
  h = Select(h > 360, h - 360, h);
  const V s = h / 360 * 24;
  // Within (-48, 24]: at most two additions of 24, the loop's own steps,
  // chosen without a branch.
  const V once = s + 24;
  V hours = IfLess(s, V{}, IfLess(once, V{}, once + 24, once), s);
  const auto inDays = s > -48 && s <= 24;
  if (!All(inDays)) {
    for (int l = 0; l < kLaneCount<V>; ++l)
      if (!MaskLane(inDays, l)) SetLane(hours, l, HoursFarOutside(LaneOf(s, l)));
  }
  return hours;
}

// The MC before its final "add 360 if negative"; `label` names the
// angle in the quadrant message.
double MeridianAngle(double s, const char* label) {
  const double b = std::tan(s * 2 * kPi / 24) * kInverseCosObliquity;
  const double c = Trunc(s > 24 ? s - 24 : s);
  if (s == c) {
    // A whole hour: tan() cannot tell 6h from 18h or 9h from 21h, so take
    // the quadrant from sine and cosine.
    const double theta = s * 15 * kRadiansPerDegree;
    double m = std::atan2(std::sin(theta), std::cos(theta) * kCosObliquity) * kDegreesPerRadian;
    if (m < 0) m += 360;
    if (m >= 360) m -= 360;  // 24h: sin of a full turn is a hair below zero
    return m;
  }
  const int q = static_cast<int>(c / 6);
  switch (q) {
    case 0: return std::atan(b) * kDegreesPerRadian;
    case 1:
    case 2: return std::atan(b) * kDegreesPerRadian + 180;
    case 3: return std::atan(b) * kDegreesPerRadian + 360;
    default:
      CorePrintf("\n  error %s! i= %i \n ", label, q);
      return b;
  }
}

// The circular distance of two times of day in hours (the remainder by
// 24 only for a distance of two days or more).
template <class V>
CORE_LANE_INLINE V CircularHours(V a, V b) {
  V d = Abs(a - b);
  const auto near = d < 48;
  if (!All(near)) {
    for (int l = 0; l < kLaneCount<V>; ++l)
      if (!MaskLane(near, l)) SetLane(d, l, std::fmod(LaneOf(d, l), 24.0));
  }
  d = IfLess(d, SplatLanes<V>(24), d, d - 24);  // exact, as fmod
  return IfLess(SplatLanes<V>(12), d, 24 - d, d);
}

// The Ascendant in degrees from the root t (radians, -pi/2..pi/2) of the
// horizon equation. The equation has two roots twelve hours apart; the
// rising one lies about six hours after the sidereal time. Compare
// circular distances so that neither side of midnight misleads.
// (The choices go either way from one chart to the next, so they are
// made without branches.)
template <class V>
CORE_LANE_INLINE V RisingRoot(V lst, V root) {
  V t = root * 24 / (2 * kPi);
  t = IfLess(t, V{}, t + 24, t);
  V x = lst + 6;
  x = IfLess(SplatLanes<V>(24), x, x - 24, x);
  t = IfLess(CircularHours(t + 12, x), CircularHours(t, x), t + 12, t);
  t = IfLess(t, SplatLanes<V>(24), t, t - 24);
  return t * 360 / 24;
}

// Ascendant() at a latitude in degrees.
double AscendantAt(double lst, double latitude) {
  const double R = lst * 360 / 24 * kRadiansPerDegree;
  const double phi = latitude * kRadiansPerDegree;
  return RisingRoot(lst, std::atan(-std::cos(R) / (std::sin(R) * kCosObliquity + std::tan(phi) * kSinObliquity)));
}

template <class V>
struct HouseAngleLanes {
  V ascendant, midheaven, imumCoeli;
};

// HouseAnglesAt at latitudes in degrees: a lane outside the day goes
// through the three functions (messages included, lane by lane).
template <class V>
CORE_LANE_INLINE HouseAngleLanes<V> HouseAnglesOf(V lst, V latitude) {
  // The sidereal angle's and the latitude's rotations, and the two
  // arctangents (the horizon's root, the MC's half angle).
  const RotationLanes<V> R = DegreeRotation(lst * 15);
  const RotationLanes<V> phi = DegreeRotation(latitude);
  const V X = R.c * kCosObliquity, Y = R.s;
  const V length = Sqrt(X * X + Y * Y);
  // -cos R / (sin R cos e + tan phi sin e), both sides times cos phi.
  const V root = Atan((-R.c * phi.c) / (R.s * kCosObliquity * phi.c + phi.s * kSinObliquity));
  const V half = Atan(Y / (Abs(X) + length));
  HouseAngleLanes<V> out;
  out.ascendant = RisingRoot(lst, root);
  // HalfAngle(X, Y, length) from its arctangent.
  const V q = 2 * half;
  V m = IfLess(X, V{}, kPi - q, IfLess(Y, V{}, q + kTwoPi, q)) * kDegreesPerRadian;
  m = Select(X == 0 && Y == 0, V{}, m);
  m = Select(m >= 360, m - 360, m);
  out.midheaven = m;
  const V e = m - 180;
  out.imumCoeli = IfLess(e, V{}, e + 360, e);
  const auto inDay = lst >= 0 && lst <= 24;
  if (!All(inDay)) {
    for (int l = 0; l < kLaneCount<V>; ++l) {
      if (MaskLane(inDay, l)) continue;
      const double s = LaneOf(lst, l);
      SetLane(out.ascendant, l, AscendantAt(s, LaneOf(latitude, l)));
      SetLane(out.midheaven, l, Midheaven(s));
      SetLane(out.imumCoeli, l, ImumCoeli(s));
    }
  }
  return out;
}

template <int Lanes>
CORE_LANE_INLINE void SiderealTimeLanes(const double (&jd)[Lanes], const double (&jd0)[Lanes],
                                        const int (&lonDeg)[Lanes], const int (&lonMin)[Lanes],
                                        double (&lst)[Lanes]) {
  using V = LanesOf<Lanes>;
  StoreLanes(lst, SiderealTimeOf(LoadLanes<V>(jd), LoadLanes<V>(jd0), LanesOfInts<V>(lonDeg),
                                 LanesOfInts<V>(lonMin)));
}

template <int Lanes>
CORE_LANE_INLINE void HouseAngleLanesOf(const double (&lst)[Lanes], const int (&latDeg)[Lanes],
                                        const int (&latMin)[Lanes], HouseAngles (&out)[Lanes]) {
  using V = LanesOf<Lanes>;
  const HouseAngleLanes<V> a =
      HouseAnglesOf(LoadLanes<V>(lst), LanesOfInts<V>(latDeg) + LanesOfInts<V>(latMin) / 60.0);
  for (int l = 0; l < Lanes; ++l)
    out[l] = {LaneOf(a.ascendant, l), LaneOf(a.midheaven, l), LaneOf(a.imumCoeli, l)};
}

}  // namespace

double SiderealTime(double jd, double jd0, int lonDeg, int lonMin) {
  return SiderealTimeOf<double>(jd, jd0, lonDeg, lonMin);
}

double Midheaven(double lst) {
  double m = MeridianAngle(lst, "MC");
  if (m < 0) m += 360;
  return m;
}

double ImumCoeli(double lst) {
  double m = MeridianAngle(lst, "IC");
  if (m < 0) m += 360;
  double e = m - 180;
  if (e < 0) e += 360;
  if (e < 0) e += 360;
  if (e > 360) e -= 360;
  return e;
}

double Ascendant(double lst, int latDeg, int latMin) { return AscendantAt(lst, latDeg + latMin / 60.0); }

HouseAngles HouseAnglesAt(double lst, int latDeg, int latMin) {
  const HouseAngleLanes<double> a = HouseAnglesOf<double>(lst, latDeg + latMin / 60.0);
  return {a.ascendant, a.midheaven, a.imumCoeli};
}

namespace core_detail {

template <>
void SiderealTimesSideBySide<1>(const double (&jd)[1], const double (&jd0)[1], const int (&lonDeg)[1],
                                const int (&lonMin)[1], double (&lst)[1]) {
  SiderealTimeLanes(jd, jd0, lonDeg, lonMin, lst);
}
template <>
void SiderealTimesSideBySide<2>(const double (&jd)[2], const double (&jd0)[2], const int (&lonDeg)[2],
                                const int (&lonMin)[2], double (&lst)[2]) {
  SiderealTimeLanes(jd, jd0, lonDeg, lonMin, lst);
}
template <>
__attribute__((target("avx2"), noinline)) void SiderealTimesSideBySide<4>(const double (&jd)[4],
                                                                          const double (&jd0)[4],
                                                                          const int (&lonDeg)[4],
                                                                          const int (&lonMin)[4],
                                                                          double (&lst)[4]) {
  SiderealTimeLanes(jd, jd0, lonDeg, lonMin, lst);
}

template <>
void HouseAnglesSideBySide<1>(const double (&lst)[1], const int (&latDeg)[1], const int (&latMin)[1],
                              HouseAngles (&out)[1]) {
  HouseAngleLanesOf(lst, latDeg, latMin, out);
}
template <>
void HouseAnglesSideBySide<2>(const double (&lst)[2], const int (&latDeg)[2], const int (&latMin)[2],
                              HouseAngles (&out)[2]) {
  HouseAngleLanesOf(lst, latDeg, latMin, out);
}
template <>
__attribute__((target("avx2"), noinline)) void HouseAnglesSideBySide<4>(const double (&lst)[4],
                                                                        const int (&latDeg)[4],
                                                                        const int (&latMin)[4],
                                                                        HouseAngles (&out)[4]) {
  HouseAngleLanesOf(lst, latDeg, latMin, out);
}

}  // namespace core_detail
