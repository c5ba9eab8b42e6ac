#pragma once
// The inside of PreciseTable (precise.h), for the core's precise files
// and their tests: per series (the ten bodies and the mean node without
// nutation, the nutation, the sidereal time's remainder) base segments of
// a fixed length, each split in halves, and halves of halves, where the
// body moves irregularly (near the Sun, where the light's deflection
// changes fast), each part a Chebyshev series of the series' degree.
//
// The fast series (the Sun to Mars and the nutation) have base segments
// of 16 days, the slow ones (Jupiter to Pluto, the node, the sidereal
// time) of 64; the series of a group share their sample dates. A part's
// degree is its series' own.
//
// A part's coefficients are rows of four doubles: the value's (longitude,
// nutation in longitude, remainder), the second value's (latitude, true
// obliquity) and the first value's derivative per day, and a zero.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/core_path.h"
#include "core/precise.h"
#include "core/precise_source.h"

namespace core_detail {

inline constexpr int kPreciseNutationSeries = kPreciseBodies;        // 11
inline constexpr int kPreciseSiderealSeries = kPreciseBodies + 1;    // 12
inline constexpr int kPreciseSeries = kPreciseBodies + 2;            // 13
inline constexpr int kPreciseRowWidth = 4;
// The days of a block (one slow segment, four fast ones: the unit of the
// table's work) and the degree of the common samples.
inline constexpr double kPreciseBlockDays = 64;
inline constexpr int kPreciseSampleDegree = 16;

// The sidereal time's linear part, degrees (not reduced); the table keeps
// the rest less the equation of the equinoxes, which it adds back from its
// nutation.
inline double PreciseSiderealLinear(double jd) { return 280.46061837 + 360.98564736629 * (jd - 2451545.0); }

// A part of a base segment: where it ends, as a fraction of the segment
// (the last part ends at 1), and its first row.
struct PrecisePart {
  double end;
  uint32_t row;
};

struct PreciseSeries {
  int degree = 0;
  double segmentDays = 0;
  // Per base segment its first part, and one more entry after the last
  // segment; a segment without parts is one the library could not give.
  std::vector<uint32_t> firstPart;
  std::vector<PrecisePart> parts;
  std::vector<double> rows;
};

struct PreciseTableValues {
  double value[kPreciseSeries][kPreciseRowWidth];
};

// Every series' value at jd (first <= jd <= last). False where a series
// has no segment there.
bool PreciseTableValuesAt(const PreciseTable& table, double jd, CorePath path, PreciseTableValues& out);

}  // namespace core_detail

class PreciseTable {
 public:
  double first = 0, last = 0;
  double start = 0;  // Julian date where the first block starts
  int blocks = 0;
  core_detail::PreciseSeries series[core_detail::kPreciseSeries];
  bool Covers(double jd) const { return jd >= first && jd <= last; }
};
