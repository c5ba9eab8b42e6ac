// The chart of one moment, two side by side or four (AVX2, for the
// batch), written once over the lane type V, one moment to a lane: the
// same steps in the same order, so that a chart does not depend on the
// moments beside it.
#include "core/chart.h"

#include <cmath>

#include "core/angles.h"
#include "core/calendar.h"
#include "core/core_path.h"
#include "core/core_print.h"
#include "core/ephemeris.h"
#include "core/houses.h"
#include "core/lanes.h"
#include "core/precise.h"
#include "core/side_by_side.h"

using namespace core_detail;

namespace {

template <class V>
CORE_LANE_INLINE V MeanNodeOf(V T) {
  return Reduce360(12.1128 - 1934.1399 * T + 0.0021 * T * T);
}

// The chart's last fold of a longitude into 0..360, on one value.
CORE_LANE_INLINE double Folded(double x) {
  if (x < 0) x += 360;
  if (x > 360) x -= 360;
  return x;
}

// The planets of the moments in the lanes: one alone takes its
// processor's widest registers.
template <int Lanes>
CORE_LANE_INLINE unsigned PlanetsOfLanes(ChartRecord* const (&charts)[Lanes], const double (&T)[Lanes]) {
  if constexpr (Lanes == 1)
    return PlanetPositions(*charts[0], T[0]);
  else if constexpr (Lanes == 2)
    return PlanetPositionsSideBySide(charts, T, Lanes);
  else
    return PlanetPositionsInQuads(charts, T, Lanes);
}

// charts[0 .. lanes - 1] of the moments at the Julian dates jd, the
// sidereal time counted from the 0h jd0, the houses for the places'
// longitudes and latitudes (their dates and times are not used). Every
// field but motion[1] and motion[10..12] and lat[9..11] is written.
template <class V>
CORE_LANE_INLINE unsigned ChartsSideBySide(const double* days, const double* days0, const ChartMoment* places,
                                           ChartRecord* charts) {
  constexpr int L = kLaneCount<V>;
  double jd[L], jd0[L], lst[L], T[L], longitude[L], latitude[L], node[L];
  int lonDeg[L], lonMin[L], latDeg[L], latMin[L];
  ChartRecord* records[L];
  for (int l = 0; l < L; ++l) {
    const ChartMoment& m = places[l];
    records[l] = &charts[l];
    jd[l] = days[l], jd0[l] = days0[l];
    lonDeg[l] = m.longitudeDegrees, lonMin[l] = m.longitudeMinutes;
    latDeg[l] = m.latitudeDegrees, latMin[l] = m.latitudeMinutes;
    T[l] = Centuries1950(jd[l]);
  }
  SiderealTimesSideBySide(jd, jd0, lonDeg, lonMin, lst);
  MoonPositionsSideBySide(jd, longitude, latitude);
  const unsigned warnings = PlanetsOfLanes(records, T);
  StoreLanes(node, MeanNodeOf(LoadLanes<V>(T)));
  HouseAngles angles[L];
  HouseAnglesSideBySide(lst, latDeg, latMin, angles);
  for (int l = 0; l < L; ++l) {
    ChartRecord& chart = *records[l];
    chart.jd = jd[l];
    chart.lst = lst[l];
    // The last fold changes nothing in the Sun's and the planets'
    // longitudes, which Reduce360 left within 0..360 (or NaN): only the
    // Moon's and the house angles' are folded.
    chart.pos[1] = Folded(longitude[l]);
    chart.lat[0] = latitude[l] * kRadiansPerDegree;
    chart.pos[13] = node[l];
    chart.pos[11] = Folded(angles[l].ascendant);
    chart.pos[12] = Folded(angles[l].midheaven);
    chart.pos[10] = Folded(angles[l].imumCoeli);
  }
  return warnings;
}

unsigned ChartAlone(double jd, double jd0, const ChartMoment& place, ChartRecord& chart) {
  return ChartsSideBySide<double>(&jd, &jd0, &place, &chart);
}

unsigned ChartsInPairs(const double* jd, const double* jd0, const ChartMoment* places, ChartRecord* charts) {
  return ChartsSideBySide<Pair>(jd, jd0, places, charts);
}

__attribute__((target("avx2"), noinline)) unsigned ChartsInQuads(const double* jd, const double* jd0,
                                                                 const ChartMoment* places, ChartRecord* charts) {
  return ChartsSideBySide<Quad>(jd, jd0, places, charts);
}

// What the chart leaves alone, as in a fresh record.
void ClearUnwritten(ChartRecord& chart) {
  chart.lat[9] = chart.lat[10] = chart.lat[11] = 0;
  chart.motion[1] = chart.motion[10] = chart.motion[11] = chart.motion[12] = 0;
}

}  // namespace

double MeanNode(double T) { return MeanNodeOf(T); }

// The sidereal time's 0h is that of the civil date as entered.
unsigned ClassicChart(const ChartMoment& m, ChartRecord& chart) {
  const ChartDays days = ChartDaysOf(m);
  return ChartAlone(days.jd, days.jd0, m, chart);
}

unsigned ClassicChartAtJulianDate(double jd, const ChartMoment& place, ChartRecord& chart) {
  // 0h UT of the universal-time date of the moment.
  return ChartAlone(jd, std::floor(jd - 0.5) + 0.5, place, chart);
}

unsigned ComputeChart(const ChartMoment& m, ChartRecord& chart) {
  if (CurrentEphemeris() == Ephemeris::Precise) return PreciseChartAtJulianDate(ChartTime(m), m, chart);
  return ClassicChart(m, chart);
}

unsigned ChartAtJulianDate(double jd, const ChartMoment& place, ChartRecord& chart) {
  if (CurrentEphemeris() == Ephemeris::Precise) return PreciseChartAtJulianDate(jd, place, chart);
  return ClassicChartAtJulianDate(jd, place, chart);
}

unsigned ComputeChartBatchOnPath(const ChartMoment* moments, std::size_t count, ChartRecord* charts,
                                 CorePath path) {
  if (CurrentEphemeris() == Ephemeris::Precise) return PreciseChartBatch(moments, count, charts, path);
  const bool quads = path == CorePath::Avx2 && ProcessorHasAvx2();
  const std::size_t width = quads ? 4 : 2;
  unsigned warnings = 0;
  std::size_t first = 0;
  // Whole groups side by side (the civil dates one by one), then the
  // moments left over alone.
  for (; first + width <= count; first += width) {
    double jd[kMaxSideBySide], jd0[kMaxSideBySide];
    for (std::size_t g = 0; g < width; ++g) {
      const ChartDays days = ChartDaysOf(moments[first + g]);
      jd[g] = days.jd, jd0[g] = days.jd0;
      ClearUnwritten(charts[first + g]);
    }
    warnings |= quads ? ChartsInQuads(jd, jd0, moments + first, charts + first)
                      : ChartsInPairs(jd, jd0, moments + first, charts + first);
  }
  for (; first < count; ++first) {
    ClearUnwritten(charts[first]);
    warnings |= ClassicChart(moments[first], charts[first]);
  }
  return warnings;
}

unsigned ComputeChartBatch(const ChartMoment* moments, std::size_t count, ChartRecord* charts) {
  return ComputeChartBatchOnPath(moments, count, charts, DefaultCorePath());
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
