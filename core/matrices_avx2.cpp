// The matrix builders four cells at a time (AVX2, no fused multiply-add:
// the same operations as the two-lane pass of matrices.cpp, lane by
// lane), for longitudes within 0..360, whole rows at once: row r's cells
// [r][0..3], [r][4..7] and [r][8..11] are three Quads (the columns'
// longitudes pos[0..3], pos[4..7] and pos[8], pos[9], pos[10], pos[10],
// whose last lane, column 11, is cleared before it is stored). The
// matrices are symmetric, so the blocks of 4 x 4 cells off the diagonal
// are computed once (rows 0..3 against columns 4..7, rows 8..10 against
// columns 0..3 and 4..7) and stored transposed as well; the 15 pairs
// inside the diagonal blocks are computed in four Quads and moved into
// their rows. Table values k and k + 1 are one unaligned 16-byte load.
//
// The helpers below are this file's own (internal), compiled for AVX2
// and inlined into the pass, the only function the rest of the core
// calls (and only where the processor has AVX2).
#include "core/lanes.h"
#include "core/matrices.h"
#include "core/self_value.h"
#include "core/side_by_side.h"

using namespace core_detail;

#pragma GCC push_options
#pragma GCC target("avx2")

namespace {

// trunc of each value by the rounding instruction itself, which does not
// wait on the conversion to integers beside it (toward zero, no
// exceptions).
CORE_LANE_INLINE Quad TruncByRounding(Quad x) { return __builtin_ia32_roundpd256(x, 0x0b); }

// Lanes of one Quad, by index.
template <int a, int b, int c, int d>
CORE_LANE_INLINE Quad Lanes(Quad v) {
  return __builtin_shufflevector(v, v, a, b, c, d);
}

// Lane i from `b` where bit i of the mask is set, else from `a`.
template <int kMask>
CORE_LANE_INLINE Quad Blend(Quad a, Quad b) {
  return __builtin_shufflevector(a, b, kMask & 1 ? 4 : 0, kMask & 2 ? 5 : 1, kMask & 4 ? 6 : 2, kMask & 8 ? 7 : 3);
}

// Lanes 8, 9, 10, 10 of an array of 11 doubles, nothing past [10] read.
CORE_LANE_INLINE Quad LastLanes(const double* p) { return Lanes<1, 2, 3, 3>(LoadLanes<Quad>(p + 7)); }

// Four cells of H (before the absolute of I) and of D.
struct Cells {
  Quad h, d;
};

// The cells of four pairs (i, j), the longitudes of the i side by side
// in `rows`, of the j in `columns`, for both cells of each pair. H is
// symmetric in the pair; D takes 10 t with the sign of pos[i] - pos[j]
// in both cells (see the two-lane pass), so the i are the pairs' smaller
// indexes.
template <bool kHI, bool kD>
CORE_LANE_INLINE Cells FourCells(const double* A, const double* B, Quad rows, Quad columns) {
  const Quad e = rows - columns;
  const Quad x = Abs(e) * 50;
  const QuadIndex k = TruncIndex(x);
  const Quad f = x - TruncByRounding(x);
  Cells out{Quad{}, Quad{}};
  if (kHI) {
    Quad a0, a1;
    GatherPairs(A, k, a0, a1);
    out.h = 0.0 + 10 * (a0 + (a1 - a0) * f);
  }
  if (kD) {
    Quad b0, b1;
    GatherPairs(B, k, b0, b1);
    const Quad t = b0 + (b1 - b0) * f;
    const QuadMask sign = reinterpret_cast<QuadMask>(e) & INT64_MIN;
    out.d = 0.0 + 10 * reinterpret_cast<Quad>(reinterpret_cast<QuadMask>(t) ^ sign);
  }
  return out;
}

template <bool kH, bool kI, bool kD>
CORE_LANE_INLINE void StoreCells(const MatrixOutputs& out, int row, int column, const Cells& c) {
  if (kH) StoreLanes(&(*out.H)[row][column], c.h);
  if (kI) StoreLanes(&(*out.I)[row][column], Abs(c.h));
  if (kD) StoreLanes(&(*out.D)[row][column], c.d);
}

// Four rows of four cells (named, not an array, so that they stay in
// registers).
struct Four {
  Quad r0, r1, r2, r3;
};

CORE_LANE_INLINE Four Transpose(const Four& v) {
  const Quad t0 = __builtin_shufflevector(v.r0, v.r1, 0, 4, 2, 6);
  const Quad t1 = __builtin_shufflevector(v.r0, v.r1, 1, 5, 3, 7);
  const Quad t2 = __builtin_shufflevector(v.r2, v.r3, 0, 4, 2, 6);
  const Quad t3 = __builtin_shufflevector(v.r2, v.r3, 1, 5, 3, 7);
  return {__builtin_shufflevector(t0, t2, 0, 1, 4, 5), __builtin_shufflevector(t1, t3, 0, 1, 4, 5),
          __builtin_shufflevector(t0, t2, 2, 3, 6, 7), __builtin_shufflevector(t1, t3, 2, 3, 6, 7)};
}

// Rows `row` .. `row` + kCount - 1 of H, I and D at column `column`.
template <bool kH, bool kI, bool kD, int kCount>
CORE_LANE_INLINE void StoreRows(const MatrixOutputs& out, int row, int column, const Four& h, const Four& d) {
  StoreCells<kH, kI, kD>(out, row, column, Cells{h.r0, d.r0});
  StoreCells<kH, kI, kD>(out, row + 1, column, Cells{h.r1, d.r1});
  StoreCells<kH, kI, kD>(out, row + 2, column, Cells{h.r2, d.r2});
  if constexpr (kCount == 4) StoreCells<kH, kI, kD>(out, row + 3, column, Cells{h.r3, d.r3});
}

// The cells of rows 0..3 against columns 4..7, and their transpose.
template <bool kH, bool kI, bool kD>
CORE_LANE_INLINE void FirstBlock(const double* A, const double* B, const double* pos, Quad columns,
                                 const MatrixOutputs& out) {
  constexpr bool kHI = kH || kI;
  const Cells c0 = FourCells<kHI, kD>(A, B, SplatLanes<Quad>(pos[0]), columns);
  const Cells c1 = FourCells<kHI, kD>(A, B, SplatLanes<Quad>(pos[1]), columns);
  const Cells c2 = FourCells<kHI, kD>(A, B, SplatLanes<Quad>(pos[2]), columns);
  const Cells c3 = FourCells<kHI, kD>(A, B, SplatLanes<Quad>(pos[3]), columns);
  const Four h{c0.h, c1.h, c2.h, c3.h}, d{c0.d, c1.d, c2.d, c3.d};
  StoreRows<kH, kI, kD, 4>(out, 0, 4, h, d);
  StoreRows<kH, kI, kD, 4>(out, 4, 0, kHI ? Transpose(h) : h, kD ? Transpose(d) : d);
}

// The cells of rows 8..10 against the four columns 4 kBlock .. (their
// longitudes in `columns`, the smaller indexes of the pairs), and their
// transpose with a row of zeros for column 11: rows 4 kBlock .. against
// columns 8..11.
template <bool kH, bool kI, bool kD, int kBlock>
CORE_LANE_INLINE void LastRowsBlock(const double* A, const double* B, const double* pos, Quad columns,
                                    const MatrixOutputs& out) {
  constexpr bool kHI = kH || kI;
  const Cells c8 = FourCells<kHI, kD>(A, B, columns, SplatLanes<Quad>(pos[8]));
  const Cells c9 = FourCells<kHI, kD>(A, B, columns, SplatLanes<Quad>(pos[9]));
  const Cells c10 = FourCells<kHI, kD>(A, B, columns, SplatLanes<Quad>(pos[10]));
  const Four h{c8.h, c9.h, c10.h, Quad{}}, d{c8.d, c9.d, c10.d, Quad{}};
  StoreRows<kH, kI, kD, 3>(out, 8, 4 * kBlock, h, d);
  StoreRows<kH, kI, kD, 4>(out, 4 * kBlock, 8, kHI ? Transpose(h) : h, kD ? Transpose(d) : d);
}

// Rows 4 q .. 4 q + 3 of a diagonal block of four bodies, from the
// cells `v` of its pairs (0,1) (0,2) (0,3) (1,2) and lanes kW, kW + 1 of
// `w` holding (1,3) (2,3), the diagonal from `self`.
template <int kW>
CORE_LANE_INLINE Four FourRows(Quad v, Quad w, Quad self) {
  return {Blend<1>(Lanes<0, 0, 1, 2>(v), self),
          Blend<2>(Blend<8>(Lanes<0, 0, 3, 3>(v), Lanes<kW, kW, kW, kW>(w)), self),
          Blend<4>(Blend<8>(Lanes<1, 3, 3, 3>(v), Lanes<kW + 1, kW + 1, kW + 1, kW + 1>(w)), self),
          Blend<8>(Blend<1>(Lanes<kW, kW, kW + 1, kW + 1>(w), Lanes<2, 2, 2, 2>(v)), self)};
}

// Rows 8..10 of the last diagonal block from the cells `v` of its pairs
// (8,9) (8,10) (9,10), the diagonal and column 11 from `self`.
CORE_LANE_INLINE Four ThreeRows(Quad v, Quad self) {
  return {Blend<1 | 8>(Lanes<0, 0, 1, 1>(v), self), Blend<2 | 8>(Lanes<0, 0, 2, 2>(v), self),
          Blend<4 | 8>(Lanes<1, 2, 2, 2>(v), self), self};
}

// The diagonal blocks: their 15 pairs in four Quads, (0,1) (0,2) (0,3)
// (1,2) of bodies 0..3, the same of bodies 4..7, then (1,3) (2,3) of
// both, and (8,9) (8,10) (9,10) (9,10 again); each pair's smaller index
// on the row side.
template <bool kH, bool kI, bool kD>
CORE_LANE_INLINE void DiagonalBlocks(const double* A, const double* B, const Quad (&cols)[3],
                                     const Cells (&self)[3], const MatrixOutputs& out) {
  constexpr bool kHI = kH || kI;
  const Cells first = FourCells<kHI, kD>(A, B, Lanes<0, 0, 0, 1>(cols[0]), Lanes<1, 2, 3, 2>(cols[0]));
  const Cells second = FourCells<kHI, kD>(A, B, Lanes<0, 0, 0, 1>(cols[1]), Lanes<1, 2, 3, 2>(cols[1]));
  const Cells both = FourCells<kHI, kD>(A, B, Blend<12>(Lanes<1, 2, 1, 2>(cols[0]), Lanes<1, 2, 1, 2>(cols[1])),
                                        Blend<12>(Lanes<3, 3, 3, 3>(cols[0]), Lanes<3, 3, 3, 3>(cols[1])));
  const Cells last = FourCells<kHI, kD>(A, B, Lanes<0, 0, 1, 1>(cols[2]), Lanes<1, 2, 2, 2>(cols[2]));
  StoreRows<kH, kI, kD, 4>(out, 0, 0, FourRows<0>(first.h, both.h, self[0].h),
                           FourRows<0>(first.d, both.d, self[0].d));
  StoreRows<kH, kI, kD, 4>(out, 4, 4, FourRows<2>(second.h, both.h, self[1].h),
                           FourRows<2>(second.d, both.d, self[1].d));
  StoreRows<kH, kI, kD, 3>(out, 8, 8, ThreeRows(last.h, self[2].h), ThreeRows(last.d, self[2].d));
}

// The diagonal cells of bodies 4 v .. 4 v + 3: H's 0 + 10 SelfValue (the
// IC's 0), D's 0 + (c P) m with c = 10 for the Sun, 100 for the Moon
// (whose motion is taken as 1, exactly) and -10 for the others.
template <bool kHI, bool kD, int v>
CORE_LANE_INLINE Cells SelfCells(Quad longitudes, const double* motion, const double* periods) {
  Cells c{Quad{}, Quad{}};
  if (kHI) {
    c.h = 0.0 + 10 * SelfValuesInTurn(longitudes, 4 * v);
    if (v == 2) c.h = Blend<4 | 8>(c.h, Quad{});  // the IC and column 11
  }
  if (kD) {
    const Quad m = v == 2 ? LastLanes(motion) : LoadLanes<Quad>(motion + 4 * v);
    const Quad P = v == 2 ? LastLanes(periods) : LoadLanes<Quad>(periods + 4 * v);
    const Quad factor = v == 0 ? Quad{10, 100, -10, -10} : SplatLanes<Quad>(-10);
    const Quad motions = v == 0 ? Blend<2>(m, SplatLanes<Quad>(1)) : m;
    c.d = 0.0 + (factor * P) * motions;
    if (v == 2) c.d = Blend<8>(c.d, Quad{});  // column 11
  }
  return c;
}

}  // namespace

#pragma GCC pop_options

namespace core_detail {

// Everything inlined (flatten), so that the values stay in registers.
template <bool kH, bool kI, bool kD>
__attribute__((target("avx2"), noinline, flatten)) bool MatricesInQuads(const double* A, const double* B,
                                                                        const double* pos, const double* motion,
                                                                        const double* periods, MatrixOutputs out) {
  constexpr bool kHI = kH || kI;
  const Quad cols[3] = {LoadLanes<Quad>(pos), LoadLanes<Quad>(pos + 4), LastLanes(pos)};
  auto inTurn = [](Quad v) CORE_INLINE_LAMBDA { return v >= 0 && v <= 360; };
  if (!All(inTurn(cols[0]) && inTurn(cols[1]) && inTurn(cols[2]))) return false;

  // The diagonal first: its chain of operations is the longest.
  const Cells self[3] = {SelfCells<kHI, kD, 0>(cols[0], motion, periods),
                         SelfCells<kHI, kD, 1>(cols[1], motion, periods),
                         SelfCells<kHI, kD, 2>(cols[2], motion, periods)};
  FirstBlock<kH, kI, kD>(A, B, pos, cols[1], out);
  LastRowsBlock<kH, kI, kD, 0>(A, B, pos, cols[0], out);
  LastRowsBlock<kH, kI, kD, 1>(A, B, pos, cols[1], out);
  DiagonalBlocks<kH, kI, kD>(A, B, cols, self, out);
  // Rows 11 and 12 and column 12 hold no terms.
  const Cells none{Quad{}, Quad{}};
  for (int row = 11; row < 13; ++row)
    for (int column = 0; column < 12; column += 4) StoreCells<kH, kI, kD>(out, row, column, none);
  for (int row = 0; row < 13; ++row) {
    if (kH) (*out.H)[row][12] = 0;
    if (kI) (*out.I)[row][12] = 0;
    if (kD) (*out.D)[row][12] = 0;
  }
  return true;
}

template bool MatricesInQuads<true, true, true>(const double*, const double*, const double*, const double*,
                                                const double*, MatrixOutputs);
template bool MatricesInQuads<true, false, false>(const double*, const double*, const double*, const double*,
                                                  const double*, MatrixOutputs);
template bool MatricesInQuads<false, true, false>(const double*, const double*, const double*, const double*,
                                                  const double*, MatrixOutputs);
template bool MatricesInQuads<false, false, true>(const double*, const double*, const double*, const double*,
                                                  const double*, MatrixOutputs);

}  // namespace core_detail
