#include "core/matrices.h"

#include <cmath>

namespace {

constexpr int kCleared = 13;  // the builders clear [0..12][0..12]

void Clear(HarmonicMatrix& m) {
  for (int i = 0; i < kCleared; ++i)
    for (int j = 0; j < kCleared; ++j) m[i][j] = 0;
}

void ClearSelfCells(HarmonicMatrix& m) {
  m[10][10] = 0;
  m[11][11] = 0;
  m[12][12] = 0;
}

// Which of H, I, D a pass fills.
struct Outputs {
  HarmonicMatrix* H;
  HarmonicMatrix* I;
  HarmonicMatrix* D;
};

// One pass over the 55 pairs: a pair's difference and table position are
// shared by the harmony and the dynamic value, and both are symmetric in
// the pair (the dynamic value antisymmetric, and D takes -v above the
// diagonal), so each pair is read once and written to both cells.
void Build(const WaveTables& tables, int p, const double* pos, const double* motion,
           const double* periods, Outputs out) {
  if (out.H) Clear(*out.H);
  if (out.I) Clear(*out.I);
  if (out.D) Clear(*out.D);
  const int order = p < 1 ? 1 : (p > 12 ? 12 : p);
  const double* harmony = tables.harmony[order];
  const double* dynamic = tables.dynamic[order];

  for (int i = 0; i < kBodies; ++i) {
    for (int j = i + 1; j < kBodies; ++j) {
      const double e = pos[i] - pos[j];
      const double difference = std::fabs(e);
      if (out.H || out.I) {
        const double h = 10 * HarmonyLookup(tables, order, pos[i], pos[j]);
        if (out.H) {
          (*out.H)[i][j] += h;
          (*out.H)[j][i] += h;
        }
        if (out.I) {
          (*out.I)[i][j] += std::fabs(h);
          (*out.I)[j][i] += std::fabs(h);
        }
      }
      if (out.D) {
        // Above the diagonal the value of (i, j) with its sign turned;
        // below it the value of (j, i), which is the same number.
        const double vij = DynamicLookup(tables, order, pos[i], pos[j]);
        const double vji = DynamicLookup(tables, order, pos[j], pos[i]);
        (*out.D)[i][j] += 10 * -vij;
        (*out.D)[j][i] += 10 * vji;
      }
      (void)difference;
      (void)harmony;
      (void)dynamic;
    }
  }

  if (out.H || out.I) {
    for (int i = 0; i < kBodies; ++i) {
      const double h = 10 * SelfValue(i, pos[i]);
      if (out.H) (*out.H)[i][i] += h;
      if (out.I) (*out.I)[i][i] += std::fabs(h);
    }
    if (out.H) ClearSelfCells(*out.H);
    if (out.I) ClearSelfCells(*out.I);
  }
  if (out.D) {
    HarmonicMatrix& D = *out.D;
    D[0][0] += 10 * periods[0] * motion[0];
    D[1][1] += 100 * periods[1];
    for (int i = 2; i < kBodies; ++i) D[i][i] += -10 * periods[i] * motion[i];
  }
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
