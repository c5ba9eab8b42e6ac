// The weights and the four matrix kinds that the group analyses share.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analyses/body_weights.h"
#include "analyses/matrix_kind.h"

namespace {

BodyWeights Weights(bool self) {
  BodyWeights w;
  w.selfCorrelation = self;
  w.body = {0.1, 0.3, -1.5, 0, 2, 1, 1, 1, 1, 1, 57.2, 0.2};
  return w;
}

}  // namespace

TEST(PairWeight, OffTheDiagonalTheProductWithOrWithoutSelfCorrelation) {
  for (bool self : {false, true}) {
    const BodyWeights w = Weights(self);
    EXPECT_EQ(PairWeight(w, 0, 1), 0.1 * 0.3);
    EXPECT_EQ(PairWeight(w, 1, 0), 0.1 * 0.3);
    EXPECT_EQ(PairWeight(w, 2, 4), -3.0) << "a negative weight keeps its sign";
    EXPECT_EQ(PairWeight(w, 3, 10), 0.0) << "a body of weight 0 counts nowhere";
    EXPECT_EQ(PairWeight(w, 10, 11), 57.2 * 0.2) << "the spare slot is read like any other";
  }
}

TEST(PairWeight, TheDiagonalCountsOnlyWithSelfCorrelation) {
  const BodyWeights with = Weights(true), without = Weights(false);
  EXPECT_EQ(PairWeight(with, 2, 2), 2.25);
  EXPECT_EQ(PairWeight(with, 10, 10), 57.2 * 57.2);
  for (int b = 0; b < kWeightSlots; ++b) EXPECT_EQ(PairWeight(without, b, b), 0.0) << b;
  EXPECT_EQ(PairWeight(with, 3, 3), 0.0);
  // A weight whose square overflows still leaves the diagonal out (the
  // product times a 0/1 switch would give no number at all).
  BodyWeights huge = without;
  huge.body[5] = 1e200;
  EXPECT_EQ(PairWeight(huge, 5, 5), 0.0);
  huge.selfCorrelation = true;
  EXPECT_TRUE(std::isinf(PairWeight(huge, 5, 5)));
}

TEST(MatrixKind, NamesPagesAndOrder) {
  std::string names;
  int page = 0;
  for (MatrixKind k : kMatrixKinds) {
    names += std::string(KindName(k)) + " ";
    EXPECT_EQ(KindPage(k), ++page);
    EXPECT_EQ(KindIndex(k), page - 1);
  }
  EXPECT_EQ(names, "H I D DA ");
  EXPECT_FALSE(KindIsAbsolute(MatrixKind::H));
  EXPECT_TRUE(KindIsAbsolute(MatrixKind::I));
  EXPECT_FALSE(KindIsAbsolute(MatrixKind::D));
  EXPECT_TRUE(KindIsAbsolute(MatrixKind::DA));

  // Values per kind lie in that order, as they are written out in one run.
  PerKind<int> v = {1, 2, 3, 4};
  v[MatrixKind::DA] = 40;
  EXPECT_EQ(v.of[3], 40);
  EXPECT_EQ(v[MatrixKind::I], 2);
  EXPECT_EQ(v.end() - v.begin(), kMatrixKindCount);
}
