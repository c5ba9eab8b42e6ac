#include "probability/curves_chart.h"

#include <cmath>

#include "core/calendar.h"
#include "core/houses.h"

unsigned ChartAtJulianDate(double jd, const ChartMoment& place, ChartRecord& chart) {
  chart.jd = jd;
  // 0h UT of the universal-time date of the moment.
  const double jd0 = std::floor(jd - 0.5) + 0.5;
  chart.lst = SiderealTime(jd, jd0, place.longitudeDegrees, place.longitudeMinutes);
  const LunarPosition moon = MoonPosition(jd);
  chart.pos[1] = moon.longitude;
  chart.lat[0] = moon.latitude * 0.017453292519943295;
  const double T = Centuries1950(jd);
  const unsigned warnings = PlanetPositions(chart, T);
  chart.pos[13] = MeanNode(T);
  // The three angles as ComputeChart takes them, from one sidereal time.
  const HouseAngles angles = HouseAnglesAt(chart.lst, place.latitudeDegrees, place.latitudeMinutes);
  chart.pos[11] = angles.ascendant;
  chart.pos[12] = angles.midheaven;
  chart.pos[10] = angles.imumCoeli;
  for (int i = 0; i <= 12; ++i) {
    if (chart.pos[i] < 0) chart.pos[i] += 360;
    if (chart.pos[i] > 360) chart.pos[i] -= 360;
  }
  return warnings;
}
