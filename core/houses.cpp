// Four moments go side by side where the processor has AVX2 (the chart
// batch): one to a lane, the same operations as alone, no fused
// multiply-add.
#include "core/houses.h"

#include <cmath>

#include "core/angles.h"
#include "core/core_print.h"
#include "core/four_moments.h"
#include "core/lanes.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegrees = 180 / kPi;
constexpr double kRadians = kPi / 180;

// The fixed obliquity of the ecliptic.
constexpr double kCosObliquity = 0.917436945;
constexpr double kSinObliquity = 0.397881203;
constexpr double kInverseCosObliquity = 1.0899931656883515;

// theta reduced as "subtract 360 while above 0" (positive start, result in
// (-360, 0]) or "add 360 while below 0" (negative start, [0, 360)). The
// repeated steps are exact in floating point except the last, which is
// the one rounding step below, so this equals the loops bit for bit at
// any distance from the epoch.
double ReduceSiderealAngle(double theta) {
  // The remainder in 0..360 by the floored quotient is exact, with the
  // fix-ups for a quotient that rounded across a whole number exact too
  // (their results are representable); for a negative start it is the
  // loop's last, rounded, addition itself.
  double r = theta - 360.0 * core_detail::Floor(theta * (1 / 360.0));
  if (r < 0) r += 360.0;
  if (r >= 360.0) r -= 360.0;
  if (theta > 0) return r == 0 ? 0.0 : r - 360.0;
  return r;
}

// The MC before its final "add 360 if negative"; `label` names the
// angle in the quadrant message.
double MeridianAngle(double s, const char* label) {
  const double b = std::tan(s * 2 * kPi / 24) * kInverseCosObliquity;
  const double c = core_detail::Trunc(s > 24 ? s - 24 : s);
  if (s == c) {
    // A whole hour: tan() cannot tell 6h from 18h or 9h from 21h, so take
    // the quadrant from sine and cosine.
    const double theta = s * 15 * kRadians;
    double m = std::atan2(std::sin(theta), std::cos(theta) * kCosObliquity) * kDegrees;
    if (m < 0) m += 360;
    if (m >= 360) m -= 360;  // 24h: sin of a full turn is a hair below zero
    return m;
  }
  const int q = static_cast<int>(c / 6);
  switch (q) {
    case 0: return std::atan(b) * kDegrees;
    case 1:
    case 2: return std::atan(b) * kDegrees + 180;
    case 3: return std::atan(b) * kDegrees + 360;
    default:
      CorePrintf("\n  error %s! i= %i \n ", label, q);
      return b;
  }
}

}  // namespace

double SiderealTime(double jd, double jd0, int lonDeg, int lonMin) {
  // Mean sidereal time of Greenwich, IAU 1982 (Meeus, Astronomical
  // Algorithms, eq. 12.4).
  const double T = (jd0 - 2451545) / 36525;
  double theta = 280.46061837 + 360.98564736629 * (jd - 2451545) + 0.000387933 * T * T -
                 T * T * T / 38710000;
  theta = ReduceSiderealAngle(theta);
  double h = lonDeg + theta + lonMin / 60.0;
  if (h > 360) h -= 360;
  double s = h / 360 * 24;
  if (s > -48 && s <= 24) {
    // At most two additions of 24, the loop's own steps, chosen without
    // a branch.
    const double once = s + 24;
    return core_detail::IfLess(s, 0, core_detail::IfLess(once, 0, once + 24, once), s);
  }
  // Far outside the day (a longitude of many turns): "subtract 24 while
  // above 24" (or "add 24 while below 0") takes exact steps down to the
  // remainder by 24, which fmod gives exactly; the loop ends on 24 rather
  // than 0 from above, and from below with its last, rounded, addition.
  // The same result without millions of steps (or none at all for an
  // infinite value, where the loop would not end).
  const double r = std::fmod(s, 24.0);
  if (s >= 0) return r == 0 ? 24.0 : r;
  if (r < 0) return r + 24;
  return r == 0 ? 0.0 : r;  // a whole number of days from below ends on +0; a NaN stays NaN
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

namespace {

// The Ascendant in degrees from the root t (radians, -pi/2..pi/2) of the
// horizon equation. The equation has two roots twelve hours apart; the
// rising one lies about six hours after the sidereal time. Compare
// circular distances so that neither side of midnight misleads.
// (The choices go either way from one chart to the next, so they are
// made without branches.)
double RisingRoot(double lst, double root) {
  using core_detail::IfLess;
  double t = root * 24 / (2 * kPi);
  t = IfLess(t, 0, t + 24, t);
  double x = lst + 6;
  x = IfLess(24, x, x - 24, x);
  auto circular = [](double a, double b) {
    double d = std::fabs(a - b);
    if (!(d < 48)) d = std::fmod(d, 24.0);
    d = IfLess(d, 24, d, d - 24);  // exact, as fmod
    return IfLess(12, d, 24 - d, d);
  };
  t = IfLess(circular(t + 12, x), circular(t, x), t + 12, t);
  t = IfLess(t, 24, t, t - 24);
  return t * 360 / 24;
}

}  // namespace

double Ascendant(double lst, int latDeg, int latMin) {
  const double R = lst * 360 / 24 * kRadians;
  const double phi = (latDeg + latMin / 60.0) * kRadians;
  return RisingRoot(lst, std::atan(-std::cos(R) / (std::sin(R) * kCosObliquity + std::tan(phi) * kSinObliquity)));
}

HouseAngles HouseAnglesAt(double lst, int latDeg, int latMin) {
  if (!(lst >= 0 && lst <= 24))
    return {Ascendant(lst, latDeg, latMin), Midheaven(lst), ImumCoeli(lst)};
  using namespace core_detail;
  // The sidereal angle's and the latitude's rotations, and the two
  // arctangents (the horizon's root, the MC's half angle), each pair in
  // one go: the chains run side by side.
  const RotationPair r = DegreeRotation(Pair{lst * 15, latDeg + latMin / 60.0});
  const double Rc = r.c[0], Rs = r.s[0], phiC = r.c[1], phiS = r.s[1];
  const double X = Rc * kCosObliquity, Y = Rs;
  const double length = std::sqrt(X * X + Y * Y);
  // -cos R / (sin R cos e + tan phi sin e), both sides times cos phi.
  const Pair quotient = Pair{-Rc * phiC, Y} / Pair{Rs * kCosObliquity * phiC + phiS * kSinObliquity,
                                                   std::fabs(X) + length};
  const Pair angle = Atan(quotient);
  HouseAngles out;
  out.ascendant = RisingRoot(lst, angle[0]);
  // HalfAngle(X, Y, length) from its arctangent.
  const double q = 2 * angle[1];
  using core_detail::IfLess;
  double m = IfLess(X, 0, core_detail::kPi - q, IfLess(Y, 0, q + core_detail::kTwoPi, q)) * kDegrees;
  if (X == 0 && Y == 0) m = 0;
  if (m >= 360) m -= 360;
  out.midheaven = m;
  const double e = m - 180;
  out.imumCoeli = IfLess(e, 0, e + 360, e);
  return out;
}

namespace {

using core_detail::Quad;
using core_detail::QuadMask;

CORE_LANE_INLINE Quad IfLessFour(Quad a, Quad b, Quad yes, Quad no) { return a < b ? yes : no; }
CORE_LANE_INLINE Quad IntsAsQuad(const int (&v)[4]) {
  return Quad{double(v[0]), double(v[1]), double(v[2]), double(v[3])};
}
CORE_LANE_INLINE Quad Hours(double h) { return core_detail::SplatLanes<Quad>(h); }

// RisingRoot's circular distance; `far` collects the lanes that would
// need the remainder (none within the day: the caller takes them alone).
CORE_LANE_INLINE Quad CircularFour(Quad a, Quad b, QuadMask& far) {
  Quad d = core_detail::Abs(a - b);
  far |= !(d < 48);
  d = IfLessFour(d, Hours(24), d, d - 24);
  return IfLessFour(Hours(12), d, 24 - d, d);
}

CORE_LANE_INLINE Quad RisingRootFour(Quad lst, Quad root, QuadMask& far) {
  Quad t = root * 24 / (2 * kPi);
  t = IfLessFour(t, Quad{}, t + 24, t);
  Quad x = lst + 6;
  x = IfLessFour(Hours(24), x, x - 24, x);
  t = IfLessFour(CircularFour(t + 12, x, far), CircularFour(t, x, far), t + 12, t);
  t = IfLessFour(t, Hours(24), t, t - 24);
  return t * 360 / 24;
}

}  // namespace

namespace core_detail {

__attribute__((target("avx2"), noinline)) void SiderealTimesFour(const double (&jd)[4], const double (&jd0)[4],
                                                                 const int (&lonDeg)[4], const int (&lonMin)[4],
                                                                 double (&lst)[4]) {
  const Quad day = LoadLanes<Quad>(jd), day0 = LoadLanes<Quad>(jd0);
  const Quad T = (day0 - 2451545) / 36525;
  const Quad theta = 280.46061837 + 360.98564736629 * (day - 2451545) + 0.000387933 * T * T -
                     T * T * T / 38710000;
  const Quad q = theta * (1 / 360.0);
  // ReduceSiderealAngle, then the longitude and the hours; a lane beyond
  // the 32-bit quotient or far out of the day is redone alone below.
  const QuadMask inRange = Abs(q) < kInt32Range;
  Quad r = theta - 360.0 * FloorQuad(Select(inRange, q, Quad{}));
  r = r < 0 ? r + 360.0 : r;
  r = r >= 360.0 ? r - 360.0 : r;
  const Quad reduced = theta > 0 ? (r == 0 ? Quad{} : r - 360.0) : r;
  Quad h = IntsAsQuad(lonDeg) + reduced + IntsAsQuad(lonMin) / 60.0;
  h = h > 360 ? h - 360 : h;
  const Quad s = h / 360 * 24;
  const QuadMask alone = !(inRange && s > -48 && s <= 24);
  const Quad once = s + 24;
  StoreLanes(lst, IfLessFour(s, Quad{}, IfLessFour(once, Quad{}, once + 24, once), s));
  if (Any(alone)) {
    for (int l = 0; l < 4; ++l)
      if (alone[l]) lst[l] = SiderealTime(jd[l], jd0[l], lonDeg[l], lonMin[l]);
  }
}

__attribute__((target("avx2"), noinline)) void HouseAnglesFour(const double (&lst)[4], const int (&latDeg)[4],
                                                               const int (&latMin)[4], HouseAngles (&out)[4]) {
  const Quad s = LoadLanes<Quad>(lst);
  QuadMask alone = !(s >= 0 && s <= 24);
  const RotationQuad R = DegreeRotation(s * 15);
  const RotationQuad phi = DegreeRotation(IntsAsQuad(latDeg) + IntsAsQuad(latMin) / 60.0);
  const Quad X = R.c * kCosObliquity, Y = R.s;
  const Quad length = Sqrt(X * X + Y * Y);
  // As HouseAnglesAt: the horizon's root and the MC's half angle.
  const Quad root = Atan((-R.c * phi.c) / (R.s * kCosObliquity * phi.c + phi.s * kSinObliquity));
  const Quad half = Atan(Y / (Abs(X) + length));
  const Quad ascendant = RisingRootFour(s, root, alone);
  const Quad q = 2 * half;
  Quad m = IfLessFour(X, Quad{}, core_detail::kPi - q, IfLessFour(Y, Quad{}, q + core_detail::kTwoPi, q)) * kDegrees;
  m = X == 0 && Y == 0 ? Quad{} : m;
  m = m >= 360 ? m - 360 : m;
  const Quad e = m - 180;
  const Quad imumCoeli = IfLessFour(e, Quad{}, e + 360, e);
  for (int l = 0; l < 4; ++l)
    out[l] = alone[l] ? HouseAnglesAt(lst[l], latDeg[l], latMin[l]) : HouseAngles{ascendant[l], m[l], imumCoeli[l]};
}

}  // namespace core_detail
