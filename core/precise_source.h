#pragma once
// The precise ephemeris' source: the Swiss Ephemeris library (Debian
// libswe-dev) with its data files (swe-basic-data, 1800..2400) where they
// cover the moment, its analytic mode (Moshier) elsewhere, with one
// warning line per process on the core's printer (noted on any thread,
// printed by FlushPreciseNotes on the calling one).
//
// Positions are apparent geocentric ones: light time, aberration, light
// deflection, ecliptic and equinox of date, the equinox the true one
// (nutation) or the mean one. Time: the universal-time Julian date, turned
// into terrestrial time by the library's Delta T. The library keeps its
// state per thread (its files are opened in each thread that asks);
// ClosePreciseSource releases the calling thread's.

// Bodies as the chart orders them: 0 Sun, 1 Moon, 2 Mercury .. 9 Pluto,
// and 10 the mean lunar node.
inline constexpr int kPreciseBodies = 11;
inline constexpr int kPreciseMeanNode = 10;

struct PreciseBodyValue {
  double longitude;  // degrees 0..360
  double latitude;   // degrees
  double speed;      // longitude per day, degrees (only when asked for)
};

// The body at the universal-time Julian date jd; `trueEquinox` adds the
// nutation in longitude, `speed` asks for the daily motion. False when the
// library cannot give the body at that moment (its message is printed
// once per process); `value` is then left alone.
bool PreciseBodyAt(double jd, int body, bool trueEquinox, bool speed, PreciseBodyValue& value);

// Nutation in longitude and the true obliquity of the ecliptic, degrees.
struct PreciseNutation {
  double longitude;
  double trueObliquity;
};
bool PreciseNutationAt(double jd, PreciseNutation& nutation);

// Greenwich apparent (true) sidereal time, degrees 0..360.
double PreciseSiderealDegrees(double jd);
// The same less the equation of the equinoxes (the nutation in longitude
// times the cosine of the true obliquity): the library's
// sidereal time without nutation, degrees 0..360.
double PreciseSiderealWithoutNutation(double jd);

// Prints the lines noted so far (the analytic mode, a failure).
void FlushPreciseNotes();

// Releases the library's files and state of the calling thread.
void ClosePreciseSource();
