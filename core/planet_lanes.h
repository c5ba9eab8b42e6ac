#pragma once
// The planets of up to four charts in one pass (planets.cpp): the same
// values as PlanetPositions on each chart, bit for bit, with the orbits
// of all the moments side by side.
#include "core/chart.h"

namespace core_detail {

inline constexpr int kMaxSideBySide = 4;

// charts[0..count-1] get what PlanetPositions(*charts[m], T[m]) gives;
// up to kMaxSideBySide in one pass, more in passes of that many, none for
// a count below 1. Returns the OR of the warnings, printed in the order
// of the charts.
unsigned PlanetPositionsSideBySide(ChartRecord* const* charts, const double* T, int count);

// The same for one to four charts (count) with the orbits four to a
// register: for processors with AVX2 only (the caller checks).
unsigned PlanetPositionsInQuads(ChartRecord* const* charts, const double* T, int count);

}  // namespace core_detail
