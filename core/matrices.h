#pragma once
// The 11 x 11 correlation matrices of a chart: H (harmony), I (energy,
// the element-wise absolute of H) and D (dynamic). DA, the absolute of D,
// is formed by the modules.
//
// Rows and columns are the bodies 0 Sun .. 9 Pluto, 10 IC. A matrix is
// 14 x 14 doubles, row-major ([i][j] = row body i, column body j); the
// builders clear [0..12][0..12] and fill [0..10][0..10]. Off-diagonal
// cells are 10 times a wave-table lookup of the pair; the diagonal of H
// and I is 10 * SelfValue, with [10][10] = 0; the diagonal of D is the
// body's period (years) times its daily motion: Sun 10 P motion, Moon
// 100 P, the others -10 P motion (IC period 0.0027 in the fixed-order-3
// forms, 0.00274 in the order-p forms).
//
// Inputs: `positions` are the first 11 longitudes of a ChartRecord
// (degrees 0..360), `motion` its first 11 daily motions. No allocation;
// the result depends on the inputs and the tables only.
#include <cstddef>

#include "core/chart.h"
#include "core/waves.h"

inline constexpr int kMatrixSize = 14;
inline constexpr int kBodies = 11;
using HarmonicMatrix = double[kMatrixSize][kMatrixSize];

struct HarmonicMatrices {
  HarmonicMatrix H;
  HarmonicMatrix I;
  HarmonicMatrix D;
};

// The bodies' periods in years, diagonal of D; index 10 (IC) differs
// between the two forms.
inline constexpr double kBodyPeriodsFixed3[kBodies] = {1.0, 0.08, 1.0, 1.0, 1.88, 11.7,
                                                      29.5, 84.0, 164.8, 247.7, 0.0027};
inline constexpr double kBodyPeriodsOrderP[kBodies] = {1.0, 0.08, 1.0, 1.0, 1.88, 11.7,
                                                      29.5, 84.0, 164.8, 247.7, 0.00274};

// Order-p forms (the modules that ask for an order).
void BuildHarmony(const WaveTables& tables, int p, const double* positions, HarmonicMatrix& H);
void BuildEnergy(const WaveTables& tables, int p, const double* positions, HarmonicMatrix& I);
void BuildDynamic(const WaveTables& tables, int p, const double* positions, HarmonicMatrix& D,
                  const double* motion);

// Fixed order 3 forms (time series and transits).
void BuildHarmony(const WaveTables& tables, const double* positions, HarmonicMatrix& H);
void BuildEnergy(const WaveTables& tables, const double* positions, HarmonicMatrix& I);
void BuildDynamic(const WaveTables& tables, const double* positions, HarmonicMatrix& D,
                  const double* motion);

enum class MatrixForm { OrderP, Fixed3 };

// H, I and D of one chart in one pass; the same values as the three
// builders of the chosen form (order ignored for Fixed3).
void BuildMatrices(const WaveTables& tables, MatrixForm form, int p, const ChartRecord& chart,
                   HarmonicMatrices& out);

// Charts and their matrices for many moments: charts[i] and matrices[i]
// as ComputeChart and BuildMatrices give them for moments[i]. Either
// output may be nullptr when it is not wanted. Returns the OR of the
// chart warnings.
unsigned ComputeChartBatch(const WaveTables& tables, MatrixForm form, int p,
                           const ChartMoment* moments, std::size_t count, ChartRecord* charts,
                           HarmonicMatrices* matrices);
