#pragma once
// The chart of a moment and place: geocentric ecliptic longitudes of the
// Sun, the Moon and Mercury to Pluto, the house angles, the mean lunar
// node, latitudes, daily motions, Julian date and sidereal time.
//
// Time scale: UT for everything (the planets' T and the Moon's T are both
// taken from the UT Julian date; no Delta T). Frame: geometric positions
// (no light time, aberration or nutation), ecliptic and mean equinox of
// date. Units: longitudes degrees 0..360, latitudes radians, motions
// degrees per day. Planets: Keplerian mean elements (the table in
// planet_elements.h) with a fixed five-step Kepler iteration; the Moon:
// the truncated ELP-2000/82 series of Meeus, Astronomical Algorithms,
// ch. 47. Valid 1900..2100 to the accuracy of mean elements; largest
// longitude errors against the Swiss Ephemeris' analytic mode over
// 1900..2100 (4000 moments, tests/core_accuracy), degrees: Sun 0.008,
// Moon 0.017, Mercury 0.014, Venus 0.030, Mars 0.062, Jupiter 0.28,
// Saturn 0.24, Uranus 0.20, Neptune 0.42, Pluto 0.55.
//
// Nothing here allocates or keeps state between calls: a chart depends on
// its moment only, whatever was computed before or on other threads.
//
// That is the classic ephemeris, the default. ComputeChart,
// ChartAtJulianDate and ComputeChartBatch give the charts of the
// process' current ephemeris (ephemeris.h): with the precise one, the
// charts of precise.h, the same fields in the same units.
#include <cstddef>

#include "core/moment.h"

struct ChartRecord {
  // [0] Sun, [1] Moon, [2] Mercury .. [9] Pluto, [10] IC, [11] AC, [12] MC,
  // [13] mean lunar node; degrees, 0 <= value <= 360. 0..10 are the
  // matrices' body order.
  double pos[14];
  // Ecliptic latitude of body b (1 Moon .. 9 Pluto) in lat[b - 1], radians.
  double lat[12];
  // Apparent geocentric daily motion, degrees per day: [0] Sun, [2..9]
  // Mercury..Pluto (negative while retrograde). [1] (Moon) and [10] (IC)
  // are not computed and keep the value they had (0 in a fresh record).
  double motion[13];
  double jd;   // universal-time Julian date (ChartTime)
  double lst;  // local sidereal time, hours 0..24
};
static_assert(sizeof(ChartRecord) == 41 * sizeof(double), "ChartRecord is 41 doubles in this order");

// Bits of the value ComputeChart and PlanetPositions return: which of the
// element checks failed (each also prints its "Test tafeln" line).
enum ChartWarning : unsigned {
  kWarnEccentricity = 1u << 0,   // "740 Test tafeln !!! exc %f  "
  kWarnEarthSpeed = 1u << 1,     // "813 Test tafeln !!! 2.0/r0-1.0 %f  "
  kWarnPlanetSpeed = 1u << 2,    // "796 Test tafeln !!! r8 %f  "
  kWarnSemiMajorAxis = 1u << 3,  // "798 Test tafeln !!! ax %f  "
};

// Fills every field of `chart` listed above except motion[1] and
// motion[10], which keep their values. Returns 0 or ChartWarning bits.
unsigned ComputeChart(const ChartMoment& moment, ChartRecord& chart);
// The same chart at a universal-time Julian date rather than a clock
// time, for time series that step through a period in fractions of a
// minute: the houses for the longitude and latitude of `place` (its date
// and time are not used), the sidereal time counted from 0h UT of the
// moment's own day. At a whole minute in universal time it equals
// ComputeChart bit for bit.
unsigned ChartAtJulianDate(double jd, const ChartMoment& place, ChartRecord& chart);
// The classic charts whatever the current ephemeris.
unsigned ClassicChart(const ChartMoment& moment, ChartRecord& chart);
unsigned ClassicChartAtJulianDate(double jd, const ChartMoment& place, ChartRecord& chart);
template <MomentRecord Record>
unsigned ComputeChart(const Record& record, ChartRecord& chart) {
  return ComputeChart(MomentOf(record), chart);
}

// Many moments in one call, for the modules' long loops: the same values
// as ComputeChart on each moment in a fresh (zeroed) record, bit for bit. Returns the OR of the
// warnings.
unsigned ComputeChartBatch(const ChartMoment* moments, std::size_t count, ChartRecord* charts);

// The Sun and Mercury..Pluto for T = Centuries1950(jd): pos[0], pos[2..9],
// lat[1..8], motion[0], motion[2..9]. Returns 0 or ChartWarning bits.
unsigned PlanetPositions(ChartRecord& chart, double T);

// Longitude in radians 0..2pi of the vector (X, Y), 0 for the null vector.
double HalfAngleLongitude(double X, double Y);

// Geometric ecliptic longitude and latitude of the Moon, degrees, mean
// equinox of date; T counted from JD 2451545.0 with the given Julian date
// as it is (UT, no Delta T). The longitude is L' (in 0..360) plus the
// series and may lie a few degrees outside 0..360.
struct LunarPosition {
  double longitude;
  double latitude;
};
LunarPosition MoonPosition(double jd);

// The fundamental arguments of the lunar series, degrees reduced into
// 0..360 (E is the eccentricity factor, unitless). The chart uses the 1st
// edition's polynomials; the 2nd edition's are there for comparison with
// the book's worked example.
enum class LunarEdition { First, Second };
struct LunarArguments {
  double Lp, D, M, Mp, F;  // L', D, M, M', F
  double A1, A2, A3;
  double E;
};
LunarArguments LunarArgumentsAt(double T, LunarEdition edition);
LunarPosition LunarSeries(const LunarArguments& a);

// Mean longitude of the ascending lunar node, degrees 0..360, T from
// Centuries1950.
double MeanNode(double T);

// Body names padded to 7 characters ("sun    " .. "IC     "), "???" for
// any other index.
const char* BodyName(int body);
// Prints "\n" and BodyName(body) on the core's printer.
void PrintBodyName(int body);
