#pragma once
// The parts of the chart of four moments at once, one moment to a lane
// of an AVX2 register (chart.cpp's batch): each gives for every lane
// exactly what its one-moment function gives, bit for bit. For
// processors with AVX2 only (the caller checks).
#include "core/houses.h"

namespace core_detail {

// MoonPosition of each Julian date: longitudes and latitudes, degrees.
void MoonPositionsFour(const double (&jd)[4], double (&longitude)[4], double (&latitude)[4]);

}  // namespace core_detail
