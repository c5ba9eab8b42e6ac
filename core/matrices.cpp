// The four-lane self values instantiate the shared lane templates with
// 32-byte vectors; those are inlined into AVX2 functions only, so the
// note that such a return would differ between ABIs does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "core/matrices.h"

#include <emmintrin.h>
#include <immintrin.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "core/lanes.h"
#include "core/matrix_path.h"
#include "core/self_value.h"

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

// The pair loop four pairs at a time (AVX2, no fused multiply-add: the
// same operations as the two-lane loop below, lane by lane), for
// longitudes within 0..360, row by row: pos[i] - pos[j] for four columns
// j side by side. Table values k and k + 1 are one unaligned 16-byte load.
namespace avx2 {

__attribute__((target("avx2"))) inline __m256d TableValues(const double* T, uint64_t lo,
                                                           uint64_t hi, __m256d& next) {
  const auto k0 = static_cast<uint32_t>(lo), k1 = static_cast<uint32_t>(lo >> 32);
  const auto k2 = static_cast<uint32_t>(hi), k3 = static_cast<uint32_t>(hi >> 32);
  const __m256d a = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(T + k0)),
                                         _mm_loadu_pd(T + k2), 1);
  const __m256d b = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(T + k1)),
                                         _mm_loadu_pd(T + k3), 1);
  next = _mm256_unpackhi_pd(a, b);
  return _mm256_unpacklo_pd(a, b);
}

// Cells (row, j) and (j, row) of the four columns j = kFirst..kFirst + 3
// in v, for the columns right of the diagonal; below kLast only.
template <int kRow, int kFirst, int kLast>
__attribute__((target("avx2"))) inline void StoreBoth(HarmonicMatrix& m, __m256d v) {
  const __m128d lanes[2] = {_mm256_castpd256_pd128(v), _mm256_extractf128_pd(v, 1)};
  for (int l = 0; l < 4; ++l) {
    const int j = kFirst + l;
    if (j <= kRow || j >= kLast) continue;
    if (l % 2 == 0) {
      _mm_store_sd(&m[kRow][j], lanes[l / 2]);
      _mm_store_sd(&m[j][kRow], lanes[l / 2]);
    } else {
      _mm_storeh_pd(&m[kRow][j], lanes[l / 2]);
      _mm_storeh_pd(&m[j][kRow], lanes[l / 2]);
    }
  }
}

// Pairs (row, j) for the four columns j from kFirst, those right of the
// diagonal and below kLast: the difference pos[row] - pos[j] lane by lane.
template <bool kH, bool kI, bool kD, int kRow, int kFirst, int kLast>
__attribute__((target("avx2"))) inline void FourPairs(const double* A, const double* B,
                                                      double rowPos, __m256d columns,
                                                      Outputs out) {
  const __m256d zero = _mm256_setzero_pd(), ten = _mm256_set1_pd(10), fifty = _mm256_set1_pd(50);
  const __m256d signBit = _mm256_set1_pd(-0.0);
  const __m256d ev = _mm256_sub_pd(_mm256_set1_pd(rowPos), columns);
  const __m256d x = _mm256_mul_pd(_mm256_andnot_pd(signBit, ev), fifty);
  const __m128i k = _mm256_cvttpd_epi32(x);
  const __m256d f = _mm256_sub_pd(x, _mm256_cvtepi32_pd(k));
  const auto lo = static_cast<uint64_t>(_mm_cvtsi128_si64(k));
  const auto hi = static_cast<uint64_t>(_mm_extract_epi64(k, 1));
  if (kH || kI) {
    __m256d a1;
    const __m256d a0 = TableValues(A, lo, hi, a1);
    const __m256d h = _mm256_add_pd(
        zero, _mm256_mul_pd(ten, _mm256_add_pd(a0, _mm256_mul_pd(_mm256_sub_pd(a1, a0), f))));
    if (kH) StoreBoth<kRow, kFirst, kLast>(*out.H, h);
    if (kI) StoreBoth<kRow, kFirst, kLast>(*out.I, _mm256_andnot_pd(signBit, h));
  }
  if (kD) {
    __m256d b1;
    const __m256d b0 = TableValues(B, lo, hi, b1);
    const __m256d t = _mm256_add_pd(b0, _mm256_mul_pd(_mm256_sub_pd(b1, b0), f));
    const __m256d v =
        _mm256_add_pd(zero, _mm256_mul_pd(ten, _mm256_xor_pd(t, _mm256_and_pd(ev, signBit))));
    StoreBoth<kRow, kFirst, kLast>(*out.D, v);
  }
}

// Row i's pairs (i, i+1..10) against the columns 7..10, 3..6 and 0..2,
// as far as they lie right of the diagonal.
template <bool kH, bool kI, bool kD, int kRow>
__attribute__((target("avx2"))) inline void RowPairs(const double* A, const double* B,
                                                     const double* pos, const __m256d (&cols)[3],
                                                     Outputs out) {
  const double p = pos[kRow];
  FourPairs<kH, kI, kD, kRow, 7, 11>(A, B, p, cols[2], out);
  if constexpr (kRow < 6) FourPairs<kH, kI, kD, kRow, 3, 7>(A, B, p, cols[1], out);
  if constexpr (kRow < 2) FourPairs<kH, kI, kD, kRow, 0, 3>(A, B, p, cols[0], out);
}

template <bool kH, bool kI, bool kD, int... kRows>
__attribute__((target("avx2"))) inline void AllRows(const double* A, const double* B,
                                                    const double* pos, const __m256d (&cols)[3],
                                                    Outputs out,
                                                    std::integer_sequence<int, kRows...>) {
  (RowPairs<kH, kI, kD, kRows>(A, B, pos, cols, out), ...);
}

// The differences are taken in registers, the row's longitude against
// the columns' (loads within pos[0..10] only).
template <bool kH, bool kI, bool kD>
__attribute__((target("avx2"), noinline)) void PairLoop(const double* A, const double* B,
                                                        const double* pos, Outputs out) {
  const __m256d cols[3] = {_mm256_loadu_pd(pos), _mm256_loadu_pd(pos + 3),
                           _mm256_loadu_pd(pos + 7)};
  AllRows<kH, kI, kD>(A, B, pos, cols, out, std::make_integer_sequence<int, kBodies - 1>{});
}

// The self values of bodies 0..9 four at a time (lanes 10 and 11 are
// padding), for longitudes within 0..360: DegreeRotationInRange and
// SelfValueFrom with the same operations, lane by lane.
using Quad = double __attribute__((vector_size(32)));

__attribute__((target("avx2"))) inline Quad LoadQuad(const double* p) {
  Quad v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

__attribute__((target("avx2"))) inline Quad RoundQuad(Quad x) {
  return (x + core_detail::fast_rotation::kRoundingShift) - core_detail::fast_rotation::kRoundingShift;
}

// `x` the longitudes of bodies 4 v .. 4 v + 3.
template <int v>
__attribute__((target("avx2"))) inline Quad FourSelfValues(Quad x) {
  using namespace core_detail;
  const SelfValueLanes& k = kSelfValueLanes;
  const Quad degrees = x - LoadQuad(k.shift + 4 * v);
  const Quad n = RoundQuad(degrees);
  const Quad d = (degrees - n) * kRadiansPerDegree;
  const Quad d2 = d * d;
  const Quad s = d + d * d2 * (-1.0 / 6 + d2 * (1.0 / 120));
  const Quad c = 1 + d2 * (-0.5 + d2 * (1.0 / 24 + d2 * (-1.0 / 720)));
  const Quad centered = n - 360.0 * RoundQuad(n * (1 / 360.0)) + 180.0;
  // The table's rotations are (c, s) pairs: entry r starts at double 2 r.
  const __m128i index = _mm256_cvttpd_epi32(reinterpret_cast<__m256d>(centered));
  const __m128i twice = _mm_add_epi32(index, index);
  const auto lo = static_cast<uint64_t>(_mm_cvtsi128_si64(twice));
  const auto hi = static_cast<uint64_t>(_mm_extract_epi64(twice, 1));
  __m256d tsv;
  const __m256d tcv = TableValues(&kCenteredDegreeTable[0].c, lo, hi, tsv);
  const Quad tc = reinterpret_cast<Quad>(tcv), ts = reinterpret_cast<Quad>(tsv);
  const Quad cosA = tc * c - ts * s, sinA = ts * c + tc * s;
  return SelfValueFrom(cosA, sinA, LoadQuad(k.turnC + 4 * v), LoadQuad(k.turnS + 4 * v));
}

__attribute__((target("avx2"), noinline)) void SelfValues(const double* pos, double (&out)[12]) {
  // Bodies 8, 9 and twice the IC (whose values are not kept) from
  // pos[7..10], so that nothing past pos[10] is read.
  const __m256d last = _mm256_permute4x64_pd(_mm256_loadu_pd(pos + 7), 1 | 2 << 2 | 3 << 4 | 3 << 6);
  const Quad a = FourSelfValues<0>(LoadQuad(pos)), b = FourSelfValues<1>(LoadQuad(pos + 4)),
             c = FourSelfValues<2>(reinterpret_cast<Quad>(last));
  __builtin_memcpy(out, &a, sizeof a);
  __builtin_memcpy(out + 4, &b, sizeof b);
  __builtin_memcpy(out + 8, &c, sizeof c);
}

}  // namespace avx2

// One pass over the 55 pairs, two at a time (the last pair twice): a
// pair's difference and table position are shared by the harmony and the
// dynamic value, and both are symmetric in the pair (the dynamic value
// antisymmetric, and D takes -v above the diagonal), so each pair is read
// once and written to both cells. The values are those of HarmonyLookup
// and DynamicLookup, bit for bit.
template <bool kH, bool kI, bool kD>
void BuildPass(const WaveTables& tables, int p, const double* pos, const double* motion,
               const double* periods, Outputs out, MatrixPath path) {
  using namespace core_detail;
  if (kH) ZeroBorder(*out.H);
  if (kI) ZeroBorder(*out.I);
  if (kD) ZeroBorder(*out.D);
  const int order = p < 1 ? 1 : (p > 12 ? 12 : p);
  const double* A = tables.harmony[order];
  const double* B = tables.dynamic[order];

  // Longitudes within 0..360 (as charts give them) keep every difference
  // within the table; only other inputs need the test pair by pair.
  const bool inTurn = AllInTurn(pos);

  const bool wide = inTurn && path == MatrixPath::Avx2;
  if (wide) avx2::PairLoop<kH, kI, kD>(A, B, pos, out);
#pragma GCC unroll 28
  for (int n = 0; n < 56 && !wide; n += 2) {
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
    if (wide) {
      alignas(16) double four[12];
      avx2::SelfValues(pos, four);
      for (int q = 0; q < 5; ++q) self[q] = LoadPair(four + 2 * q);
    } else if (inTurn)
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

void Build(const WaveTables& tables, int p, const double* pos, const double* motion,
           const double* periods, Outputs out, MatrixPath path) {
  if (out.H && out.I && out.D)
    BuildPass<true, true, true>(tables, p, pos, motion, periods, out, path);
  else if (out.H)
    BuildPass<true, false, false>(tables, p, pos, motion, periods, out, path);
  else if (out.I)
    BuildPass<false, true, false>(tables, p, pos, motion, periods, out, path);
  else
    BuildPass<false, false, true>(tables, p, pos, motion, periods, out, path);
}

void Build(const WaveTables& tables, int p, const double* pos, const double* motion,
           const double* periods, Outputs out) {
  Build(tables, p, pos, motion, periods, out, DefaultMatrixPath());
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

MatrixPath PathFor(bool hasAvx2) { return hasAvx2 ? MatrixPath::Avx2 : MatrixPath::Sse2; }

MatrixPath DefaultMatrixPath() {
  static const MatrixPath path = PathFor(__builtin_cpu_supports("avx2"));
  return path;
}

void BuildMatricesOnPath(const WaveTables& tables, int p, const double* positions,
                         const double* motion, const double* periods, HarmonicMatrix* H,
                         HarmonicMatrix* I, HarmonicMatrix* D, MatrixPath path) {
  if (!H && !I && !D) return;
  if (H && I && D)
    Build(tables, p, positions, motion, periods, {H, I, D}, path);
  else {
    // Each one alone, as the three builders run.
    if (H) Build(tables, p, positions, motion, periods, {H, nullptr, nullptr}, path);
    if (I) Build(tables, p, positions, motion, periods, {nullptr, I, nullptr}, path);
    if (D) Build(tables, p, positions, motion, periods, {nullptr, nullptr, D}, path);
  }
}
