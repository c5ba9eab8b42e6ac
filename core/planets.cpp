// Geocentric longitudes, latitudes and daily motions of the Sun and the
// planets from mean Keplerian elements (planet_elements.h).
//
// The nine orbits (the Earth's and eight planets') of one or more moments
// are computed side by side, two at a time in one register: every orbit
// goes through the same operations, so each chart comes out the same
// whichever moments share the pass with it.
#include <cmath>

#include "core/angles.h"
#include "core/chart.h"
#include "core/core_print.h"
#include "core/lanes.h"
#include "core/planet_elements.h"
#include "core/planet_lanes.h"

using namespace core_detail;

namespace {

constexpr int kOrbits = 9;  // the Earth and eight planets

// Orbits of `Moments` moments, moment-major (orbit k of moment m in
// m * 9 + k), rounded up to whole pairs; a spare lane repeats an orbit.
template <int Moments>
constexpr int kLanes = (kOrbits * Moments + 1) / 2 * 2;

// The element table spread over the lanes, with 1/a and sqrt(a).
template <int L>
struct LaneElements {
  double a[L], invA[L], sqrtA[L];
  double e0[L], e1[L], i0[L], i1[L], N0[L], N1[L], P0[L], P1[L], M0[L], M1[L];
  double i0c[L], i0s[L], N0c[L], N0s[L];  // cos and sin of i0 and N0
};
template <int L>
constexpr LaneElements<L> MakeLaneElements() {
  LaneElements<L> t{};
  for (int l = 0; l < L; ++l) {
    const OrbitalElements& el = kOrbitalElements[l % kOrbits];
    t.a[l] = el.a;
    t.invA[l] = 1 / el.a;
    t.sqrtA[l] = __builtin_sqrt(el.a);
    t.e0[l] = el.e0, t.e1[l] = el.e1;
    t.i0[l] = el.i0, t.i1[l] = el.i1;
    t.N0[l] = el.N0, t.N1[l] = el.N1;
    t.P0[l] = el.P0, t.P1[l] = el.P1;
    t.M0[l] = el.M0, t.M1[l] = el.M1;
    const Rotation i0 = ConstantRotation(el.i0 * kRadiansPerDegree);
    const Rotation N0 = ConstantRotation(el.N0 * kRadiansPerDegree);
    t.i0c[l] = i0.c, t.i0s[l] = i0.s;
    t.N0c[l] = N0.c, t.N0s[l] = N0.s;
  }
  return t;
}
template <int L>
inline constexpr LaneElements<L> kLaneElements = MakeLaneElements<L>();

// Degrees less 360 times the truncated quotient (the sign is kept). The
// product and the difference are exact; a quotient rounded across a whole
// number only shifts the result by a full turn.
CORE_LANE_INLINE Pair ElementDegrees(Pair degrees) {
  const Pair q = degrees * (1 / 360.0);
  if (Any(!(Abs(q) < kInt32Range)))
    return Pair{degrees[0] - 360.0 * Trunc(q[0]), degrees[1] - 360.0 * Trunc(q[1])};
  return degrees - 360.0 * TruncPair(q);
}

// One step of Kepler's equation moves E by delta, |delta| <= e^(n+1) in
// step n (the first by e sin M, each later one by at most e times the
// one before), so the sine and cosine of delta need fewer terms at each
// step: these bounds hold for e <= 0.3, and each polynomial is within a
// few units of the last place there. A lane beyond its bound (a larger e,
// or elements far out of range) takes the library's sine and cosine.
constexpr double kStepBound[5] = {0.3, 0.09, 0.027, 0.0081, 0.00243};

template <int Step>
CORE_LANE_INLINE RotationPair StepRotation(Pair x) {
  const Pair x2 = x * x;
  if constexpr (Step == 0) {
    return {1 + x2 * (-0.5 + x2 * (1.0 / 24 + x2 * (-1.0 / 720 + x2 * (1.0 / 40320 +
                x2 * (-1.0 / 3628800 + x2 * (1.0 / 479001600 - x2 / 87178291200.0)))))),
            x * (1 + x2 * (-1.0 / 6 + x2 * (1.0 / 120 + x2 * (-1.0 / 5040 + x2 * (1.0 / 362880 +
                x2 * (-1.0 / 39916800 + x2 / 6227020800.0))))))};
  } else if constexpr (Step == 1) {
    return {1 + x2 * (-0.5 + x2 * (1.0 / 24 + x2 * (-1.0 / 720 + x2 * (1.0 / 40320 - x2 / 3628800)))),
            x * (1 + x2 * (-1.0 / 6 + x2 * (1.0 / 120 + x2 * (-1.0 / 5040 + x2 / 362880))))};
  } else if constexpr (Step == 2) {
    return {1 + x2 * (-0.5 + x2 * (1.0 / 24 + x2 * (-1.0 / 720 + x2 / 40320))),
            x * (1 + x2 * (-1.0 / 6 + x2 * (1.0 / 120 - x2 / 5040)))};
  } else if constexpr (Step == 3) {
    return {1 + x2 * (-0.5 + x2 * (1.0 / 24 - x2 / 720)), x * (1 + x2 * (-1.0 / 6 + x2 / 120))};
  } else {
    return {1 + x2 * (-0.5 + x2 / 24), x * (1 + x2 * (-1.0 / 6 + x2 / 120))};
  }
}

// The rotation by x0 + x1 T degrees of an element that moves slowly
// (inclination, node: a few degrees in centuries): the constant rotation
// by x0 turned by the small x1 T, whose sine and cosine take the second
// Kepler step's polynomial (|x1 T| <= 0.09 radians); beyond, the whole
// angle reduced and turned by the table. The choice is made lane by
// lane, so that a lane's value does not depend on its neighbour.
CORE_LANE_INLINE RotationPair SlowRotation(Pair x0, Pair x1, Pair T, Pair c0, Pair s0) {
  const Pair small = x1 * T * kRadiansPerDegree;
  const RotationPair d = StepRotation<1>(small);
  RotationPair r = {c0 * d.c - s0 * d.s, s0 * d.c + c0 * d.s};
  const PairMask far = !(Abs(small) <= kStepBound[1]);
  if (Any(far)) {
    const RotationPair whole = DegreeRotation(ElementDegrees(x0 + x1 * T));
    r = {Select(far, whole.c, r.c), Select(far, whole.s, r.s)};
  }
  return r;
}

// The arrays of one pass over L lanes.
template <int L>
struct OrbitLanes {
  double e[L], M[L], Ec[L], Es[L], E[L];  // M and E in radians
  double wc[L], ws[L], ic[L], is[L], Nc[L], Ns[L];
  double X[L], Y[L], z[L], r[L], speedTerm[L], speed[L], cosVelocityAngle[L], sinVelocityAngle[L];
};

// Kepler's step `Step` on every lane: E' = M + e sin E, and cos, sin of
// E' from those of E turned by E' - E.
template <int Step, int L>
void KeplerStep(OrbitLanes<L>& o) {
  for (int l = 0; l < L; l += 2) {
    const Pair E = LoadPair(o.E + l), c = LoadPair(o.Ec + l), s = LoadPair(o.Es + l);
    const Pair next = LoadPair(o.M + l) + LoadPair(o.e + l) * s;
    const Pair delta = next - E;
    const RotationPair t = StepRotation<Step>(delta);
    Pair nc = c * t.c - s * t.s, ns = s * t.c + c * t.s;
    const PairMask far = !(Abs(delta) <= kStepBound[Step]);
    if (Any(far)) {
      for (int lane = 0; lane < 2; ++lane)
        if (far[lane]) nc[lane] = std::cos(next[lane]), ns[lane] = std::sin(next[lane]);
    }
    StorePair(o.Ec + l, nc);
    StorePair(o.Es + l, ns);
    StorePair(o.E + l, next);
  }
}

// Heliocentric position, speed and the cosine of the angle between
// velocity and radius of every lane at the lanes' T.
template <int L>
void Orbits(const double (&T)[L], OrbitLanes<L>& o) {
  const LaneElements<L>& el = kLaneElements<L>;
  for (int l = 0; l < L; l += 2) {
    const Pair t = LoadPair(T + l);
    StorePair(o.e + l, LoadPair(el.e0 + l) + LoadPair(el.e1 + l) * t);
    const Pair M = ElementDegrees(LoadPair(el.M0 + l) + LoadPair(el.M1 + l) * t);
    const Pair perihelion = ElementDegrees(LoadPair(el.P0 + l) + LoadPair(el.P1 + l) * t);
    const Pair Mrad = M * kRadiansPerDegree;
    StorePair(o.M + l, Mrad);
    StorePair(o.E + l, Mrad);
    const RotationPair rM = DegreeRotation(M);
    StorePair(o.Ec + l, rM.c);
    StorePair(o.Es + l, rM.s);
    // The Earth's orbit has no tilt and no node: both rotations are
    // exactly (1, 0) there and change nothing.
    const RotationPair i = SlowRotation(LoadPair(el.i0 + l), LoadPair(el.i1 + l), t,
                                        LoadPair(el.i0c + l), LoadPair(el.i0s + l));
    const RotationPair N = SlowRotation(LoadPair(el.N0 + l), LoadPair(el.N1 + l), t,
                                        LoadPair(el.N0c + l), LoadPair(el.N0s + l));
    // The perihelion's angle from the node: P turned back by N.
    const RotationPair P = DegreeRotation(perihelion);
    const RotationPair w = {P.c * N.c + P.s * N.s, P.s * N.c - P.c * N.s};
    StorePair(o.wc + l, w.c), StorePair(o.ws + l, w.s);
    StorePair(o.ic + l, i.c), StorePair(o.is + l, i.s);
    StorePair(o.Nc + l, N.c), StorePair(o.Ns + l, N.s);
  }
  KeplerStep<0>(o);
  KeplerStep<1>(o);
  KeplerStep<2>(o);
  KeplerStep<3>(o);
  KeplerStep<4>(o);
  for (int l = 0; l < L; l += 2) {
    const Pair a = LoadPair(el.a + l), e = LoadPair(o.e + l);
    const Pair Es = LoadPair(o.Es + l);
    const Pair x = a * (LoadPair(o.Ec + l) - e);
    const Pair y = a * Sqrt(1 - e * e) * Es;
    const Pair wc = LoadPair(o.wc + l), ws = LoadPair(o.ws + l);
    const Pair x1 = x * wc - y * ws;
    const Pair y1 = y * wc + x * ws;
    const Pair z = y1 * LoadPair(o.is + l);
    const Pair y2 = y1 * LoadPair(o.ic + l);
    const Pair Nc = LoadPair(o.Nc + l), Ns = LoadPair(o.Ns + l);
    const Pair X = x1 * Nc - y2 * Ns;
    const Pair Y = y2 * Nc + x1 * Ns;
    StorePair(o.X + l, X), StorePair(o.Y + l, Y), StorePair(o.z + l, z);
    StorePair(o.r + l, Sqrt(X * X + Y * Y + z * z));
  }
  // The speeds in a pass of their own, so that the square roots and
  // quotients of all lanes overlap.
  for (int l = 0; l < L; l += 2) {
    const Pair e = LoadPair(o.e + l), Es = LoadPair(o.Es + l);
    const Pair inverseR = 1 / LoadPair(o.r + l);
    const Pair speedTerm = 2.0 * inverseR - LoadPair(el.invA + l);
    const Pair speed = kGaussK * Sqrt(speedTerm);
    // The radial velocity k sqrt(a) e sin E / r over the speed.
    const Pair cosG = (LoadPair(el.sqrtA + l) * kGaussK * e * Es * inverseR) / speed;
    StorePair(o.speedTerm + l, speedTerm), StorePair(o.speed + l, speed);
    StorePair(o.cosVelocityAngle + l, cosG);
    StorePair(o.sinVelocityAngle + l, Sqrt(1 - cosG * cosG));  // g in 0..pi
  }
}

// The element checks of one orbit, with their "Test tafeln" lines.
unsigned CheckOrbit(int k, double e, double a, double speedTerm) {
  unsigned warnings = 0;
  if (e > 1) {
    CorePrintf("740 Test tafeln !!! exc %f  ", e);
    warnings |= kWarnEccentricity;
  }
  if (a < 0) {
    CorePrintf("798 Test tafeln !!! ax %f  ", a);
    warnings |= kWarnSemiMajorAxis;
  }
  if (speedTerm < 0) {
    if (k == 0) {
      CorePrintf("813 Test tafeln !!! 2.0/r0-1.0 %f  ", speedTerm);
      warnings |= kWarnEarthSpeed;
    } else {
      CorePrintf("796 Test tafeln !!! r8 %f  ", speedTerm);
      warnings |= kWarnPlanetSpeed;
    }
  }
  return warnings;
}

// sin(g + L - G) from cos g and sin g and the directions of L and G.
template <class V>
V SinVelocityAngle(V cosG, V sinG, V Lc, V Ls, V Gc, V Gs) {
  const V cosLG = Lc * Gc + Ls * Gs;
  const V sinLG = Ls * Gc - Lc * Gs;
  return sinG * cosLG + cosG * sinLG;
}

// The geocentric values of moment m's planets from its lanes.
template <int L>
void Geocentric(const OrbitLanes<L>& o, int m, ChartRecord& chart) {
  const int base = m * kOrbits;
  const double EX = o.X[base], EY = o.Y[base];
  const double rE = std::sqrt(EX * EX + EY * EY);
  const double LE = HalfAngle(EX, EY, rE);
  const double EdC = rE == 0 ? 1 : EX / rE, EdS = rE == 0 ? 0 : EY / rE;
  const double earthSpeed = o.speed[base], earthCosG = o.cosVelocityAngle[base];
  const double earthSinG = o.sinVelocityAngle[base];
  chart.pos[0] = Reduce360((LE + kPi) * kDegreesPerRadian);
  chart.motion[0] = earthSpeed * kDegreesPerRadian / o.r[base];

  // The eight planets as four pairs, stage by stage over all four, so
  // that the long chains of square roots, quotients and arctangents of
  // the pairs overlap.
  constexpr int kPairs = (kOrbits - 1) / 2;
  Pair dx[kPairs], dy[kPairs], planar[kPairs], inversePlanar[kPairs], G[kPairs], latitude[kPairs];
  for (int p = 0; p < kPairs; ++p) {
    const int l = base + 1 + 2 * p;
    dx[p] = LoadPair(o.X + l) - EX;
    dy[p] = LoadPair(o.Y + l) - EY;
    planar[p] = Sqrt(dx[p] * dx[p] + dy[p] * dy[p]);
    inversePlanar[p] = 1 / planar[p];
  }
  for (int p = 0; p < kPairs; ++p) {
    const int l = base + 1 + 2 * p;
    G[p] = HalfAngle(dx[p], dy[p], planar[p]);
    latitude[p] = Atan(LoadPair(o.z + l) * inversePlanar[p]);
  }
  for (int p = 0; p < kPairs; ++p) {
    const int l = base + 1 + 2 * p, k = 1 + 2 * p;
    const Pair X = LoadPair(o.X + l), Y = LoadPair(o.Y + l), z = LoadPair(o.z + l);
    const Pair rho = Sqrt(dx[p] * dx[p] + dy[p] * dy[p] + z * z);
    const PairMask atEarth = planar[p] == 0;
    const Pair GdC = Select(atEarth, Splat(1), dx[p] * inversePlanar[p]);
    const Pair GdS = Select(atEarth, Splat(0), dy[p] * inversePlanar[p]);
    const Pair rh = Sqrt(X * X + Y * Y);
    const PairMask atSun = rh == 0;
    const Pair inverseRh = 1 / rh;
    const Pair HdC = Select(atSun, Splat(1), X * inverseRh), HdS = Select(atSun, Splat(0), Y * inverseRh);
    const Pair transverse =
        LoadPair(o.speed + l) * SinVelocityAngle(LoadPair(o.cosVelocityAngle + l),
                                                 LoadPair(o.sinVelocityAngle + l), HdC, HdS, GdC, GdS) -
        earthSpeed * SinVelocityAngle(Splat(earthCosG), Splat(earthSinG), Splat(EdC), Splat(EdS), GdC, GdS);
    StorePair(chart.lat + k, latitude[p]);
    StorePair(chart.motion + k + 1, transverse * kDegreesPerRadian / rho);
    StorePair(chart.pos + k + 1, Reduce360(G[p] * kDegreesPerRadian));
  }
}

template <int Moments>
unsigned PlanetsSideBySide(ChartRecord* const* charts, const double* T) {
  constexpr int L = kLanes<Moments>;
  double laneT[L];
  for (int l = 0; l < L; ++l) laneT[l] = T[l / kOrbits < Moments ? l / kOrbits : Moments - 1];
  OrbitLanes<L> o;
  Orbits(laneT, o);
  unsigned warnings = 0;
  for (int m = 0; m < Moments; ++m) {
    for (int k = 0; k < kOrbits; ++k) {
      const int l = m * kOrbits + k;
      if (o.e[l] > 1 || !(o.speedTerm[l] >= 0))
        warnings |= CheckOrbit(k, o.e[l], kOrbitalElements[k].a, o.speedTerm[l]);
    }
    Geocentric(o, m, *charts[m]);
  }
  return warnings;
}

}  // namespace

double HalfAngleLongitude(double X, double Y) {
  if (X == 0 && Y == 0) return 0;
  const double q = 2 * std::atan(Y / (std::fabs(X) + std::sqrt(X * X + Y * Y)));
  if (X < 0) return kPi - q;
  if (Y < 0) return q + kTwoPi;
  return q;
}

namespace core_detail {

unsigned PlanetPositionsSideBySide(ChartRecord* const* charts, const double* T, int count) {
  switch (count) {
    case 0: return 0;
    case 1: return PlanetsSideBySide<1>(charts, T);
    case 2: return PlanetsSideBySide<2>(charts, T);
    case 3: return PlanetsSideBySide<3>(charts, T);
    case 4: return PlanetsSideBySide<4>(charts, T);
    default: {
      // More than fit side by side: four at a time.
      unsigned warnings = 0;
      for (int first = 0; first < count; first += kMaxSideBySide)
        warnings |= PlanetPositionsSideBySide(charts + first, T + first,
                                              count - first < kMaxSideBySide ? count - first : kMaxSideBySide);
      return warnings;
    }
  }
}

}  // namespace core_detail

unsigned PlanetPositions(ChartRecord& chart, double T) {
  ChartRecord* const charts[1] = {&chart};
  return PlanetsSideBySide<1>(charts, &T);
}
