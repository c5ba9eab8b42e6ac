// The tests of one cell and of the family as plain functions of counts:
// p-values, exact intervals, q-values and the smallest-p test, with
// answers worked out by hand or published.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "probability/beta_distribution.h"
#include "probability/cell_tests.h"

namespace {

TEST(EmpiricalPValue, FromTheSmallerTailWithTheGroupCountedOnce) {
  // No control group reaches the group: the smallest p G groups can give.
  EXPECT_DOUBLE_EQ(EmpiricalPValue(0, 1000, 1000), 2.0 / 1001);
  EXPECT_DOUBLE_EQ(EmpiricalPValue(1000, 0, 1000), 2.0 / 1001);
  // A group equal to every control group, and one in the middle.
  EXPECT_EQ(EmpiricalPValue(1000, 1000, 1000), 1.0);
  EXPECT_EQ(EmpiricalPValue(500, 501, 1000), 1.0);
  // 24 of 999 at or above: 2 * 25 / 1000.
  EXPECT_DOUBLE_EQ(EmpiricalPValue(24, 976, 999), 0.05);
}

// Clopper and Pearson's exact 95 % bounds as the tables print them (four
// decimals), the edges exact.
TEST(ClopperPearson, AgreesWithPublishedBounds) {
  struct Case {
    int count, trials;
    double low, high;
  };
  const Case cases[] = {{0, 10, 0, 0.3085},      {5, 10, 0.1871, 0.8129},  {1, 10, 0.0025, 0.4450},
                        {9, 10, 0.5550, 0.9975}, {10, 10, 0.6915, 1},      {3, 20, 0.0321, 0.3789},
                        {0, 1, 0, 0.975},        {50, 100, 0.3983, 0.6017}};
  for (const Case& c : cases) {
    const ProportionInterval r = ClopperPearson(c.count, c.trials);
    EXPECT_NEAR(r.low, c.low, 5e-5) << c.count << " of " << c.trials;
    EXPECT_NEAR(r.high, c.high, 5e-5) << c.count << " of " << c.trials;
  }
  EXPECT_EQ(ClopperPearson(0, 10).low, 0.0);
  EXPECT_EQ(ClopperPearson(10, 10).high, 1.0);
  // 0 of n: the upper bound solves (1 - p)^n = 0.025.
  EXPECT_NEAR(ClopperPearson(0, 100000).high, 1 - std::pow(0.025, 1e-5), 1e-12);
  // No trials: nothing known.
  EXPECT_EQ(ClopperPearson(0, 0).low, 0.0);
  EXPECT_EQ(ClopperPearson(0, 0).high, 1.0);
}

TEST(ClopperPearson, LargeCountsHoldTheNormalWidthAndTheirSymmetry) {
  // 50 000 of 100 000: about 0.5 -+ 1.96 sqrt(0.25 / 100 000).
  const ProportionInterval r = ClopperPearson(50000, 100000);
  EXPECT_NEAR(r.low, 0.5 - 1.959964 * std::sqrt(0.25 / 1e5), 2e-5);
  EXPECT_NEAR(r.low + r.high, 1.0, 1e-9);
  const ProportionInterval a = ClopperPearson(37, 100000), b = ClopperPearson(100000 - 37, 100000);
  EXPECT_NEAR(a.low, 1 - b.high, 1e-10);
  EXPECT_NEAR(a.high, 1 - b.low, 1e-10);
}

TEST(Beta, KnownValuesAndTheInverse) {
  EXPECT_NEAR(RegularizedIncompleteBeta(0.5, 7, 7), 0.5, 1e-14);
  EXPECT_NEAR(RegularizedIncompleteBeta(0.3, 1, 1), 0.3, 1e-14);
  EXPECT_NEAR(RegularizedIncompleteBeta(0.3, 4, 1), std::pow(0.3, 4), 1e-14);
  EXPECT_NEAR(RegularizedIncompleteBeta(0.3, 1, 3), 1 - std::pow(0.7, 3), 1e-14);
  EXPECT_TRUE(std::isnan(RegularizedIncompleteBeta(0.5, 0, 1)));
  EXPECT_TRUE(std::isnan(BetaQuantile(NAN, 2, 3)));
  EXPECT_EQ(BetaQuantile(0, 2, 3), 0.0);
  EXPECT_EQ(BetaQuantile(1, 2, 3), 1.0);
  for (double a : {0.5, 1.0, 3.0, 250.0, 99999.0})
    for (double b : {1.0, 2.0, 40.0, 100001.0})
      for (double p : {1e-6, 0.025, 0.5, 0.975}) {
        const double x = BetaQuantile(p, a, b);
        EXPECT_NEAR(RegularizedIncompleteBeta(x, a, b), p, 1e-9 * std::max(p, 1e-3))
            << a << " " << b << " " << p;
      }
}

// m = 6; sorted p 0.005 0.01 0.03 0.04 0.04 0.5 give 6 p / rank 0.03 0.03
// 0.06 0.06 0.048 0.5, and the minimum from the top 0.03 0.03 0.048 0.048
// 0.048 0.5.
TEST(BenjaminiHochberg, AgreesWithAHandComputedList) {
  const std::vector<double> p{0.01, 0.04, 0.03, 0.005, 0.5, 0.04};
  const std::vector<double> q = BenjaminiHochberg(p);
  const std::vector<double> expected{0.03, 0.048, 0.048, 0.03, 0.5, 0.048};
  ASSERT_EQ(q.size(), expected.size());
  for (std::size_t i = 0; i < q.size(); ++i) EXPECT_NEAR(q[i], expected[i], 1e-15) << i;

  // Never above 1, never below p; none and one p-value.
  const std::vector<double> high = BenjaminiHochberg(std::vector<double>{0.9, 0.95, 1.0});
  for (double v : high) EXPECT_EQ(v, 1.0);
  EXPECT_TRUE(BenjaminiHochberg(std::vector<double>{}).empty());
  EXPECT_EQ(BenjaminiHochberg(std::vector<double>{0.2})[0], 0.2);
}

// Values 1 2 3 4 of four control groups and the group at 2.5: among the
// five values the smaller tail of 1 and 4 holds 1 value, of 2 and 3 two.
TEST(KeepSmallestTails, CountsEachControlGroupAmongTheOthersAndTheGroup) {
  std::vector<int> smallest(4, 5);
  KeepSmallestTails(std::vector<double>{4, 2, 1, 3}, 2.5, smallest);
  EXPECT_EQ(smallest, (std::vector<int>{1, 2, 1, 2}));
  // A later cell only lowers them.
  KeepSmallestTails(std::vector<double>{0, 0, 0, 0}, 0, smallest);
  EXPECT_EQ(smallest, (std::vector<int>{1, 2, 1, 2}));
  // All equal: each value is at both tails of all five (p = 1).
  std::vector<int> equal(4, 5);
  KeepSmallestTails(std::vector<double>{7, 7, 7, 7}, 7 + 0.5e-6, equal);
  EXPECT_EQ(equal, (std::vector<int>{5, 5, 5, 5}));
  // Ties among control groups count together; the group apart from them.
  std::vector<int> ties(5, 6);
  KeepSmallestTails(std::vector<double>{-1, -1, 3, -1, 8}, 100, ties);
  EXPECT_EQ(ties, (std::vector<int>{3, 3, 3, 3, 2}));
  // A NaN (a damaged weight) sorts above every number and breaks nothing.
  std::vector<int> nan(3, 4);
  KeepSmallestTails(std::vector<double>{NAN, 1, 2}, 1.5, nan);
  EXPECT_EQ(nan[1], 1);
  EXPECT_EQ(nan[2], 2);
}

// Four control groups whose smallest tails are 1 1 2 3 (p 0.4 0.4 0.8
// 1). A cell of tail 2 (p 0.8) is reached by three of them: adjusted
// (1 + 3) / 5; of tail 3 (p 1) by all; the global p is the smaller.
// The floor is a group's of tail 1: (1 + 2) / 5.
TEST(MaxStatisticTest, ConstructedCase) {
  const MaxStatisticResult r = MaxStatisticTest(std::vector<int>{2, 3}, {3, 1, 2, 1}, 4);
  ASSERT_EQ(r.adjusted.size(), 2u);
  EXPECT_DOUBLE_EQ(r.adjusted[0], 0.8);
  EXPECT_DOUBLE_EQ(r.adjusted[1], 1.0);
  EXPECT_DOUBLE_EQ(r.globalP, 0.8);
  // The two control groups at an edge tie with a group at the edge.
  EXPECT_DOUBLE_EQ(r.floor, 0.6);
  // A cell as extreme as none of the control groups: the smallest global p.
  EXPECT_DOUBLE_EQ(MaxStatisticTest(std::vector<int>{1}, {2, 2, 3, 2}, 4).globalP, 0.2);
  // No family: nothing against chance.
  EXPECT_EQ(MaxStatisticTest(std::vector<int>{}, {1, 1}, 2).globalP, 1.0);
}

// With G control groups the count of a group under chance is uniform on
// 0..G; the marks flag P <= 5 or P >= 95: with G = 100, the counts 0..5
// and 95..100, 12 of 101.
TEST(ChanceMarkShare, CountsTheMarkedCountsOfAUniformRank) {
  EXPECT_DOUBLE_EQ(ChanceMarkShare(100), 12.0 / 101);
  EXPECT_NEAR(ChanceMarkShare(10000), 0.1, 2e-4);
  EXPECT_EQ(ChanceMarkShare(0), 0.0);
}

}  // namespace
