#pragma once
// The core's passes over lanes, for the core's own files (and its
// tests): the parts of the chart of one, two or four moments, one moment
// to a lane (the planets: their orbits side by side), and the matrix
// pass in four lanes. Each gives every lane exactly what the one-moment
// function gives, bit for bit; the four-lane forms are for processors
// with AVX2 only (the caller checks).
#include "core/chart.h"
#include "core/houses.h"
#include "core/matrices.h"

namespace core_detail {

inline constexpr int kMaxSideBySide = 4;

// charts[0..count-1] get what PlanetPositions(*charts[m], T[m]) gives;
// up to kMaxSideBySide in one pass, more in passes of that many, none for
// a count below 1. Returns the OR of the warnings, printed in the order
// of the charts.
unsigned PlanetPositionsSideBySide(ChartRecord* const* charts, const double* T, int count);

// The same for one to four charts (count) with the orbits four to a
// register (AVX2).
unsigned PlanetPositionsInQuads(ChartRecord* const* charts, const double* T, int count);

// MoonPosition of each Julian date: longitudes and latitudes, degrees.
// Lanes 1, 2 or 4.
template <int Lanes>
void MoonPositionsSideBySide(const double (&jd)[Lanes], double (&longitude)[Lanes], double (&latitude)[Lanes]);
template <>
void MoonPositionsSideBySide<1>(const double (&jd)[1], double (&longitude)[1], double (&latitude)[1]);
template <>
void MoonPositionsSideBySide<2>(const double (&jd)[2], double (&longitude)[2], double (&latitude)[2]);
template <>
void MoonPositionsSideBySide<4>(const double (&jd)[4], double (&longitude)[4], double (&latitude)[4]);

// SiderealTime of each moment (jd and the 0h of its civil date jd0).
template <int Lanes>
void SiderealTimesSideBySide(const double (&jd)[Lanes], const double (&jd0)[Lanes], const int (&lonDeg)[Lanes],
                             const int (&lonMin)[Lanes], double (&lst)[Lanes]);
template <>
void SiderealTimesSideBySide<1>(const double (&jd)[1], const double (&jd0)[1], const int (&lonDeg)[1],
                                const int (&lonMin)[1], double (&lst)[1]);
template <>
void SiderealTimesSideBySide<2>(const double (&jd)[2], const double (&jd0)[2], const int (&lonDeg)[2],
                                const int (&lonMin)[2], double (&lst)[2]);
template <>
void SiderealTimesSideBySide<4>(const double (&jd)[4], const double (&jd0)[4], const int (&lonDeg)[4],
                                const int (&lonMin)[4], double (&lst)[4]);

// HouseAnglesAt of each sidereal time and latitude (a lane outside the
// day goes through the three functions, messages included, in the order
// of the lanes).
template <int Lanes>
void HouseAnglesSideBySide(const double (&lst)[Lanes], const int (&latDeg)[Lanes], const int (&latMin)[Lanes],
                           HouseAngles (&out)[Lanes]);
template <>
void HouseAnglesSideBySide<1>(const double (&lst)[1], const int (&latDeg)[1], const int (&latMin)[1],
                              HouseAngles (&out)[1]);
template <>
void HouseAnglesSideBySide<2>(const double (&lst)[2], const int (&latDeg)[2], const int (&latMin)[2],
                              HouseAngles (&out)[2]);
template <>
void HouseAnglesSideBySide<4>(const double (&lst)[4], const int (&latDeg)[4], const int (&latMin)[4],
                              HouseAngles (&out)[4]);

// The matrices a matrix pass fills; a null pointer is not filled.
struct MatrixOutputs {
  HarmonicMatrix* H;
  HarmonicMatrix* I;
  HarmonicMatrix* D;
};

// The matrix pass four cells at a time (AVX2) for the matrices chosen by
// the template arguments (H alone, I alone, D alone or all three), A and
// B the order's wave tables: every cell [0..12][0..12] as the two-lane
// pass gives it, or false (nothing written) unless the longitudes 0..10
// all lie within 0..360.
template <bool kH, bool kI, bool kD>
__attribute__((target("avx2"))) bool MatricesInQuads(const double* A, const double* B, const double* pos,
                                                     const double* motion, const double* periods,
                                                     MatrixOutputs out);

}  // namespace core_detail
