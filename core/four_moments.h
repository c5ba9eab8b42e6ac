#pragma once
// The parts of the chart of four moments at once, one moment to a lane
// of an AVX2 register (chart.cpp's batch): each gives for every lane
// exactly what its one-moment function gives, bit for bit. For
// processors with AVX2 only (the caller checks).
#include "core/houses.h"

namespace core_detail {

// MoonPosition of each Julian date: longitudes and latitudes, degrees.
void MoonPositionsFour(const double (&jd)[4], double (&longitude)[4], double (&latitude)[4]);

// SiderealTime of each moment (jd and the 0h of its civil date jd0).
void SiderealTimesFour(const double (&jd)[4], const double (&jd0)[4], const int (&lonDeg)[4],
                       const int (&lonMin)[4], double (&lst)[4]);

// HouseAnglesAt of each sidereal time and latitude (a lane outside the
// day goes through HouseAnglesAt itself, messages included, in order).
void HouseAnglesFour(const double (&lst)[4], const int (&latDeg)[4], const int (&latMin)[4],
                     HouseAngles (&out)[4]);

// MeanNode of each T.
void MeanNodesFour(const double (&T)[4], double (&node)[4]);

}  // namespace core_detail
