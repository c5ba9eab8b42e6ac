#include "core/matrices.h"

#include <emmintrin.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "core/core_path.h"
#include "core/lanes.h"
#include "core/self_value.h"
#include "core/side_by_side.h"

namespace {

// The builders own the cells [0..12][0..12]: they write every one of them,
// so that nothing of an earlier content survives, without clearing first.
// Cells that receive no term are set to +0; a term is written as
// "0.0 + term", as if added to a cleared cell, so that a -0.0 term leaves
// +0 like the addition would.
void ZeroBorder(HarmonicMatrix& m) {
  using namespace core_detail;
  const Pair zero{};
  for (int i = 0; i < 13; ++i) StorePair(&m[i][11], zero);
  for (int j = 0; j < kBodies - 1; j += 2) {
    StorePair(&m[11][j], zero);
    StorePair(&m[12][j], zero);
  }
  m[11][kBodies - 1] = 0;
  m[12][kBodies - 1] = 0;
}

// The IC has no self value.
void ClearSelfCells(HarmonicMatrix& m) {
  m[10][10] = 0;
  m[11][11] = 0;
  m[12][12] = 0;
}

// The matrices a pass fills (a null pointer is not filled). The pass is
// compiled for each combination, so that no test is left in the loops.
using Outputs = core_detail::MatrixOutputs;

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

// Whether longitudes 0..10 all lie within 0..360 (a NaN does not), two
// at a time.
bool AllInTurn(const double* pos) {
  const __m128d zero = _mm_setzero_pd(), turn = _mm_set1_pd(360);
  __m128d in = _mm_cmpeq_pd(zero, zero);
#pragma GCC unroll 5
  for (int b = 0; b < kBodies - 1; b += 2) {
    const __m128d v = _mm_loadu_pd(pos + b);
    in = _mm_and_pd(in, _mm_and_pd(_mm_cmpge_pd(v, zero), _mm_cmple_pd(v, turn)));
  }
  return _mm_movemask_pd(in) == 3 && pos[kBodies - 1] >= 0 && pos[kBodies - 1] <= 360;
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

// Both cells of pair n read from one table position, as HarmonyLookup
// and DynamicLookup give them: for a difference past a full turn or not
// a number.
template <bool kH, bool kI, bool kD>
void PairCells(const double* A, const double* B, const double* pos, int n, Outputs out) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const int i = kPairs.i[n], j = kPairs.j[n];
  const double e = pos[i] - pos[j];
  int k = 0;
  double f = 0;
  const bool inTable = TablePosition(std::fabs(e), k, f);
  if ((kH || kI)) {
    const double h = 0.0 + 10 * (inTable ? A[k] + (A[k + 1] - A[k]) * f : kNaN);
    if (kH) (*out.H)[i][j] = (*out.H)[j][i] = h;
    if (kI) (*out.I)[i][j] = (*out.I)[j][i] = std::fabs(h);
  }
  if (kD) {
    const double t = inTable ? B[k] + (B[k + 1] - B[k]) * f : kNaN;
    const double s = e >= 0 ? 1 : -1;
    const double sPrime = -e >= 0 ? 1 : -1;
    (*out.D)[i][j] = 0.0 + 10 * -(-t * s);
    (*out.D)[j][i] = 0.0 + 10 * (-t * sPrime);
  }
}

// One pass over the 55 pairs, two at a time (the last pair twice): a
// pair's difference and table position are shared by the harmony and the
// dynamic value, and both are symmetric in the pair (the dynamic value
// antisymmetric, and D takes -v above the diagonal), so each pair is read
// once and written to both cells. The values are those of HarmonyLookup
// and DynamicLookup, bit for bit.
template <bool kH, bool kI, bool kD>
__attribute__((noinline)) void BuildPass(const double* A, const double* B, const double* pos,
                                         const double* motion, const double* periods,
                                         Outputs out) {
  using namespace core_detail;
  if (kH) ZeroBorder(*out.H);
  if (kI) ZeroBorder(*out.I);
  if (kD) ZeroBorder(*out.D);
  // Longitudes within 0..360 (as charts give them) keep every difference
  // within the table; only other inputs need the test pair by pair.
  const bool inTurn = AllInTurn(pos);

#pragma GCC unroll 28
  for (int n = 0; n < 56; n += 2) {
    const int n1 = n + 1 < 55 ? n + 1 : 54;
    const int i0 = kPairs.i[n], j0 = kPairs.j[n], i1 = kPairs.i[n1], j1 = kPairs.j[n1];
    const Pair e = Pair{pos[i0], pos[i1]} - Pair{pos[j0], pos[j1]};
    const Pair x = Abs(e) * 50;
    if (!inTurn && Any(!(x <= 18000))) {
      PairCells<kH, kI, kD>(A, B, pos, n, out);
      PairCells<kH, kI, kD>(A, B, pos, n1, out);
      continue;
    }
    const __m128i k = _mm_cvttpd_epi32(x);
    const Pair f = x - _mm_cvtepi32_pd(k);
    // Both indexes (0..18000) out of the register in one move.
    const uint64_t both = static_cast<uint64_t>(_mm_cvtsi128_si64(k));
    const uint32_t k0 = static_cast<uint32_t>(both), k1 = static_cast<uint32_t>(both >> 32);
    if ((kH || kI)) {
      const Pair a0 = {A[k0], A[k1]}, a1 = {A[k0 + 1], A[k1 + 1]};
      const Pair h = 0.0 + 10 * (a0 + (a1 - a0) * f);
      if (kH) {
        (*out.H)[i0][j0] = (*out.H)[j0][i0] = h[0];
        (*out.H)[i1][j1] = (*out.H)[j1][i1] = h[1];
      }
      if (kI) {
        const Pair a = Abs(h);
        (*out.I)[i0][j0] = (*out.I)[j0][i0] = a[0];
        (*out.I)[i1][j1] = (*out.I)[j1][i1] = a[1];
      }
    }
    if (kD) {
      // DynamicLookup(i, j) is -t s with t the table value and s the
      // sign of e; above the diagonal D takes its negative, t s; below
      // it DynamicLookup(j, i) = -t s', s' the sign of -e, which is -s
      // unless e is 0, where t is the table's exact 0: both cells hold
      // 0 + 10 t s. t s is t with the sign of e applied (for e = -0 that
      // gives -0, and the sum +0 all the same).
      const Pair b0 = {B[k0], B[k1]}, b1 = {B[k0 + 1], B[k1 + 1]};
      const Pair t = b0 + (b1 - b0) * f;
      const PairMask sign = reinterpret_cast<PairMask>(e) & PairMask{INT64_MIN, INT64_MIN};
      const Pair v = 0.0 + 10 * reinterpret_cast<Pair>(reinterpret_cast<PairMask>(t) ^ sign);
      (*out.D)[i0][j0] = (*out.D)[j0][i0] = v[0];
      (*out.D)[i1][j1] = (*out.D)[j1][i1] = v[1];
    }
  }

  if ((kH || kI)) {
    // Bodies 0..9; the IC's self value would be cleared at once.
    Pair self[5];
    if (inTurn)
      SelfValuesOfBodies<true>(pos, self);
    else
      SelfValuesOfBodies<false>(pos, self);
    for (int i = 0; i < kBodies - 1; i += 2) {
      const Pair h = 0.0 + 10 * self[i / 2];
      const Pair a = Abs(h);
      if (kH) (*out.H)[i][i] = h[0], (*out.H)[i + 1][i + 1] = h[1];
      if (kI) (*out.I)[i][i] = a[0], (*out.I)[i + 1][i + 1] = a[1];
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

// The builders of the matrices given by the template arguments: the
// four-lane loop where the path has it and the longitudes allow it, else
// the two-lane one.
template <bool kH, bool kI, bool kD>
inline void Build(const WaveTables& tables, int p, const double* pos, const double* motion,
                  const double* periods, Outputs out, CorePath path) {
  const int order = p < 1 ? 1 : (p > 12 ? 12 : p);
  const double* A = tables.harmony[order];
  const double* B = tables.dynamic[order];
  if (path == CorePath::Avx2 && core_detail::MatricesInQuads<kH, kI, kD>(A, B, pos, motion, periods, out)) return;
  BuildPass<kH, kI, kD>(A, B, pos, motion, periods, out);
}

// The same, the matrices chosen by the pointers that are not null.
void Build(const WaveTables& tables, int p, const double* pos, const double* motion,
           const double* periods, Outputs out, CorePath path) {
  if (out.H && out.I && out.D)
    Build<true, true, true>(tables, p, pos, motion, periods, out, path);
  else if (out.H)
    Build<true, false, false>(tables, p, pos, motion, periods, out, path);
  else if (out.I)
    Build<false, true, false>(tables, p, pos, motion, periods, out, path);
  else
    Build<false, false, true>(tables, p, pos, motion, periods, out, path);
}

// This processor's path, found once at start-up (a builder run by some
// other start-up code before that takes the two-lane loop, which gives
// the same values).
const CorePath kProcessorPath = DefaultCorePath();

}  // namespace

void BuildHarmony(const WaveTables& tables, int p, const double* positions, HarmonicMatrix& H) {
  Build<true, false, false>(tables, p, positions, nullptr, kBodyPeriodsOrderP, {&H, nullptr, nullptr},
                            kProcessorPath);
}

void BuildEnergy(const WaveTables& tables, int p, const double* positions, HarmonicMatrix& I) {
  Build<false, true, false>(tables, p, positions, nullptr, kBodyPeriodsOrderP, {nullptr, &I, nullptr},
                            kProcessorPath);
}

void BuildDynamic(const WaveTables& tables, int p, const double* positions, HarmonicMatrix& D,
                  const double* motion) {
  Build<false, false, true>(tables, p, positions, motion, kBodyPeriodsOrderP, {nullptr, nullptr, &D},
                            kProcessorPath);
}

void BuildHarmony(const WaveTables& tables, const double* positions, HarmonicMatrix& H) {
  Build<true, false, false>(tables, 3, positions, nullptr, kBodyPeriodsFixed3, {&H, nullptr, nullptr},
                            kProcessorPath);
}

void BuildEnergy(const WaveTables& tables, const double* positions, HarmonicMatrix& I) {
  Build<false, true, false>(tables, 3, positions, nullptr, kBodyPeriodsFixed3, {nullptr, &I, nullptr},
                            kProcessorPath);
}

void BuildDynamic(const WaveTables& tables, const double* positions, HarmonicMatrix& D,
                  const double* motion) {
  Build<false, false, true>(tables, 3, positions, motion, kBodyPeriodsFixed3, {nullptr, nullptr, &D},
                            kProcessorPath);
}

void BuildMatrices(const WaveTables& tables, MatrixForm form, int p, const ChartRecord& chart,
                   HarmonicMatrices& out) {
  const bool fixed = form == MatrixForm::Fixed3;
  Build<true, true, true>(tables, fixed ? 3 : p, chart.pos, chart.motion,
                          fixed ? kBodyPeriodsFixed3 : kBodyPeriodsOrderP, {&out.H, &out.I, &out.D},
                          kProcessorPath);
}

unsigned ComputeChartBatch(const WaveTables& tables, MatrixForm form, int p,
                           const ChartMoment* moments, std::size_t count, ChartRecord* charts,
                           HarmonicMatrices* matrices) {
  // Blocks of charts (their planets side by side), then their matrices.
  constexpr std::size_t kBlock = 16;
  ChartRecord local[kBlock];
  unsigned warnings = 0;
  for (std::size_t first = 0; first < count; first += kBlock) {
    const std::size_t n = count - first < kBlock ? count - first : kBlock;
    ChartRecord* block = charts ? charts + first : local;
    warnings |= ComputeChartBatch(moments + first, n, block);
    if (matrices)
      for (std::size_t i = 0; i < n; ++i) BuildMatrices(tables, form, p, block[i], matrices[first + i]);
  }
  return warnings;
}

void BuildMatricesOnPath(const WaveTables& tables, int p, const double* positions,
                         const double* motion, const double* periods, HarmonicMatrix* H,
                         HarmonicMatrix* I, HarmonicMatrix* D, CorePath path) {
  if (!H && !I && !D) return;
  if (!core_detail::ProcessorHasAvx2()) path = CorePath::Sse2;
  if (H && I && D)
    Build(tables, p, positions, motion, periods, {H, I, D}, path);
  else {
    // Each one alone, as the three builders run.
    if (H) Build(tables, p, positions, motion, periods, {H, nullptr, nullptr}, path);
    if (I) Build(tables, p, positions, motion, periods, {nullptr, I, nullptr}, path);
    if (D) Build(tables, p, positions, motion, periods, {nullptr, nullptr, D}, path);
  }
}
