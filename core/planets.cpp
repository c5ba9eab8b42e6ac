// Geocentric longitudes, latitudes and daily motions of the Sun and the
// planets from mean Keplerian elements (planet_elements.h).
//
// The nine orbits (the Earth's and eight planets') of one or more moments
// are computed side by side, two at a time in one register, or four where
// the processor has AVX2: every orbit goes through the same operations,
// lane by lane, so each chart comes out the same whichever moments share
// the pass with it and however wide the register. The code is written
// once over the lane type V (Pair or Quad; the Earths of the moments one
// moment to a lane of V); the four-lane version is
// instantiated inside a function compiled for AVX2 only (and without
// fused multiply-add, which would round differently).
#include <cmath>

#include "core/angles.h"
#include "core/chart.h"
#include "core/core_print.h"
#include "core/lanes.h"
#include "core/planet_elements.h"
#include "core/side_by_side.h"

using namespace core_detail;

namespace {

constexpr int kOrbits = 9;  // the Earth and eight planets

// Orbits of `Moments` moments, moment-major (orbit k of moment m in
// m * 9 + k), rounded up to whole registers of V; a spare lane repeats
// an orbit.
template <class V, int Moments>
constexpr int kLanes = (kOrbits * Moments + kLaneCount<V> - 1) / kLaneCount<V> * kLaneCount<V>;

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
template <class V>
CORE_LANE_INLINE V ElementDegrees(V degrees) {
  const V q = degrees * (1 / 360.0);
  if (!All(Abs(q) < kInt32Range)) {
    V r = degrees;
    for (int l = 0; l < kLaneCount<V>; ++l) r[l] = degrees[l] - 360.0 * Trunc(q[l]);
    return r;
  }
  return degrees - 360.0 * TruncLanes(q);
}

// One step of Kepler's equation moves E by delta, |delta| <= e^(n+1) in
// step n (the first by e sin M, each later one by at most e times the
// one before), so the sine and cosine of delta need fewer terms at each
// step: these bounds hold for e <= 0.3, and each polynomial is within a
// few units of the last place there. A lane beyond its bound (a larger e,
// or elements far out of range) takes the library's sine and cosine.
constexpr double kStepBound[5] = {0.3, 0.09, 0.027, 0.0081, 0.00243};

template <int Step, class V>
CORE_LANE_INLINE RotationLanes<V> StepRotation(V x) {
  const V x2 = x * x;
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
template <class V>
CORE_LANE_INLINE RotationLanes<V> SlowRotation(V x0, V x1, V T, V c0, V s0) {
  const V small = x1 * T * kRadiansPerDegree;
  const RotationLanes<V> d = StepRotation<1>(small);
  RotationLanes<V> r = {c0 * d.c - s0 * d.s, s0 * d.c + c0 * d.s};
  const auto near = Abs(small) <= kStepBound[1];
  if (!All(near)) {
    const RotationLanes<V> whole = DegreeRotation(ElementDegrees(x0 + x1 * T));
    r = {Select(near, r.c, whole.c), Select(near, r.s, whole.s)};
  }
  return r;
}

// The arrays of one pass over L lanes.
template <int L>
struct OrbitLanes {
  double e[L], M[L], Ec[L], Es[L], E[L];  // M and E in radians
  double wc[L], ws[L], ic[L], is[L], Nc[L], Ns[L];
  double X[L], Y[L], z[L], r[L], root[L];  // root: sqrt(1 - e^2)
  double speedTerm[L], speed[L], cosVelocityAngle[L], sinVelocityAngle[L];
};

// Kepler's step `Step` on every lane: E' = M + e sin E, and cos, sin of
// E' from those of E turned by E' - E.
template <int Step, class V, int L>
CORE_LANE_INLINE void KeplerStep(OrbitLanes<L>& o) {
  for (int l = 0; l < L; l += kLaneCount<V>) {
    const V E = LoadLanes<V>(o.E + l), c = LoadLanes<V>(o.Ec + l), s = LoadLanes<V>(o.Es + l);
    const V next = LoadLanes<V>(o.M + l) + LoadLanes<V>(o.e + l) * s;
    const V delta = next - E;
    const RotationLanes<V> t = StepRotation<Step>(delta);
    V nc = c * t.c - s * t.s, ns = s * t.c + c * t.s;
    if (!All(Abs(delta) <= kStepBound[Step])) {
      for (int lane = 0; lane < kLaneCount<V>; ++lane)
        if (!(std::fabs(delta[lane]) <= kStepBound[Step]))
          nc[lane] = std::cos(next[lane]), ns[lane] = std::sin(next[lane]);
    }
    StoreLanes(o.Ec + l, nc);
    StoreLanes(o.Es + l, ns);
    StoreLanes(o.E + l, next);
  }
}

// Heliocentric position, speed and the cosine of the angle between
// velocity and radius of every lane at the lanes' T.
template <class V, int L>
CORE_LANE_INLINE void Orbits(const double (&T)[L], OrbitLanes<L>& o) {
  constexpr int W = kLaneCount<V>;
  const LaneElements<L>& el = kLaneElements<L>;
  for (int l = 0; l < L; l += W) {
    const V t = LoadLanes<V>(T + l);
    StoreLanes(o.e + l, LoadLanes<V>(el.e0 + l) + LoadLanes<V>(el.e1 + l) * t);
    const V M = ElementDegrees(LoadLanes<V>(el.M0 + l) + LoadLanes<V>(el.M1 + l) * t);
    const V perihelion = ElementDegrees(LoadLanes<V>(el.P0 + l) + LoadLanes<V>(el.P1 + l) * t);
    const V Mrad = M * kRadiansPerDegree;
    StoreLanes(o.M + l, Mrad);
    StoreLanes(o.E + l, Mrad);
    const RotationLanes<V> rM = DegreeRotation(M);
    StoreLanes(o.Ec + l, rM.c);
    StoreLanes(o.Es + l, rM.s);
    // The Earth's orbit has no tilt and no node: both rotations are
    // exactly (1, 0) there and change nothing.
    const RotationLanes<V> i = SlowRotation(LoadLanes<V>(el.i0 + l), LoadLanes<V>(el.i1 + l), t,
                                            LoadLanes<V>(el.i0c + l), LoadLanes<V>(el.i0s + l));
    const RotationLanes<V> N = SlowRotation(LoadLanes<V>(el.N0 + l), LoadLanes<V>(el.N1 + l), t,
                                            LoadLanes<V>(el.N0c + l), LoadLanes<V>(el.N0s + l));
    // The perihelion's angle from the node: P turned back by N.
    const RotationLanes<V> P = DegreeRotation(perihelion);
    const RotationLanes<V> w = {P.c * N.c + P.s * N.s, P.s * N.c - P.c * N.s};
    StoreLanes(o.wc + l, w.c), StoreLanes(o.ws + l, w.s);
    StoreLanes(o.ic + l, i.c), StoreLanes(o.is + l, i.s);
    StoreLanes(o.Nc + l, N.c), StoreLanes(o.Ns + l, N.s);
  }
  KeplerStep<0, V>(o);
  KeplerStep<1, V>(o);
  KeplerStep<2, V>(o);
  KeplerStep<3, V>(o);
  KeplerStep<4, V>(o);
  for (int l = 0; l < L; l += W) {
    const V a = LoadLanes<V>(el.a + l), e = LoadLanes<V>(o.e + l);
    const V Ec = LoadLanes<V>(o.Ec + l), Es = LoadLanes<V>(o.Es + l);
    const V root = Sqrt(1 - e * e);
    const V x = a * (Ec - e);
    const V y = a * root * Es;
    const V wc = LoadLanes<V>(o.wc + l), ws = LoadLanes<V>(o.ws + l);
    const V x1 = x * wc - y * ws;
    const V y1 = y * wc + x * ws;
    const V z = y1 * LoadLanes<V>(o.is + l);
    const V y2 = y1 * LoadLanes<V>(o.ic + l);
    const V Nc = LoadLanes<V>(o.Nc + l), Ns = LoadLanes<V>(o.Ns + l);
    const V X = x1 * Nc - y2 * Ns;
    const V Y = y2 * Nc + x1 * Ns;
    StoreLanes(o.X + l, X), StoreLanes(o.Y + l, Y), StoreLanes(o.z + l, z);
    // The length of (X, Y, z), which the rotations keep: that of (x, y).
    StoreLanes(o.r + l, a * (1 - e * Ec));
    StoreLanes(o.root + l, root);
  }
  // The speeds in a pass of their own, so that the square roots and
  // quotients of all lanes overlap.
  for (int l = 0; l < L; l += W) {
    const V e = LoadLanes<V>(o.e + l), Es = LoadLanes<V>(o.Es + l);
    const V inverseR = 1 / LoadLanes<V>(o.r + l);
    const V speedTerm = 2.0 * inverseR - LoadLanes<V>(el.invA + l);
    const V speed = kGaussK * Sqrt(speedTerm);
    // The radial velocity k sqrt(a) e sin E / r and the transverse one
    // k sqrt(a) sqrt(1 - e^2) / r (the angular momentum over r), each over
    // the speed: g in 0..pi, cos^2 g + sin^2 g = 1 by the vis-viva speed.
    const V perSpeed = (LoadLanes<V>(el.sqrtA + l) * kGaussK * inverseR) / speed;
    StoreLanes(o.speedTerm + l, speedTerm), StoreLanes(o.speed + l, speed);
    StoreLanes(o.cosVelocityAngle + l, perSpeed * (e * Es));
    StoreLanes(o.sinVelocityAngle + l, perSpeed * LoadLanes<V>(o.root + l));
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
CORE_LANE_INLINE V SinVelocityAngle(V cosG, V sinG, V Lc, V Ls, V Gc, V Gs) {
  const V cosLG = Lc * Gc + Ls * Gs;
  const V sinLG = Ls * Gc - Lc * Gs;
  return sinG * cosLG + cosG * sinLG;
}

// What the planets of a moment need of its Earth: the heliocentric
// position, its direction, the speed and the angle between velocity and
// radius.
struct EarthLane {
  double X, Y, directionC, directionS, speed, cosG, sinG;
};

// The Earths of all the pass's moments from their lanes, one moment to
// a lane of V (a spare lane repeats the last moment); the Sun's
// longitude and motion into the charts.
template <class V, int L, int Moments>
CORE_LANE_INLINE void Earths(const OrbitLanes<L>& o, ChartRecord* const* charts, EarthLane (&out)[Moments]) {
  constexpr int W = kLaneCount<V>;
  for (int first = 0; first < Moments; first += W) {
    auto gather = [&o, first](const double* lanes) CORE_INLINE_LAMBDA {
      V v;
      for (int l = 0; l < W; ++l) SetLane(v, l, lanes[(first + l < Moments ? first + l : Moments - 1) * kOrbits]);
      return v;
    };
    const V EX = gather(o.X), EY = gather(o.Y), speed = gather(o.speed), r = gather(o.r);
    const V rE = Sqrt(EX * EX + EY * EY);
    const V LE = HalfAngle(EX, EY, rE);
    const auto atSun = rE == 0;
    const V EdC = Select(atSun, SplatLanes<V>(1), EX / rE);
    const V EdS = Select(atSun, SplatLanes<V>(0), EY / rE);
    const V sun = Reduce360((LE + kPi) * kDegreesPerRadian);
    const V motion = speed * kDegreesPerRadian / r;
    for (int l = 0; l < W && first + l < Moments; ++l) {
      const int m = first + l, base = m * kOrbits;
      charts[m]->pos[0] = LaneOf(sun, l);
      charts[m]->motion[0] = LaneOf(motion, l);
      out[m] = {LaneOf(EX, l), LaneOf(EY, l), LaneOf(EdC, l), LaneOf(EdS, l), LaneOf(speed, l),
                o.cosVelocityAngle[base], o.sinVelocityAngle[base]};
    }
  }
}

// The geocentric values of the planets of all the pass's moments from
// their lanes: the eight planets of a moment as four pairs (or two
// quads), stage by stage over all moments, so that the long chains of
// square roots, quotients and arctangents overlap.
template <class V, int L, int Moments>
CORE_LANE_INLINE void Geocentric(const OrbitLanes<L>& o, const EarthLane (&earth)[Moments],
                                 ChartRecord* const* charts) {
  using Mask = decltype(V{} < V{});
  constexpr int W = kLaneCount<V>;
  constexpr int kGroups = (kOrbits - 1) / W;
  constexpr int N = kGroups * Moments;
  V dx[N], dy[N], planar[N], inversePlanar[N], G[N], latitude[N];
  for (int q = 0; q < N; ++q) {
    const int m = q / kGroups, l = m * kOrbits + 1 + W * (q % kGroups);
    dx[q] = LoadLanes<V>(o.X + l) - earth[m].X;
    dy[q] = LoadLanes<V>(o.Y + l) - earth[m].Y;
    planar[q] = Sqrt(dx[q] * dx[q] + dy[q] * dy[q]);
    inversePlanar[q] = 1 / planar[q];
  }
  for (int q = 0; q < N; ++q) {
    const int m = q / kGroups, l = m * kOrbits + 1 + W * (q % kGroups);
    G[q] = HalfAngle(dx[q], dy[q], planar[q]);
    latitude[q] = Atan(LoadLanes<V>(o.z + l) * inversePlanar[q]);
  }
  for (int q = 0; q < N; ++q) {
    const int m = q / kGroups, l = m * kOrbits + 1 + W * (q % kGroups), k = 1 + W * (q % kGroups);
    const EarthLane& e = earth[m];
    ChartRecord& chart = *charts[m];
    const V X = LoadLanes<V>(o.X + l), Y = LoadLanes<V>(o.Y + l), z = LoadLanes<V>(o.z + l);
    const V rho = Sqrt(dx[q] * dx[q] + dy[q] * dy[q] + z * z);
    const Mask atEarth = planar[q] == 0;
    const V GdC = Select(atEarth, SplatLanes<V>(1), dx[q] * inversePlanar[q]);
    const V GdS = Select(atEarth, SplatLanes<V>(0), dy[q] * inversePlanar[q]);
    const V rh = Sqrt(X * X + Y * Y);
    const Mask atSun = rh == 0;
    const V inverseRh = 1 / rh;
    const V HdC = Select(atSun, SplatLanes<V>(1), X * inverseRh);
    const V HdS = Select(atSun, SplatLanes<V>(0), Y * inverseRh);
    const V transverse =
        LoadLanes<V>(o.speed + l) * SinVelocityAngle(LoadLanes<V>(o.cosVelocityAngle + l),
                                                     LoadLanes<V>(o.sinVelocityAngle + l), HdC, HdS, GdC, GdS) -
        e.speed * SinVelocityAngle(SplatLanes<V>(e.cosG), SplatLanes<V>(e.sinG), SplatLanes<V>(e.directionC),
                                   SplatLanes<V>(e.directionS), GdC, GdS);
    StoreLanes(chart.lat + k, latitude[q]);
    StoreLanes(chart.motion + k + 1, transverse * kDegreesPerRadian / rho);
    StoreLanes(chart.pos + k + 1, Reduce360(G[q] * kDegreesPerRadian));
  }
}

template <class V, int Moments>
CORE_LANE_INLINE unsigned PlanetsSideBySide(ChartRecord* const* charts, const double* T) {
  constexpr int L = kLanes<V, Moments>;
  double laneT[L];
  if constexpr (L == kOrbits * Moments) {
    // Each moment's T over its nine lanes: whole registers, then the
    // lanes left over.
    constexpr int W = kLaneCount<V>;
    for (int m = 0; m < Moments; ++m) {
      const V t = SplatLanes<V>(T[m]);
      for (int k = 0; k + W <= kOrbits; k += W) StoreLanes(laneT + m * kOrbits + k, t);
      for (int k = kOrbits / W * W; k < kOrbits; ++k) laneT[m * kOrbits + k] = T[m];
    }
  } else {
    for (int l = 0; l < L; ++l) laneT[l] = T[l / kOrbits < Moments ? l / kOrbits : Moments - 1];
  }
  OrbitLanes<L> o;
  Orbits<V>(laneT, o);
  // Any orbit to check, register by register first (the spare lanes
  // repeat orbits of the last moment and change nothing).
  bool check = false;
  for (int l = 0; l < L; l += kLaneCount<V>)
    check |= Any(LoadLanes<V>(o.e + l) > 1 || !(LoadLanes<V>(o.speedTerm + l) >= 0));
  unsigned warnings = 0;
  for (int m = 0; check && m < Moments; ++m) {
    for (int k = 0; k < kOrbits; ++k) {
      const int l = m * kOrbits + k;
      if (o.e[l] > 1 || !(o.speedTerm[l] >= 0))
        warnings |= CheckOrbit(k, o.e[l], kOrbitalElements[k].a, o.speedTerm[l]);
    }
  }
  EarthLane earth[Moments];
  Earths<V>(o, charts, earth);
  Geocentric<V>(o, earth, charts);
  return warnings;
}

// The two-lane passes, for any processor.
template <int Moments>
unsigned PairPlanets(ChartRecord* const* charts, const double* T) {
  return PlanetsSideBySide<Pair, Moments>(charts, T);
}

// The same passes in quads, on processors with AVX2.
template <int Moments>
__attribute__((target("avx2"), noinline)) unsigned QuadPlanets(ChartRecord* const* charts, const double* T) {
  return PlanetsSideBySide<Quad, Moments>(charts, T);
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
    case 1: return PairPlanets<1>(charts, T);
    case 2: return PairPlanets<2>(charts, T);
    case 3: return PairPlanets<3>(charts, T);
    case 4: return PairPlanets<4>(charts, T);
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

unsigned PlanetPositionsInQuads(ChartRecord* const* charts, const double* T, int count) {
  switch (count) {
    case 1: return QuadPlanets<1>(charts, T);
    case 2: return QuadPlanets<2>(charts, T);
    case 3: return QuadPlanets<3>(charts, T);
    case 4: return QuadPlanets<4>(charts, T);
    default: return 0;
  }
}

}  // namespace core_detail

unsigned PlanetPositions(ChartRecord& chart, double T) {
  ChartRecord* const charts[1] = {&chart};
  return ProcessorHasAvx2() ? QuadPlanets<1>(charts, &T) : PairPlanets<1>(charts, &T);
}
