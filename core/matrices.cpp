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

// The builders four cells at a time (AVX2, no fused multiply-add: the
// same operations as the two-lane loop below, lane by lane), for
// longitudes within 0..360, whole rows at once: row r's cells
// [r][0..3], [r][4..7] and [r][8..11] are three 32-byte vectors (the
// columns' longitudes pos[0..3], pos[4..7] and pos[8], pos[9], pos[10],
// pos[10], whose last lane, column 11, is cleared before it is stored).
// The matrices are symmetric, so the blocks of 4 x 4 cells off the
// diagonal are computed once (rows 0..3 against columns 4..7, rows 8..10
// against columns 0..3 and 4..7) and stored transposed as well; the 15
// pairs inside the diagonal blocks are computed in four vectors and
// moved into their rows. Table values k and k + 1 are one unaligned
// 16-byte load.
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

// Four cells of H (before the absolute of I) and of D.
struct Cells {
  __m256d h, d;
};

// The cells of four pairs (i, j), the longitudes of the i side by side
// in `rows`, of the j in `columns`, for both cells of each pair. H is
// symmetric in the pair; D takes 10 t with the sign of pos[i] - pos[j]
// in both cells (see BuildPass), so the i are the pairs' smaller indexes.
template <bool kHI, bool kD>
__attribute__((target("avx2"))) inline Cells FourCells(const double* A, const double* B,
                                                       __m256d rows, __m256d columns) {
  const __m256d zero = _mm256_setzero_pd(), ten = _mm256_set1_pd(10), fifty = _mm256_set1_pd(50);
  const __m256d signBit = _mm256_set1_pd(-0.0);
  const __m256d ev = _mm256_sub_pd(rows, columns);
  const __m256d x = _mm256_mul_pd(_mm256_andnot_pd(signBit, ev), fifty);
  const __m128i k = _mm256_cvttpd_epi32(x);
  // k as a double, exactly as the conversion back would give it.
  const __m256d f = _mm256_sub_pd(x, _mm256_round_pd(x, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC));
  const auto lo = static_cast<uint64_t>(_mm_cvtsi128_si64(k));
  const auto hi = static_cast<uint64_t>(_mm_extract_epi64(k, 1));
  Cells out{zero, zero};
  if (kHI) {
    __m256d a1;
    const __m256d a0 = TableValues(A, lo, hi, a1);
    out.h = _mm256_add_pd(
        zero, _mm256_mul_pd(ten, _mm256_add_pd(a0, _mm256_mul_pd(_mm256_sub_pd(a1, a0), f))));
  }
  if (kD) {
    __m256d b1;
    const __m256d b0 = TableValues(B, lo, hi, b1);
    const __m256d t = _mm256_add_pd(b0, _mm256_mul_pd(_mm256_sub_pd(b1, b0), f));
    out.d = _mm256_add_pd(zero, _mm256_mul_pd(ten, _mm256_xor_pd(t, _mm256_and_pd(ev, signBit))));
  }
  return out;
}

template <bool kH, bool kI, bool kD>
__attribute__((target("avx2"))) inline void StoreCells(const Outputs& out, int row, int column,
                                                       const Cells& c) {
  if (kH) _mm256_storeu_pd(&(*out.H)[row][column], c.h);
  if (kI) _mm256_storeu_pd(&(*out.I)[row][column], _mm256_andnot_pd(_mm256_set1_pd(-0.0), c.h));
  if (kD) _mm256_storeu_pd(&(*out.D)[row][column], c.d);
}

// Four rows of four cells (named, not an array, so that they stay in
// registers).
struct Four {
  __m256d r0, r1, r2, r3;
};

__attribute__((target("avx2"))) inline Four Transpose(const Four& v) {
  const __m256d t0 = _mm256_unpacklo_pd(v.r0, v.r1), t1 = _mm256_unpackhi_pd(v.r0, v.r1);
  const __m256d t2 = _mm256_unpacklo_pd(v.r2, v.r3), t3 = _mm256_unpackhi_pd(v.r2, v.r3);
  return {_mm256_permute2f128_pd(t0, t2, 0x20), _mm256_permute2f128_pd(t1, t3, 0x20),
          _mm256_permute2f128_pd(t0, t2, 0x31), _mm256_permute2f128_pd(t1, t3, 0x31)};
}

// Rows `row` .. `row` + kCount - 1 of H, I and D at column `column`.
template <bool kH, bool kI, bool kD, int kCount>
__attribute__((target("avx2"))) inline void StoreRows(const Outputs& out, int row, int column,
                                                      const Four& h, const Four& d) {
  StoreCells<kH, kI, kD>(out, row, column, Cells{h.r0, d.r0});
  StoreCells<kH, kI, kD>(out, row + 1, column, Cells{h.r1, d.r1});
  StoreCells<kH, kI, kD>(out, row + 2, column, Cells{h.r2, d.r2});
  if constexpr (kCount == 4) StoreCells<kH, kI, kD>(out, row + 3, column, Cells{h.r3, d.r3});
}

// The cells of rows 0..3 against columns 4..7, and their transpose.
template <bool kH, bool kI, bool kD>
__attribute__((target("avx2"))) inline void FirstBlock(const double* A, const double* B,
                                                       const double* pos, __m256d columns,
                                                       const Outputs& out) {
  constexpr bool kHI = kH || kI;
  const Cells c0 = FourCells<kHI, kD>(A, B, _mm256_broadcast_sd(pos), columns);
  const Cells c1 = FourCells<kHI, kD>(A, B, _mm256_broadcast_sd(pos + 1), columns);
  const Cells c2 = FourCells<kHI, kD>(A, B, _mm256_broadcast_sd(pos + 2), columns);
  const Cells c3 = FourCells<kHI, kD>(A, B, _mm256_broadcast_sd(pos + 3), columns);
  const Four h{c0.h, c1.h, c2.h, c3.h}, d{c0.d, c1.d, c2.d, c3.d};
  StoreRows<kH, kI, kD, 4>(out, 0, 4, h, d);
  StoreRows<kH, kI, kD, 4>(out, 4, 0, kHI ? Transpose(h) : h, kD ? Transpose(d) : d);
}

// The cells of rows 8..10 against the four columns 4 kBlock .. (their
// longitudes in `columns`, the smaller indexes of the pairs), and their
// transpose with a row of zeros for column 11: rows 4 kBlock .. against
// columns 8..11.
template <bool kH, bool kI, bool kD, int kBlock>
__attribute__((target("avx2"))) inline void LastRowsBlock(const double* A, const double* B,
                                                          const double* pos, __m256d columns,
                                                          const Outputs& out) {
  constexpr bool kHI = kH || kI;
  const __m256d zero = _mm256_setzero_pd();
  const Cells c8 = FourCells<kHI, kD>(A, B, columns, _mm256_broadcast_sd(pos + 8));
  const Cells c9 = FourCells<kHI, kD>(A, B, columns, _mm256_broadcast_sd(pos + 9));
  const Cells c10 = FourCells<kHI, kD>(A, B, columns, _mm256_broadcast_sd(pos + 10));
  const Four h{c8.h, c9.h, c10.h, zero}, d{c8.d, c9.d, c10.d, zero};
  StoreRows<kH, kI, kD, 3>(out, 8, 4 * kBlock, h, d);
  StoreRows<kH, kI, kD, 4>(out, 4 * kBlock, 8, kHI ? Transpose(h) : h, kD ? Transpose(d) : d);
}

// Lanes of one vector, by index.
template <int a, int b, int c, int d>
__attribute__((target("avx2"))) inline __m256d Lanes(__m256d v) {
  return _mm256_permute4x64_pd(v, a | b << 2 | c << 4 | d << 6);
}

// Rows 4 q .. 4 q + 3 of a diagonal block of four bodies, from the
// cells `v` of its pairs (0,1) (0,2) (0,3) (1,2) and lanes kW, kW + 1 of
// `w` holding (1,3) (2,3), the diagonal from `self`.
template <int kW>
__attribute__((target("avx2"))) inline Four FourRows(__m256d v, __m256d w, __m256d self) {
  return {_mm256_blend_pd(Lanes<0, 0, 1, 2>(v), self, 1),
          _mm256_blend_pd(_mm256_blend_pd(Lanes<0, 0, 3, 3>(v), Lanes<kW, kW, kW, kW>(w), 8), self, 2),
          _mm256_blend_pd(
              _mm256_blend_pd(Lanes<1, 3, 3, 3>(v), Lanes<kW + 1, kW + 1, kW + 1, kW + 1>(w), 8), self, 4),
          _mm256_blend_pd(_mm256_blend_pd(Lanes<kW, kW, kW + 1, kW + 1>(w), Lanes<2, 2, 2, 2>(v), 1),
                          self, 8)};
}

// Rows 8..10 of the last diagonal block from the cells `v` of its pairs
// (8,9) (8,10) (9,10), the diagonal and column 11 from `self`.
__attribute__((target("avx2"))) inline Four ThreeRows(__m256d v, __m256d self) {
  return {_mm256_blend_pd(Lanes<0, 0, 1, 1>(v), self, 1 | 8),
          _mm256_blend_pd(Lanes<0, 0, 2, 2>(v), self, 2 | 8),
          _mm256_blend_pd(Lanes<1, 2, 2, 2>(v), self, 4 | 8), self};
}

// The diagonal blocks: their 15 pairs in four vectors, (0,1) (0,2)
// (0,3) (1,2) of bodies 0..3, the same of bodies 4..7, then (1,3) (2,3)
// of both, and (8,9) (8,10) (9,10) (9,10 again); each pair's smaller
// index on the row side.
template <bool kH, bool kI, bool kD>
__attribute__((target("avx2"))) inline void DiagonalBlocks(const double* A, const double* B,
                                                           const __m256d (&cols)[3],
                                                           const Cells (&self)[3],
                                                           const Outputs& out) {
  constexpr bool kHI = kH || kI;
  const Cells first = FourCells<kHI, kD>(A, B, Lanes<0, 0, 0, 1>(cols[0]), Lanes<1, 2, 3, 2>(cols[0]));
  const Cells second = FourCells<kHI, kD>(A, B, Lanes<0, 0, 0, 1>(cols[1]), Lanes<1, 2, 3, 2>(cols[1]));
  const Cells both = FourCells<kHI, kD>(
      A, B, _mm256_blend_pd(Lanes<1, 2, 1, 2>(cols[0]), Lanes<1, 2, 1, 2>(cols[1]), 12),
      _mm256_blend_pd(Lanes<3, 3, 3, 3>(cols[0]), Lanes<3, 3, 3, 3>(cols[1]), 12));
  const Cells last = FourCells<kHI, kD>(A, B, Lanes<0, 0, 1, 1>(cols[2]), Lanes<1, 2, 2, 2>(cols[2]));
  StoreRows<kH, kI, kD, 4>(out, 0, 0, FourRows<0>(first.h, both.h, self[0].h),
                           FourRows<0>(first.d, both.d, self[0].d));
  StoreRows<kH, kI, kD, 4>(out, 4, 4, FourRows<2>(second.h, both.h, self[1].h),
                           FourRows<2>(second.d, both.d, self[1].d));
  StoreRows<kH, kI, kD, 3>(out, 8, 8, ThreeRows(last.h, self[2].h), ThreeRows(last.d, self[2].d));
}

// The self values of bodies 4 v .. 4 v + 3 (longitudes within 0..360),
// SelfValuesOfBodies' operations lane by lane.
template <int v>
__attribute__((target("avx2"), always_inline)) inline __m256d FourSelfValues(__m256d x) {
  using namespace core_detail;
  const SelfValueLanes& k = kSelfValueLanes;
  // Rounded to the nearest, ties to even, as RoundSmall does.
  const __m256d n = _mm256_round_pd(x, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  const SmallTurn<Quad> r = SmallRotation(reinterpret_cast<Quad>(_mm256_sub_pd(x, n)) * kRadiansPerDegree);
  const __m128i whole = _mm256_cvttpd_epi32(n);
  const __m128i start = _mm_loadu_si128(reinterpret_cast<const __m128i*>(k.tableStart + 4 * v));
  const __m128i index = _mm_add_epi32(_mm_add_epi32(whole, whole), start);
  const auto lo = static_cast<uint64_t>(_mm_cvtsi128_si64(index));
  const auto hi = static_cast<uint64_t>(_mm_extract_epi64(index, 1));
  __m256d tsv;
  const __m256d tcv = TableValues(&kWideDegreeTable[0].c, lo, hi, tsv);
  return reinterpret_cast<__m256d>(
      SelfValueFromTable(reinterpret_cast<Quad>(tcv), reinterpret_cast<Quad>(tsv), r,
                         LoadLanes<Quad>(k.turnC + 4 * v), LoadLanes<Quad>(k.turnS + 4 * v)));
}

// Lanes 8, 9, 10, 10 of an array of 11 doubles, nothing past [10] read.
__attribute__((target("avx2"))) inline __m256d LastLanes(const double* p) {
  return _mm256_permute4x64_pd(_mm256_loadu_pd(p + 7), 1 | 2 << 2 | 3 << 4 | 3 << 6);
}

// The diagonal cells of bodies 4 v .. 4 v + 3: H's 0 + 10 SelfValue (the
// IC's 0), D's 0 + (c P) m with c = 10 for the Sun, 100 for the Moon
// (whose motion is taken as 1, exactly) and -10 for the others.
template <bool kHI, bool kD, int v>
__attribute__((target("avx2"))) inline Cells SelfCells(__m256d longitudes, const double* motion,
                                                       const double* periods) {
  const __m256d zero = _mm256_setzero_pd();
  Cells c{zero, zero};
  if (kHI) {
    c.h = _mm256_add_pd(zero, _mm256_mul_pd(_mm256_set1_pd(10), FourSelfValues<v>(longitudes)));
    if (v == 2) c.h = _mm256_blend_pd(c.h, zero, 4 | 8);  // the IC and column 11
  }
  if (kD) {
    const __m256d m = v == 2 ? LastLanes(motion) : _mm256_loadu_pd(motion + 4 * v);
    const __m256d P = v == 2 ? LastLanes(periods) : _mm256_loadu_pd(periods + 4 * v);
    const __m256d factor = v == 0 ? _mm256_setr_pd(10, 100, -10, -10) : _mm256_set1_pd(-10);
    const __m256d motions = v == 0 ? _mm256_blend_pd(m, _mm256_set1_pd(1), 2) : m;
    c.d = _mm256_add_pd(zero, _mm256_mul_pd(_mm256_mul_pd(factor, P), motions));
    if (v == 2) c.d = _mm256_blend_pd(c.d, zero, 8);  // column 11
  }
  return c;
}

// The matrices wanted, every cell [0..12][0..12]; false (nothing
// written) unless the longitudes 0..10 all lie within 0..360.
// Everything inlined (flatten), so that the vectors stay in registers.
template <bool kH, bool kI, bool kD>
__attribute__((target("avx2"), noinline, flatten)) bool Build(const double* A, const double* B,
                                                              const double* pos,
                                                              const double* motion,
                                                              const double* periods, Outputs out) {
  constexpr bool kHI = kH || kI;
  const __m256d cols[3] = {_mm256_loadu_pd(pos), _mm256_loadu_pd(pos + 4), LastLanes(pos)};
  const __m256d zero = _mm256_setzero_pd(), turn = _mm256_set1_pd(360);
  auto inTurn = [&](__m256d v) __attribute__((target("avx2"))) {
    return _mm256_and_pd(_mm256_cmp_pd(v, zero, _CMP_GE_OQ), _mm256_cmp_pd(v, turn, _CMP_LE_OQ));
  };
  const __m256d in = _mm256_and_pd(_mm256_and_pd(inTurn(cols[0]), inTurn(cols[1])), inTurn(cols[2]));
  if (_mm256_movemask_pd(in) != 15) return false;

  // The diagonal first: its chain of operations is the longest.
  const Cells self[3] = {SelfCells<kHI, kD, 0>(cols[0], motion, periods),
                         SelfCells<kHI, kD, 1>(cols[1], motion, periods),
                         SelfCells<kHI, kD, 2>(cols[2], motion, periods)};
  FirstBlock<kH, kI, kD>(A, B, pos, cols[1], out);
  LastRowsBlock<kH, kI, kD, 0>(A, B, pos, cols[0], out);
  LastRowsBlock<kH, kI, kD, 1>(A, B, pos, cols[1], out);
  DiagonalBlocks<kH, kI, kD>(A, B, cols, self, out);
  // Rows 11 and 12 and column 12 hold no terms.
  const Cells none{zero, zero};
  for (int row = 11; row < 13; ++row)
    for (int column = 0; column < 12; column += 4) StoreCells<kH, kI, kD>(out, row, column, none);
  for (int row = 0; row < 13; ++row) {
    if (kH) (*out.H)[row][12] = 0;
    if (kI) (*out.I)[row][12] = 0;
    if (kD) (*out.D)[row][12] = 0;
  }
  return true;
}

}  // namespace avx2

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
                  const double* periods, Outputs out, MatrixPath path) {
  const int order = p < 1 ? 1 : (p > 12 ? 12 : p);
  const double* A = tables.harmony[order];
  const double* B = tables.dynamic[order];
  if (path == MatrixPath::Avx2 && avx2::Build<kH, kI, kD>(A, B, pos, motion, periods, out)) return;
  BuildPass<kH, kI, kD>(A, B, pos, motion, periods, out);
}

// The same, the matrices chosen by the pointers that are not null.
void Build(const WaveTables& tables, int p, const double* pos, const double* motion,
           const double* periods, Outputs out, MatrixPath path) {
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
const MatrixPath kProcessorPath = PathFor(core_detail::ProcessorHasAvx2());

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

MatrixPath PathFor(bool hasAvx2) { return hasAvx2 ? MatrixPath::Avx2 : MatrixPath::Sse2; }

MatrixPath DefaultMatrixPath() { return kProcessorPath; }

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
