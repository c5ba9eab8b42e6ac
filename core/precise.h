#pragma once
// The charts of the precise ephemeris: the fields of ChartRecord as the
// classic chart fills them (chart.h), from the Swiss Ephemeris
// (precise_source.h) rather than mean elements:
// - pos[0..9], lat, motion[0], motion[2..9]: apparent geocentric ecliptic
//   longitude and latitude of the true equinox of date (light time,
//   aberration, deflection, nutation) and the daily motion in longitude;
// - pos[13]: the mean lunar node, in the true equinox of date;
// - lst, pos[10..12]: the local true sidereal time (hours 0..24) and the
//   IC, AC and MC on the ecliptic of the true obliquity.
// Time: the universal-time Julian date of ChartTime; the library turns it
// into terrestrial time by its Delta T. motion[1] and motion[10] keep
// their values, as in the classic chart.
//
// The library takes 60 to 200 microseconds a chart. The long loops
// therefore evaluate charts from a table of Chebyshev segments built
// once for the run's period (PreciseTable), within 0.1 arc seconds of
// the library; a PreciseSpan installs one for the charts of the process
// while it lives. A moment outside every installed table is computed by
// the library itself.
#include <cstddef>
#include <memory>

#include "core/chart.h"
#include "core/core_path.h"
#include "core/ephemeris.h"

// The bit of the chart's warnings for a moment the library could not
// give (far outside its range): that chart is the classic one.
inline constexpr unsigned kWarnPreciseUnavailable = 1u << 4;

// The precise chart of a moment, by the library's own calls.
unsigned PreciseChartDirect(double jd, const ChartMoment& place, ChartRecord& chart);

// Chebyshev segments of every body, the nutation and the sidereal time
// over a span of universal-time Julian dates.
class PreciseTable;

// The table over first..last (Julian dates, first <= last), built on
// `threads` threads (0: as many as the processor has, at most 8).
std::shared_ptr<const PreciseTable> BuildPreciseTable(double first, double last, int threads = 0);
double PreciseTableFirst(const PreciseTable& table);
double PreciseTableLast(const PreciseTable& table);
// The table's segments in all (for the figures of its size).
std::size_t PreciseTableSegments(const PreciseTable& table);

// The chart of jd from the table, or from the library where the table
// does not cover it.
unsigned PreciseChartFromTable(const PreciseTable& table, double jd, const ChartMoment& place, ChartRecord& chart);

// The precise chart from the installed tables, or the library.
unsigned PreciseChartAtJulianDate(double jd, const ChartMoment& place, ChartRecord& chart);
// The precise ComputeChartBatch: charts[i] of moments[i] in fresh
// records, the path given for the table's passes.
unsigned PreciseChartBatch(const ChartMoment* moments, std::size_t count, ChartRecord* charts, CorePath path);

// While it lives, the charts of the process between first and last (and
// a day either side) come
// from a table over that span, when the precise ephemeris is the current
// one (with the classic one it does nothing). A table built for a span
// is kept for the next span inside it (the last few are kept).
// Construct and destroy spans on one thread, before and after the
// computations that use them.
class PreciseSpan {
 public:
  PreciseSpan(double first, double last);
  ~PreciseSpan();
  PreciseSpan(const PreciseSpan&) = delete;
  PreciseSpan& operator=(const PreciseSpan&) = delete;

 private:
  std::shared_ptr<const PreciseTable> table_;
};
