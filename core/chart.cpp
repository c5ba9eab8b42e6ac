// The batch's four-moment path runs in AVX2 registers (no fused
// multiply-add: the same roundings as one moment alone).
#include "core/chart.h"

#include <cmath>

#include "core/angles.h"
#include "core/calendar.h"
#include "core/chart_path.h"
#include "core/core_print.h"
#include "core/four_moments.h"
#include "core/houses.h"
#include "core/lanes.h"
#include "core/planet_lanes.h"

using namespace core_detail;

double MeanNode(double T) { return Reduce360(12.1128 - 1934.1399 * T + 0.0021 * T * T); }

__attribute__((target("avx2"), noinline)) void core_detail::MeanNodesFour(const double (&T)[4], double (&node)[4]) {
  const Quad t = LoadLanes<Quad>(T);
  StoreLanes(node, Reduce360(12.1128 - 1934.1399 * t + 0.0021 * t * t));
}

namespace {

// Everything of a chart but the planets, in two halves around them; jd0
// is the 0h of the day the sidereal time counts from.
double ChartBeforePlanets(double jd, double jd0, const ChartMoment& place, ChartRecord& chart) {
  chart.jd = jd;
  chart.lst = SiderealTime(jd, jd0, place.longitudeDegrees, place.longitudeMinutes);
  const LunarPosition moon = MoonPosition(chart.jd);
  chart.pos[1] = moon.longitude;
  chart.lat[0] = moon.latitude * kRadiansPerDegree;
  return Centuries1950(chart.jd);
}

// The chart's last fold of a longitude into 0..360, on one value.
CORE_LANE_INLINE double Folded(double x) {
  if (x < 0) x += 360;
  if (x > 360) x -= 360;
  return x;
}

void ChartAfterPlanets(const ChartMoment& m, double T, ChartRecord& chart) {
  chart.pos[13] = MeanNode(T);
  const HouseAngles angles = HouseAnglesAt(chart.lst, m.latitudeDegrees, m.latitudeMinutes);
  chart.pos[11] = angles.ascendant;
  chart.pos[12] = angles.midheaven;
  chart.pos[10] = angles.imumCoeli;

  // The last fold: the Sun's and the planets' longitudes leave Reduce360 within
  // 0..360 (or NaN), where the fold changes nothing; the Moon's and the
  // house angles' are folded.
  for (int i : {1, 10, 11, 12}) chart.pos[i] = Folded(chart.pos[i]);
}

// The sidereal time's 0h is that of the civil date as entered.
double ChartBeforePlanets(const ChartMoment& m, ChartRecord& chart) {
  const ChartDays days = ChartDaysOf(m);
  return ChartBeforePlanets(days.jd, days.jd0, m, chart);
}

}  // namespace

unsigned ComputeChart(const ChartMoment& m, ChartRecord& chart) {
  const double T = ChartBeforePlanets(m, chart);
  const unsigned warnings = PlanetPositions(chart, T);
  ChartAfterPlanets(m, T, chart);
  return warnings;
}

unsigned ChartAtJulianDate(double jd, const ChartMoment& place, ChartRecord& chart) {
  // 0h UT of the universal-time date of the moment.
  const double T = ChartBeforePlanets(jd, std::floor(jd - 0.5) + 0.5, place, chart);
  const unsigned warnings = PlanetPositions(chart, T);
  ChartAfterPlanets(place, T, chart);
  return warnings;
}

namespace {

// Up to four moments: everything but the planets one moment at a time,
// the planets side by side (in quads where `quads`).
unsigned ChartGroup(const ChartMoment* moments, int group, ChartRecord* charts, bool quads) {
  double T[kMaxSideBySide];
  ChartRecord* records[kMaxSideBySide];
  for (int g = 0; g < group; ++g) {
    records[g] = &charts[g];
    *records[g] = ChartRecord{};
    T[g] = ChartBeforePlanets(moments[g], *records[g]);
  }
  const unsigned warnings =
      quads ? PlanetPositionsInQuads(records, T, group) : PlanetPositionsSideBySide(records, T, group);
  for (int g = 0; g < group; ++g) ChartAfterPlanets(moments[g], T[g], *records[g]);
  return warnings;
}

// Four moments side by side, one to a lane (AVX2): the same steps as
// ComputeChart on each. The civil dates one by one.
__attribute__((target("avx2"), noinline)) unsigned ChartFour(const ChartMoment* moments, ChartRecord* charts) {
  double jd[4], jd0[4], lst[4], T[4], longitude[4], latitude[4], node[4];
  int lonDeg[4], lonMin[4], latDeg[4], latMin[4];
  ChartRecord* records[4];
  for (int g = 0; g < 4; ++g) {
    const ChartMoment& m = moments[g];
    records[g] = &charts[g];
    // What the steps below leave alone, as in a fresh record; the rest
    // they all write.
    ChartRecord& chart = charts[g];
    chart.lat[9] = chart.lat[10] = chart.lat[11] = 0;
    chart.motion[1] = chart.motion[10] = chart.motion[11] = chart.motion[12] = 0;
    const ChartDays days = ChartDaysOf(m);
    jd[g] = days.jd;
    jd0[g] = days.jd0;
    lonDeg[g] = m.longitudeDegrees, lonMin[g] = m.longitudeMinutes;
    latDeg[g] = m.latitudeDegrees, latMin[g] = m.latitudeMinutes;
    T[g] = Centuries1950(jd[g]);
  }
  SiderealTimesFour(jd, jd0, lonDeg, lonMin, lst);
  MoonPositionsFour(jd, longitude, latitude);
  const unsigned warnings = PlanetPositionsInQuads(records, T, 4);
  MeanNodesFour(T, node);
  HouseAngles angles[4];
  HouseAnglesFour(lst, latDeg, latMin, angles);
  for (int g = 0; g < 4; ++g) {
    ChartRecord& chart = *records[g];
    chart.jd = jd[g];
    chart.lst = lst[g];
    // The last fold changes nothing in the Sun's and the planets' longitudes,
    // which Reduce360 left within 0..360 (or NaN): only the Moon's and
    // the house angles' are folded.
    chart.pos[1] = Folded(longitude[g]);
    chart.lat[0] = latitude[g] * kRadiansPerDegree;
    chart.pos[13] = node[g];
    chart.pos[11] = Folded(angles[g].ascendant);
    chart.pos[12] = Folded(angles[g].midheaven);
    chart.pos[10] = Folded(angles[g].imumCoeli);
  }
  return warnings;
}

}  // namespace

ChartPath DefaultChartPath() { return ProcessorHasAvx2() ? ChartPath::Avx2 : ChartPath::Sse2; }

unsigned ComputeChartBatchOnPath(const ChartMoment* moments, std::size_t count, ChartRecord* charts,
                                 ChartPath path) {
  const bool four = path == ChartPath::Avx2 && ProcessorHasAvx2();
  unsigned warnings = 0;
  for (std::size_t first = 0; first < count; first += kMaxSideBySide) {
    const int group = static_cast<int>(count - first < kMaxSideBySide ? count - first : kMaxSideBySide);
    warnings |= four && group == 4 ? ChartFour(moments + first, charts + first)
                                   : ChartGroup(moments + first, group, charts + first, four);
  }
  return warnings;
}

unsigned ComputeChartBatch(const ChartMoment* moments, std::size_t count, ChartRecord* charts) {
  return ComputeChartBatchOnPath(moments, count, charts, DefaultChartPath());
}

const char* BodyName(int body) {
  static constexpr const char* kNames[] = {"sun    ", "moon   ", "mercury", "venus  ",
                                           "mars   ", "jupiter", "saturn ", "uranus ",
                                           "neptun ", "pluto  ", "IC     "};
  if (body < 0 || body > 10) return "???";
  return kNames[body];
}

void PrintBodyName(int body) {
  CorePrint("\n");
  CorePrint(BodyName(body));
}
