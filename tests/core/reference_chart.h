#pragma once
// The chart written straightforwardly, with one library call per
// function and the plain reductions and loops, for the tests to hold the
// fast code to: no tables, no lanes, no shortcuts.
#include "core/chart.h"

namespace reference {

inline constexpr double kRad = 0.017453292519943295;
inline constexpr double kPi = 3.14159265358979323846;

// x - 360 floor(x / 360).
double Mod360(double x);

// The Julian date of a civil date and clock time (zone hours east).
double Julian(int year, int month, int day, int hour, int minute, int zone);

// Local sidereal time in hours by the loops "subtract 360 while above 0"
// / "add 360 while below 0" and "subtract 24 while above 24" / "add 24
// while below 0".
double Sidereal(double jd, double jd0, int lonDeg, int lonMin);

double Midheaven(double lst);
double Ascendant(double lst, int latDeg, int latMin);

// The Moon's longitude and latitude in degrees, one sine per term.
void Moon(double jd, double& longitude, double& latitude);

// The Sun and Mercury..Pluto of `c` at T (centuries from 1950):
// pos[0], pos[2..9], lat[1..8], motion[0], motion[2..9].
void Planets(double T, ChartRecord& c);

// The whole chart of a moment.
ChartRecord Chart(const ChartMoment& m);

}  // namespace reference
