#pragma once
// How much each body counts in a group analysis: a weight per body, the
// last body that takes part (the IC or Pluto) and whether a body's
// correlation with itself counts. The continuum, the event analysis and
// the matrix probability weight cell (l, g) of every matrix by the same
// PairWeight, so that their sums can be compared.
#include <array>
#include <cstddef>

// Sun .. Pluto, the IC and one spare slot, in Body order.
inline constexpr int kWeightSlots = 12;
using WeightTable = std::array<double, kWeightSlots>;

inline constexpr WeightTable kEqualWeights{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

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
