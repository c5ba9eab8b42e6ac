#pragma once
// How much each body counts in a group analysis: a weight per body, the
// last body that takes part (the IC or Pluto) and whether a body's
// correlation with itself counts. The continuum, the event analysis and
// the matrix probability weight cell (l, g) of every matrix by the same
// PairWeight, so that their sums can be compared.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

// Sun .. Pluto, the IC and one spare slot, in Body order.
inline constexpr int kWeightSlots = 12;
using WeightTable = std::array<double, kWeightSlots>;

inline constexpr WeightTable kEqualWeights{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// The largest weight a body may have, of either sign. A pair counts with
// the product of two weights, at most 1e12; a matrix cell is below 1e4
// (ten times a wave value, or a body's period times its daily motion), so
// the largest sum a module forms and writes, a member's total over 121
// cells, stays below 2e18: finite, and its "%f" text (at most 26
// characters) fits the 100-byte line a reader of the working files takes.
// The gravity table's largest weight is 57.2.
inline constexpr double kMaxBodyWeight = 1e6;

// The first of `count` weights that is not a finite number within
// kMaxBodyWeight, or -1 when all are.
inline int FirstBadWeight(const double* weights, int count) {
  for (int i = 0; i < count; ++i)
    if (!(weights[i] >= -kMaxBodyWeight && weights[i] <= kMaxBodyWeight)) return i;
  return -1;
}

// After a weights dialog: true when the `count` weights are finite numbers
// within kMaxBodyWeight; otherwise prints
//     "\n ERROR! The weight of Sun, nan, is not a number within -1000000..1000000 \n"
// on the current text page (`labels` name the bodies), reports the module
// as failed and returns false: the module ends with its files as they were.
bool WeightsFit(const double* weights, int count, const std::vector<std::string>& labels);

struct BodyWeights {
  int lastBody = 10;             // c: 10 with the IC, 9 without
  bool selfCorrelation = false;  // the diagonal counts
  WeightTable body = kEqualWeights;
};

// The factor of cell (l, g): w_l * w_g, and 0 on the diagonal without
// self-correlation.
constexpr double PairWeight(const BodyWeights& weights, int l, int g) {
  if (l == g && !weights.selfCorrelation) return 0.0;
  return weights.body[static_cast<std::size_t>(l)] * weights.body[static_cast<std::size_t>(g)];
}
