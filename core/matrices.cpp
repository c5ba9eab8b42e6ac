#include "core/matrices.h"

#include <cmath>
#include <limits>

#include "core/self_value.h"

namespace {

// The builders own the cells [0..12][0..12]: they write every one of them,
// so that nothing of an earlier content survives, without clearing first.
// Cells that receive no term are set to +0; a term is written as
// "0.0 + term", as if added to a cleared cell, so that a -0.0 term leaves
// +0 like the addition would.
void ZeroBorder(HarmonicMatrix& m) {
  for (int i = 0; i < 13; ++i) {
    m[i][11] = 0;
    m[i][12] = 0;
  }
  for (int j = 0; j < kBodies; ++j) {
    m[11][j] = 0;
    m[12][j] = 0;
  }
}

// The IC has no self value.
void ClearSelfCells(HarmonicMatrix& m) {
  m[10][10] = 0;
  m[11][11] = 0;
  m[12][12] = 0;
}

// The matrices a pass fills; a null pointer is not filled. The pass is
// compiled for each combination, so that no test is left in the loops.
struct Outputs {
  HarmonicMatrix* H;
  HarmonicMatrix* I;
  HarmonicMatrix* D;
};

// Table position of a difference of longitudes (degrees, >= 0): the
// index k and fraction f of x = difference * 50, a difference past a full
// turn reduced by the waves' period so that nothing is read beyond the
// table. False for a NaN or infinite difference.
bool TablePosition(double difference, int& k, double& f) {
  double x = difference * 50;
  if (!(x <= 18000)) {
    if (!std::isfinite(difference)) return false;
    x = std::fmod(difference, 360.0) * 50;
  }
  k = static_cast<int>(x);
  f = x - k;
  return true;
}

// The 55 pairs (i < j) in order.
struct PairTable {
  unsigned char i[55], j[55];
};
constexpr PairTable MakePairs() {
  PairTable t{};
  int n = 0;
  for (int i = 0; i < kBodies; ++i)
    for (int j = i + 1; j < kBodies; ++j) {
      t.i[n] = static_cast<unsigned char>(i);
      t.j[n] = static_cast<unsigned char>(j);
      ++n;
    }
  return t;
}
constexpr PairTable kPairs = MakePairs();

// One pass over the 55 pairs: a pair's difference and table position are
// shared by the harmony and the dynamic value, and both are symmetric in
// the pair (the dynamic value antisymmetric, and D takes -v above the
// diagonal), so each pair is read once and written to both cells. The
// values are those of HarmonyLookup and DynamicLookup, bit for bit.
template <bool kH, bool kI, bool kD>
void BuildPass(const WaveTables& tables, int p, const double* pos, const double* motion,
               const double* periods, Outputs out) {
  if (kH) ZeroBorder(*out.H);
  if (kI) ZeroBorder(*out.I);
  if (kD) ZeroBorder(*out.D);
  const int order = p < 1 ? 1 : (p > 12 ? 12 : p);
  const double* A = tables.harmony[order];
  const double* B = tables.dynamic[order];
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

  // First every pair's table position, with a prefetch of its entries,
  // so that the table reads of all pairs are under way together; then
  // the values.
  int index[55];
  double fraction[55];
  bool inTable[55];
  for (int n = 0; n < 55; ++n) {
    inTable[n] = TablePosition(std::fabs(pos[kPairs.i[n]] - pos[kPairs.j[n]]), index[n], fraction[n]);
    if (!inTable[n]) index[n] = 0;
    if ((kH || kI)) __builtin_prefetch(A + index[n]);
    if (kD) __builtin_prefetch(B + index[n]);
  }
  for (int n = 0; n < 55; ++n) {
    const int i = kPairs.i[n], j = kPairs.j[n];
    const double e = pos[i] - pos[j];
    const int k = index[n];
    const double f = fraction[n];
    if ((kH || kI)) {
      const double h = 0.0 + 10 * (inTable[n] ? A[k] + (A[k + 1] - A[k]) * f : kNaN);
      if (kH) {
        (*out.H)[i][j] = h;
        (*out.H)[j][i] = h;
      }
      if (kI) {
        (*out.I)[i][j] = std::fabs(h);
        (*out.I)[j][i] = std::fabs(h);
      }
    }
    if (kD) {
      // DynamicLookup(i, j) is -t s with t the table value and s the
      // sign of e; above the diagonal D takes its negative, t s; below
      // it DynamicLookup(j, i) = -t s', s' the sign of -e.
      const double t = inTable[n] ? B[k] + (B[k + 1] - B[k]) * f : kNaN;
      const double s = e >= 0 ? 1 : -1;
      const double sPrime = -e >= 0 ? 1 : -1;
      (*out.D)[i][j] = 0.0 + 10 * -(-t * s);
      (*out.D)[j][i] = 0.0 + 10 * (-t * sPrime);
    }
  }

  if ((kH || kI)) {
    for (int i = 0; i < kBodies; ++i) {
      const double h = 0.0 + 10 * core_detail::SelfValueOf(i, pos[i]);
      if (kH) (*out.H)[i][i] = h;
      if (kI) (*out.I)[i][i] = std::fabs(h);
    }
    if (kH) ClearSelfCells(*out.H);
    if (kI) ClearSelfCells(*out.I);
  }
  if (kD) {
    HarmonicMatrix& D = *out.D;
    D[0][0] = 0.0 + 10 * periods[0] * motion[0];
    D[1][1] = 0.0 + 100 * periods[1];
    for (int i = 2; i < kBodies; ++i) D[i][i] = 0.0 + -10 * periods[i] * motion[i];

  }
}

void Build(const WaveTables& tables, int p, const double* pos, const double* motion,
           const double* periods, Outputs out) {
  if (out.H && out.I && out.D)
    BuildPass<true, true, true>(tables, p, pos, motion, periods, out);
  else if (out.H)
    BuildPass<true, false, false>(tables, p, pos, motion, periods, out);
  else if (out.I)
    BuildPass<false, true, false>(tables, p, pos, motion, periods, out);
  else
    BuildPass<false, false, true>(tables, p, pos, motion, periods, out);
}

}  // namespace

void BuildHarmony(const WaveTables& tables, int p, const double* positions, HarmonicMatrix& H) {
  Build(tables, p, positions, nullptr, kBodyPeriodsOrderP, {&H, nullptr, nullptr});
}

void BuildEnergy(const WaveTables& tables, int p, const double* positions, HarmonicMatrix& I) {
  Build(tables, p, positions, nullptr, kBodyPeriodsOrderP, {nullptr, &I, nullptr});
}

void BuildDynamic(const WaveTables& tables, int p, const double* positions, HarmonicMatrix& D,
                  const double* motion) {
  Build(tables, p, positions, motion, kBodyPeriodsOrderP, {nullptr, nullptr, &D});
}

void BuildHarmony(const WaveTables& tables, const double* positions, HarmonicMatrix& H) {
  Build(tables, 3, positions, nullptr, kBodyPeriodsFixed3, {&H, nullptr, nullptr});
}

void BuildEnergy(const WaveTables& tables, const double* positions, HarmonicMatrix& I) {
  Build(tables, 3, positions, nullptr, kBodyPeriodsFixed3, {nullptr, &I, nullptr});
}

void BuildDynamic(const WaveTables& tables, const double* positions, HarmonicMatrix& D,
                  const double* motion) {
  Build(tables, 3, positions, motion, kBodyPeriodsFixed3, {nullptr, nullptr, &D});
}

void BuildMatrices(const WaveTables& tables, MatrixForm form, int p, const ChartRecord& chart,
                   HarmonicMatrices& out) {
  const bool fixed = form == MatrixForm::Fixed3;
  Build(tables, fixed ? 3 : p, chart.pos, chart.motion, fixed ? kBodyPeriodsFixed3 : kBodyPeriodsOrderP,
        {&out.H, &out.I, &out.D});
}

unsigned ComputeChartBatch(const WaveTables& tables, MatrixForm form, int p,
                           const ChartMoment* moments, std::size_t count, ChartRecord* charts,
                           HarmonicMatrices* matrices) {
  unsigned warnings = 0;
  for (std::size_t i = 0; i < count; ++i) {
    ChartRecord local;
    ChartRecord& chart = charts ? charts[i] : local;
    chart = ChartRecord{};
    warnings |= ComputeChart(moments[i], chart);
    if (matrices) BuildMatrices(tables, form, p, chart, matrices[i]);
  }
  return warnings;
}
