// The arctangent of a quotient with one double division (the table entry
// chosen from the single-precision quotient): close to the library's, and
// the same bits for one value, two lanes and four lanes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/chart.h"
#include "core/lanes.h"

using namespace core_detail;

namespace {

struct Case {
  double num, den;
};

// Quotients on both sides of the table's half steps (where the float and
// the double quotient may choose different entries), the ends of the
// range, and values the floats cannot hold.
std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (int k = 0; k < 64; ++k) {
    const double t = (k + 0.5) / 64;
    for (double d : {-1e-9, -1e-15, 0.0, 1e-15, 1e-9})
      for (double den : {1.0, 3.7, 0.013, 41.5}) {
        cases.push_back({(t + d) * den, den});
        cases.push_back({-(t + d) * den, den});
      }
  }
  for (double den : {1.0, 2.5e-3, 47.0}) {
    cases.push_back({den, den});
    cases.push_back({-den, den});
    cases.push_back({0.0, den});
    cases.push_back({-0.0, den});
    cases.push_back({1e-300 * den, den});
  }
  cases.push_back({3e38, 3.5e38});      // beyond the floats
  cases.push_back({1e300, 1e300});
  cases.push_back({2e-46, 3e-46});      // below the floats
  cases.push_back({1e-310, 2e-310});
  return cases;
}

__attribute__((target("avx2"))) void QuadValues(const Case* c, double* out) {
  const Quad num = {c[0].num, c[1].num, c[2].num, c[3].num};
  const Quad den = {c[0].den, c[1].den, c[2].den, c[3].den};
  StoreLanes(out, AtanOfQuotient(num, den));
}

TEST(AtanOfQuotient, NearTheLibraryAndTheSameOnEveryWidth) {
  const std::vector<Case> cases = Cases();
  for (const Case& c : cases) {
    const double one = AtanOfQuotient(c.num, c.den);
    EXPECT_NEAR(one, std::atan(c.num / c.den), 4e-16) << c.num << " / " << c.den;
    // The sign of the quotient (a zero of either sign gives +0, as AtanOfUnit does).
    if (c.num != 0) {
      EXPECT_EQ(std::signbit(one), std::signbit(c.num)) << c.num << " / " << c.den;
    }
  }
  // Neighbours of every kind beside each other, in both orders.
  for (std::size_t first = 0; first + 1 < cases.size(); ++first) {
    const Pair two = AtanOfQuotient(Pair{cases[first].num, cases[first + 1].num},
                                    Pair{cases[first].den, cases[first + 1].den});
    const double a = AtanOfQuotient(cases[first].num, cases[first].den);
    const double b = AtanOfQuotient(cases[first + 1].num, cases[first + 1].den);
    EXPECT_EQ(std::memcmp(&two[0], &a, sizeof a), 0) << first;
    EXPECT_EQ(std::memcmp(&two[1], &b, sizeof b), 0) << first;
  }
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "no AVX2 on this processor: four lanes not checked";
  for (std::size_t first = 0; first + 4 <= cases.size(); ++first) {
    double four[4];
    QuadValues(&cases[first], four);
    for (int l = 0; l < 4; ++l) {
      const double one = AtanOfQuotient(cases[first + l].num, cases[first + l].den);
      EXPECT_EQ(std::memcmp(&four[l], &one, sizeof one), 0) << first << " lane " << l;
    }
  }
}

TEST(AtanOfQuotient, NotANumberStaysNotANumber) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(std::isnan(AtanOfQuotient(nan, 1.0)));
  EXPECT_TRUE(std::isnan(AtanOfQuotient(0.0, 0.0)));
  const Pair two = AtanOfQuotient(Pair{nan, 0.5}, Pair{1.0, 1.0});
  EXPECT_TRUE(std::isnan(two[0]));
  EXPECT_EQ(two[1], AtanOfQuotient(0.5, 1.0));
}

// HalfAngle with the one-division arctangent: the quadrants and the null
// vector as the library's half-angle form gives them.
TEST(AtanOfQuotient, HalfAngleQuadrants) {
  for (double X : {1.0, -1.0, 0.0, 1e-12, -3.5})
    for (double Y : {0.0, -0.0, 1.0, -1.0, 1e-12, -2.0}) {
      const double length = std::sqrt(X * X + Y * Y);
      const double expected = HalfAngleLongitude(X, Y);
      EXPECT_NEAR(HalfAngle(X, Y, length), expected, 1e-15) << X << ", " << Y;
    }
}

}  // namespace
