// Geocentric longitudes, latitudes and daily motions of the Sun and the
// planets from mean Keplerian elements (planet_elements.h).
#include <cmath>

#include "core/angles.h"
#include "core/chart.h"
#include "core/core_print.h"
#include "core/planet_elements.h"

using namespace core_detail;

namespace {

// Degrees less 360 times the truncated quotient (the sign is kept). The
// product and the difference are exact; a quotient rounded across a whole
// number only shifts the result by a full turn.
double ElementDegrees(double degrees) { return degrees - 360.0 * Trunc(degrees * (1 / 360.0)); }

// sin and cos of a small angle (|x| <= 0.3) by their Taylor series, good
// to a few units in the last place; the later Kepler steps are far
// smaller and need far fewer terms.
Rotation SmallRotation(double x) {
  const double ax = std::fabs(x);
  if (ax <= 2e-3) {
    const double x2 = x * x;  // next terms below 1e-20
    return {1 + x2 * (-0.5 + x2 * (1.0 / 24 + x2 * (-1.0 / 720))), x + x * x2 * (-1.0 / 6 + x2 * (1.0 / 120))};
  }
  if (ax <= 0.07) {
    const double x2 = x * x;  // next terms below 1e-19
    return {1 + x2 * (-0.5 + x2 * (1.0 / 24 + x2 * (-1.0 / 720 + x2 * (1.0 / 40320 + x2 * (-1.0 / 3628800))))),
            x + x * x2 * (-1.0 / 6 + x2 * (1.0 / 120 + x2 * (-1.0 / 5040 + x2 * (1.0 / 362880))))};
  }
  const double x2 = x * x;
  const double s =
      x * (1 + x2 * (-1.0 / 6 + x2 * (1.0 / 120 + x2 * (-1.0 / 5040 + x2 * (1.0 / 362880 +
                                                                         x2 * (-1.0 / 39916800 + x2 / 6227020800.0))))));
  const double c =
      1 + x2 * (-0.5 + x2 * (1.0 / 24 + x2 * (-1.0 / 720 + x2 * (1.0 / 40320 +
                                                                x2 * (-1.0 / 3628800 + x2 * (1.0 / 479001600 - x2 / 87178291200.0))))));
  return {c, s};
}

constexpr int kOrbits = 9;  // the Earth and eight planets

// Kepler's equation for all nine orbits: the fixed five steps E = M +
// e sin E from E = M, giving cos and sin of the fifth E. Each step moves E
// by a small amount, so its sine comes from the previous one by the
// addition theorem instead of a new sine (a large step falls back to sin
// and cos). The orbits go through the steps side by side, so that the
// processor overlaps their independent chains.
void KeplerFiveSteps(const double (&Mdeg)[kOrbits], const double (&e)[kOrbits], Rotation (&r)[kOrbits]) {
  double E[kOrbits], M[kOrbits];
  for (int k = 0; k < kOrbits; ++k) {
    M[k] = Mdeg[k] * kRadiansPerDegree;
    r[k] = DegreeRotation(Mdeg[k]);
    E[k] = M[k];
  }
  for (int step = 0; step < 5; ++step) {
    for (int k = 0; k < kOrbits; ++k) {
      const double next = M[k] + e[k] * r[k].s;
      const double delta = next - E[k];
      r[k] = std::fabs(delta) <= 0.3 ? r[k] * SmallRotation(delta) : FastRotation(next);
      E[k] = next;
    }
  }
}

// Unit vector of (X, Y), (1, 0) for the null vector (longitude 0).
Rotation Direction(double X, double Y, double length) {
  if (length == 0) return {1, 0};
  return {X / length, Y / length};
}

// sin(g + L - G) from cos g (g in 0..pi) and the directions of L and G.
double SinVelocityAngle(double cosG, Rotation L, Rotation G) {
  const double sinG = std::sqrt(1 - cosG * cosG);
  const double cosLG = L.c * G.c + L.s * G.s;
  const double sinLG = L.s * G.c - L.c * G.s;
  return sinG * cosLG + cosG * sinLG;
}

struct HeliocentricState {
  double X, Y, z, r;
  double cosVelocityAngle;  // cos g, the angle between velocity and radius
  double speed;             // v, AU per day
};

// Position and velocity terms of the nine orbits at T, in table order.
void Orbits(double T, HeliocentricState (&out)[kOrbits], unsigned& warnings) {
  double e[kOrbits], M[kOrbits];  // M in degrees
  for (int k = 0; k < kOrbits; ++k) {
    const OrbitalElements& el = kOrbitalElements[k];
    e[k] = el.e0 + el.e1 * T;
    M[k] = ElementDegrees(el.M0 + el.M1 * T);
  }
  Rotation E[kOrbits];
  KeplerFiveSteps(M, e, E);

  for (int k = 0; k < kOrbits; ++k) {
    const OrbitalElements& el = kOrbitalElements[k];
    const bool earth = k == 0;
    if (e[k] > 1) {
      CorePrintf("740 Test tafeln !!! exc %f  ", e[k]);
      warnings |= kWarnEccentricity;
    }
    const double a = el.a;
    if (a < 0) {
      CorePrintf("798 Test tafeln !!! ax %f  ", a);
      warnings |= kWarnSemiMajorAxis;
    }
    const double inclination = ElementDegrees(el.i0 + el.i1 * T);
    const double node = ElementDegrees(el.N0 + el.N1 * T);
    const double perihelion = ElementDegrees(el.P0 + el.P1 * T);

    const double x = a * (E[k].c - e[k]);
    const double y = a * std::sqrt(1 - e[k] * e[k]) * E[k].s;
    const Rotation w = DegreeRotation(perihelion - node);
    const double x1 = x * w.c - y * w.s;
    const double y1 = y * w.c + x * w.s;
    // The Earth's orbit is the ecliptic itself: no tilt, no node.
    const Rotation i = earth ? Rotation{1, 0} : DegreeRotation(inclination);
    const double z = y1 * i.s;
    const double y2 = y1 * i.c;
    const Rotation N = earth ? Rotation{1, 0} : DegreeRotation(node);
    HeliocentricState& s = out[k];
    s.X = x1 * N.c - y2 * N.s;
    s.Y = y2 * N.c + x1 * N.s;
    s.z = z;
    s.r = std::sqrt(s.X * s.X + s.Y * s.Y + z * z);

    const double speedTerm = earth ? 2.0 / s.r - 1.0 : 2.0 / s.r - 1.0 / a;
    if (speedTerm < 0) {
      if (earth)
        CorePrintf("813 Test tafeln !!! 2.0/r0-1.0 %f  ", speedTerm);
      else
        CorePrintf("796 Test tafeln !!! r8 %f  ", speedTerm);
      warnings |= earth ? kWarnEarthSpeed : kWarnPlanetSpeed;
    }
    s.speed = kGaussK * std::sqrt(speedTerm);
    // The radial velocity k sqrt(a) e sin E / r over the speed.
    s.cosVelocityAngle = earth ? kGaussK * e[k] * E[k].s / (s.speed * s.r)
                               : (std::sqrt(a) * kGaussK * e[k] * E[k].s / s.r) / s.speed;
  }
}

}  // namespace

double HalfAngleLongitude(double X, double Y) {
  if (X == 0 && Y == 0) return 0;
  const double q = 2 * std::atan(Y / (std::fabs(X) + std::sqrt(X * X + Y * Y)));
  if (X < 0) return kPi - q;
  if (Y < 0) return q + kTwoPi;
  return q;
}

unsigned PlanetPositions(ChartRecord& chart, double T) {
  unsigned warnings = 0;
  HeliocentricState orbits[kOrbits];
  Orbits(T, orbits, warnings);
  const HeliocentricState& earth = orbits[0];
  const double LE = HalfAngleLongitude(earth.X, earth.Y);
  const double rE = std::sqrt(earth.X * earth.X + earth.Y * earth.Y);
  const Rotation earthDirection = Direction(earth.X, earth.Y, rE);
  chart.pos[0] = Reduce360((LE + kPi) * kDegreesPerRadian);
  chart.motion[0] = earth.speed * kDegreesPerRadian / earth.r;

  for (int k = 1; k < kOrbits; ++k) {
    const int body = k + 1;
    const HeliocentricState& p = orbits[k];
    const double dx = p.X - earth.X;
    const double dy = p.Y - earth.Y;
    const double planar = std::sqrt(dx * dx + dy * dy);
    const double rho = std::sqrt(dx * dx + dy * dy + p.z * p.z);
    const double G = HalfAngleLongitude(dx, dy);
    const Rotation geocentric = Direction(dx, dy, planar);
    const Rotation heliocentric = Direction(p.X, p.Y, std::sqrt(p.X * p.X + p.Y * p.Y));
    chart.lat[body - 1] = std::atan(p.z / planar);
    const double transverse = p.speed * SinVelocityAngle(p.cosVelocityAngle, heliocentric, geocentric) -
                              earth.speed * SinVelocityAngle(earth.cosVelocityAngle, earthDirection, geocentric);
    chart.motion[body] = transverse * kDegreesPerRadian / rho;
    chart.pos[body] = Reduce360(G * kDegreesPerRadian);
  }
  return warnings;
}
