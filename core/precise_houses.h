#pragma once
// The house angles of the precise ephemeris, written over the lane type
// V as the core's other passes: the sidereal angle of the place from the
// true sidereal time of Greenwich, and the MC and the AC on the ecliptic
// of the true obliquity.
#include "core/lanes.h"

namespace core_detail {

template <class V>
struct PreciseAngleLanes {
  V lst;        // local true sidereal time, hours 0..24
  V ascendant;  // degrees 0..360
  V midheaven;
  V imumCoeli;
};

// A longitude from HalfAngle's radians: degrees within 0..360.
template <class V>
CORE_LANE_INLINE V HalfAngleDegrees(V X, V Y) {
  const V d = HalfAngle(X, Y, Sqrt(X * X + Y * Y)) * kDegreesPerRadian;
  return Select(d >= 360.0, d - 360.0, d);
}

// gast: Greenwich true sidereal time, degrees; longitude east and latitude
// north, degrees; obliquity: the true obliquity, degrees. The MC is
// atan2(sin t, cos t cos e), the AC atan2(cos t, -(sin t cos e + tan phi
// sin e)) (both sides of the AC times cos phi), t the local sidereal angle.
template <class V>
CORE_LANE_INLINE PreciseAngleLanes<V> PreciseHouseAngles(V gast, V longitude, V obliquity, V latitude) {
  const V theta = Reduce360(gast + longitude);
  const RotationLanes<V> t = DegreeRotation(theta);
  const RotationLanes<V> e = DegreeRotation(obliquity);
  const RotationLanes<V> phi = DegreeRotation(latitude);
  PreciseAngleLanes<V> out;
  out.lst = theta * (1 / 15.0);
  out.midheaven = HalfAngleDegrees(t.c * e.c, t.s);
  out.ascendant = HalfAngleDegrees(V{} - (t.s * e.c * phi.c + phi.s * e.s), t.c * phi.c);
  const V ic = out.midheaven - 180.0;
  out.imumCoeli = Select(ic < 0, ic + 360.0, ic);
  return out;
}

}  // namespace core_detail
