#pragma once
// The chart of the sky at a Julian date rather than a clock time, for the
// time series that step through a period in fractions of a minute: the
// same longitudes as ComputeChart gives for that moment, with the house
// angles for a fixed place.
#include "core/chart.h"
#include "core/moment.h"

// Fills pos[0..13], lat, motion (Sun, Mercury..Pluto), jd and lst of
// `chart` for the universal-time Julian date `jd`, the houses for the
// longitude and latitude of `place` (its date and time are not used).
// Returns the chart warnings as ComputeChart does.
unsigned ChartAtJulianDate(double jd, const ChartMoment& place, ChartRecord& chart);
