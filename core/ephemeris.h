#pragma once
// Which theory the charts come from: the classic one (mean elements and
// the truncated lunar series, chart.h), the default, or the precise one
// (the Swiss Ephemeris, precise.h).
//
// The choice is one setting of the process, made by the program before
// a run starts (command line, environment, menu) and read by every chart
// entry point of chart.h and matrices.h; set it before computations on
// other threads start. A chart depends on its moment and this choice
// only.
#include <string_view>

enum class Ephemeris { Classic, Precise };

// "classic" or "precise".
const char* EphemerisName(Ephemeris ephemeris);
// The ephemeris of a name as EphemerisName spells it; false for any
// other text (`ephemeris` is left alone).
bool EphemerisFromName(std::string_view name, Ephemeris& ephemeris);

// The process's choice, Classic until set.
Ephemeris CurrentEphemeris();
void SetCurrentEphemeris(Ephemeris ephemeris);
