#include "core/chart.h"

#include "core/angles.h"
#include "core/calendar.h"
#include "core/core_print.h"
#include "core/houses.h"

using namespace core_detail;

double MeanNode(double T) { return Reduce360(12.1128 - 1934.1399 * T + 0.0021 * T * T); }

unsigned ComputeChart(const ChartMoment& m, ChartRecord& chart) {
  chart.jd = ChartTime(m);
  // The sidereal time's 0h is that of the civil date as entered.
  chart.lst = SiderealTime(chart.jd, JulianDay0h(m.year, m.month, m.day), m.longitudeDegrees,
                           m.longitudeMinutes);
  const LunarPosition moon = MoonPosition(chart.jd);
  chart.pos[1] = moon.longitude;
  chart.lat[0] = moon.latitude * kRadiansPerDegree;

  const double T = Centuries1950(chart.jd);
  const unsigned warnings = PlanetPositions(chart, T);
  chart.pos[13] = MeanNode(T);

  chart.pos[11] = Ascendant(chart.lst, m.latitudeDegrees, m.latitudeMinutes);
  chart.pos[12] = Midheaven(chart.lst);
  chart.pos[10] = ImumCoeli(chart.lst);

  for (int i = 0; i <= 12; ++i) {
    if (chart.pos[i] < 0) chart.pos[i] += 360;
    if (chart.pos[i] > 360) chart.pos[i] -= 360;
  }
  return warnings;
}

unsigned ComputeChartBatch(const ChartMoment* moments, std::size_t count, ChartRecord* charts) {
  unsigned warnings = 0;
  for (std::size_t i = 0; i < count; ++i) {
    charts[i] = ChartRecord{};
    warnings |= ComputeChart(moments[i], charts[i]);
  }
  return warnings;
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
