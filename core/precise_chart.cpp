// The precise chart from the library's own calls or from a table, and
// the tables installed for the process' charts.
#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include "core/angles.h"
#include "core/calendar.h"
#include "core/precise.h"
#include "core/precise_houses.h"
#include "core/precise_source.h"
#include "core/precise_table.h"

using namespace core_detail;

namespace {

// What a precise chart is made of, from either source.
struct PreciseMoment {
  double longitude[kPreciseBodies];  // degrees 0..360, true equinox of date
  double latitude[kPreciseBodies];   // degrees
  double motion[kPreciseBodies];     // degrees per day
  double obliquity;                  // true obliquity, degrees
  double gast;                       // Greenwich true sidereal time, degrees
};

void FillChart(const PreciseMoment& p, double jd, const ChartMoment& place, ChartRecord& chart) {
  for (int b = 0; b < 10; ++b) chart.pos[b] = p.longitude[b];
  chart.pos[13] = p.longitude[kPreciseMeanNode];
  for (int b = 1; b < 10; ++b) chart.lat[b - 1] = p.latitude[b] * kRadiansPerDegree;
  chart.motion[0] = p.motion[0];
  for (int b = 2; b < 10; ++b) chart.motion[b] = p.motion[b];
  const PreciseAngleLanes<double> angles =
      PreciseHouseAngles<double>(p.gast, place.longitudeDegrees + place.longitudeMinutes / 60.0, p.obliquity,
                                 place.latitudeDegrees + place.latitudeMinutes / 60.0);
  chart.pos[10] = angles.imumCoeli;
  chart.pos[11] = angles.ascendant;
  chart.pos[12] = angles.midheaven;
  chart.jd = jd;
  chart.lst = angles.lst;
}

// The moment from the library; false where it cannot give a body.
bool MomentFromLibrary(double jd, PreciseMoment& p) {
  for (int b = 0; b < kPreciseBodies; ++b) {
    PreciseBodyValue v;
    if (!PreciseBodyAt(jd, b, true, b != kPreciseMeanNode, v)) return false;
    p.longitude[b] = v.longitude, p.latitude[b] = v.latitude, p.motion[b] = v.speed;
  }
  PreciseNutation n;
  if (!PreciseNutationAt(jd, n)) return false;
  p.obliquity = n.trueObliquity;
  p.gast = PreciseSiderealDegrees(jd);
  return true;
}

// The moment from the table: the mean-equinox longitudes plus the
// nutation, the sidereal time's linear part and remainder plus the
// equation of the equinoxes.
bool MomentFromTable(const PreciseTable& table, double jd, CorePath path, PreciseMoment& p) {
  if (!table.Covers(jd)) return false;
  PreciseTableValues v;
  if (!PreciseTableValuesAt(table, jd, path, v)) return false;
  const double* nutation = v.value[kPreciseNutationSeries];
  const double dpsi = nutation[0], dpsiPerDay = nutation[2];
  for (int b = 0; b < kPreciseBodies; ++b) {
    p.longitude[b] = Reduce360(v.value[b][0] + dpsi);
    p.latitude[b] = v.value[b][1];
    p.motion[b] = v.value[b][2] + dpsiPerDay;
  }
  p.obliquity = nutation[1];
  p.gast = Reduce360(PreciseSiderealLinear(jd) + v.value[kPreciseSiderealSeries][0] +
                     dpsi * DegreeRotation(p.obliquity).c);
  return true;
}

// The classic chart where the library fails.
unsigned Unavailable(double jd, const ChartMoment& place, ChartRecord& chart) {
  ClassicChartAtJulianDate(jd, place, chart);
  return kWarnPreciseUnavailable;
}

unsigned ChartOf(const PreciseTable* table, double jd, const ChartMoment& place, ChartRecord& chart, CorePath path) {
  PreciseMoment p;
  if (table && MomentFromTable(*table, jd, path, p)) {
    FillChart(p, jd, place, chart);
    return 0;
  }
  return PreciseChartDirect(jd, place, chart);
}

// The installed tables (innermost last) and the tables kept for later
// spans (newest last).
std::mutex tablesMutex;
std::vector<std::shared_ptr<const PreciseTable>> installed;
std::vector<std::shared_ptr<const PreciseTable>> kept;
constexpr std::size_t kKeptTables = 4;

std::vector<std::shared_ptr<const PreciseTable>> InstalledTables() {
  std::lock_guard<std::mutex> lock(tablesMutex);
  return installed;
}

const PreciseTable* CoveringTable(const std::vector<std::shared_ptr<const PreciseTable>>& tables, double jd) {
  for (auto t = tables.rbegin(); t != tables.rend(); ++t)
    if ((*t)->Covers(jd)) return t->get();
  return nullptr;
}

}  // namespace

unsigned PreciseChartDirect(double jd, const ChartMoment& place, ChartRecord& chart) {
  PreciseMoment p;
  const bool ok = MomentFromLibrary(jd, p);
  FlushPreciseNotes();
  if (!ok) return Unavailable(jd, place, chart);
  FillChart(p, jd, place, chart);
  return 0;
}

unsigned PreciseChartFromTable(const PreciseTable& table, double jd, const ChartMoment& place, ChartRecord& chart) {
  return ChartOf(&table, jd, place, chart, DefaultCorePath());
}

unsigned PreciseChartAtJulianDate(double jd, const ChartMoment& place, ChartRecord& chart) {
  const auto tables = InstalledTables();
  return ChartOf(CoveringTable(tables, jd), jd, place, chart, DefaultCorePath());
}

unsigned PreciseChartBatch(const ChartMoment* moments, std::size_t count, ChartRecord* charts, CorePath path) {
  const auto tables = InstalledTables();
  unsigned warnings = 0;
  for (std::size_t i = 0; i < count; ++i) {
    ChartRecord& chart = charts[i];
    // What the chart leaves alone, as in a fresh record.
    chart.lat[9] = chart.lat[10] = chart.lat[11] = 0;
    chart.motion[1] = chart.motion[10] = chart.motion[11] = chart.motion[12] = 0;
    const double jd = ChartTime(moments[i]);
    warnings |= ChartOf(CoveringTable(tables, jd), jd, moments[i], chart, path);
  }
  return warnings;
}

PreciseSpan::PreciseSpan(double first, double last) {
  if (CurrentEphemeris() != Ephemeris::Precise || !(first <= last)) return;
  // A day either side: moments a little outside the period (a date
  // truncated to its minute) still come from the table.
  first -= 1, last += 1;
  {
    std::lock_guard<std::mutex> lock(tablesMutex);
    for (const auto& t : kept)
      if (t->Covers(first) && t->Covers(last)) table_ = t;
  }
  if (!table_) {
    table_ = BuildPreciseTable(first, last);
    std::lock_guard<std::mutex> lock(tablesMutex);
    kept.push_back(table_);
    if (kept.size() > kKeptTables) kept.erase(kept.begin());
  }
  std::lock_guard<std::mutex> lock(tablesMutex);
  installed.push_back(table_);
}

PreciseSpan::~PreciseSpan() {
  if (!table_) return;
  std::lock_guard<std::mutex> lock(tablesMutex);
  const auto at = std::find(installed.rbegin(), installed.rend(), table_);
  if (at != installed.rend()) installed.erase(std::next(at).base());
}
