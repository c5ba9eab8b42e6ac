// The lane helpers the core's passes are written over: on two and on
// four lanes each gives every lane the bits of the one-value function,
// also beside values that make the others step aside (past the 32-bit
// conversion, past 1e6 degrees, not a number, infinite, negative zero).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/lanes.h"

namespace {

using namespace core_detail;

std::vector<double> Values() {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  std::vector<double> v = {0.0,    -0.0,    359.99999999999994, 360.0,  -360.0, 180.0,  -180.0, 0.5,
                           -0.5,   2.5,     719.5,              1e6,    -1e6,   1.5e6,  4e11,   -7.7e11,
                           1e300,  -1e300,  nan,                -nan,   inf,    -inf,   4.9e-324, 123.456};
  for (int n = 0; n < 40; ++n) v.push_back((n - 20) * 47.123456789 + n * 1e-9);
  return v;
}

bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// What each helper gives, one value at a time and on the lane type V.
struct Results {
  double floor, reduced, cosine, sine, less;
};

template <class V>
CORE_LANE_INLINE void LaneResults(const double* x, const double* y, Results* out) {
  const V v = LoadLanes<V>(x), w = LoadLanes<V>(y);
  const V floor = Floor(v), reduced = Reduce360(v);
  const RotationLanes<V> r = DegreeRotation(v);
  const V less = IfLess(v, w, v - w, w - v);
  for (int l = 0; l < kLaneCount<V>; ++l)
    out[l] = {LaneOf(floor, l), LaneOf(reduced, l), LaneOf(r.c, l), LaneOf(r.s, l), LaneOf(less, l)};
}

void PairResults(const double* x, const double* y, Results* out) { LaneResults<Pair>(x, y, out); }
__attribute__((target("avx2"))) void QuadResults(const double* x, const double* y, Results* out) {
  LaneResults<Quad>(x, y, out);
}

template <int Lanes>
void ExpectLanesAsOne(void (*run)(const double*, const double*, Results*)) {
  const std::vector<double> v = Values();
  for (std::size_t first = 0; first + Lanes <= v.size(); ++first) {
    double x[Lanes], y[Lanes];
    for (int l = 0; l < Lanes; ++l) x[l] = v[first + l], y[l] = v[(first * 7 + l * 3) % v.size()];
    Results lanes[Lanes];
    run(x, y, lanes);
    for (int l = 0; l < Lanes; ++l) {
      const Rotation r = DegreeRotation(x[l]);
      EXPECT_TRUE(Same(lanes[l].floor, Floor(x[l]))) << Lanes << " lanes, " << x[l];
      EXPECT_TRUE(Same(lanes[l].reduced, Reduce360(x[l]))) << Lanes << " lanes, " << x[l];
      EXPECT_TRUE(Same(lanes[l].cosine, r.c)) << Lanes << " lanes, " << x[l];
      EXPECT_TRUE(Same(lanes[l].sine, r.s)) << Lanes << " lanes, " << x[l];
      EXPECT_TRUE(Same(lanes[l].less, IfLess(x[l], y[l], x[l] - y[l], y[l] - x[l]))) << x[l] << " " << y[l];
    }
  }
}

TEST(Lanes, EveryWidthGivesTheOneValueBits) {
  ExpectLanesAsOne<2>(PairResults);
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "no AVX2 on this processor: four lanes not checked";
  ExpectLanesAsOne<4>(QuadResults);
}

__attribute__((target("avx2"))) void QuadGather(const double* table, QuadIndex offset, double* first,
                                                double* second) {
  Quad a, b;
  GatherPairs(table, offset, a, b);
  StoreLanes(first, a);
  StoreLanes(second, b);
}

// Each lane's pair from its own offset, in any order, repeated or at the
// table's ends.
TEST(Lanes, GatherPairsTakesEachLanesPair) {
  double table[40];
  for (int i = 0; i < 40; ++i) table[i] = 1000 + i;
  const QuadIndex offsets[] = {{0, 1, 2, 3}, {38, 0, 38, 17}, {5, 5, 5, 5}, {30, 20, 10, 0}};
  for (const QuadIndex& o : offsets) {
    Pair a, b;
    GatherPairs(table, o, a, b);
    for (int l = 0; l < 2; ++l) {
      EXPECT_EQ(a[l], table[o[l]]);
      EXPECT_EQ(b[l], table[o[l] + 1]);
    }
    if (!ProcessorHasAvx2()) continue;
    double first[4], second[4];
    QuadGather(table, o, first, second);
    for (int l = 0; l < 4; ++l) {
      EXPECT_EQ(first[l], table[o[l]]);
      EXPECT_EQ(second[l], table[o[l] + 1]);
    }
  }
}

}  // namespace
