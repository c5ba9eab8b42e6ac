#pragma once
// House angles: local sidereal time, Midheaven (MC), Imum Coeli (IC) and
// Ascendant (AC).
//
// Time scale UT (no Delta T); sidereal time in hours 0..24, angles in
// degrees 0..360 on the ecliptic of a fixed obliquity (cos 0.917436945,
// sin 0.397881203, about 23.44 degrees). Longitude east positive, latitude
// north positive, each as degrees plus minutes / 60 with a common sign.
// Valid for latitudes strictly between the polar circles; at a pole the
// Ascendant is undefined.
//
// Sidereal time: mean sidereal time of Greenwich, IAU 1982 (Meeus,
// Astronomical Algorithms, eq. 12.4), reduced exactly (floor) into 0..360.
// The MC of a whole-hour sidereal time is taken with atan2, so that 7h..17h
// and 18h land in the right half of the circle; the AC is the root of the
// horizon equation nearer to s + 6h by circular distance.

// jd: UT Julian date of the moment; jd0: Julian date of 0h UT of the same
// civil date (JulianDay0h). Returns local sidereal time in hours 0..24.
double SiderealTime(double jd, double jd0, int lonDeg, int lonMin);

// MC in degrees 0..360. A quadrant outside 0..3 (only for s beyond 0..24)
// prints "\n  error MC! i= %i \n " on the core's printer.
double Midheaven(double lst);

// IC = MC - 180, in 0..360 ("\n  error IC! i= %i \n " as above).
double ImumCoeli(double lst);

// AC in degrees 0..360 for a sidereal time in hours and a latitude.
double Ascendant(double lst, int latDeg, int latMin);

// The chart's three angles at once, for a sidereal time in 0..24 hours
// (others go through the three functions above, messages included): the
// MC as atan2(sin t, cos t * 0.917436945), which is the quadrant rule
// for every sidereal time and the whole-hour rule at the whole hours, the
// sines and cosines shared; within 1e-12 degrees of the functions above.
struct HouseAngles {
  double ascendant, midheaven, imumCoeli;
};
HouseAngles HouseAnglesAt(double lst, int latDeg, int latMin);
