#pragma once
// The quantile-quantile picture of the family's p-values (pvalues.png):
// the i-th smallest of the m p-values against i / (m + 1), the p-value
// expected of it under chance, both on a -log10 scale, with the diagonal
// (chance) and the grey band where 95 % of the i-th smallest of m uniform
// p-values lie (the 2.5 % and 97.5 % quantiles of Beta(i, m + 1 - i)).
// Points of cells with q <= 0.05 are red, the others blue; a dotted line
// marks the smallest p-value the control groups can give, 2 / (G + 1).
#include <cstdint>
#include <vector>

#include "probability/family_tests.h"
#include "qzk/pixmap.h"

inline constexpr int kPValuePlotWidth = 900;
inline constexpr int kPValuePlotHeight = 940;
inline constexpr const char* kPValuePlotName = "pvalues.png";

// Where the plot's square lies and how far its axes reach (in -log10 p).
struct PValuePlotFrame {
  int left = 100, top = 90, side = 760;
  double range = 1;  // both axes run from 0 to range

  int X(double minusLog10) const;
  int Y(double minusLog10) const;
};

// The family's p-values, sorted, and the band (lower and upper p of the
// i-th smallest uniform p-value), all in order of rank.
struct PValueQuantiles {
  std::vector<double> observed;  // p_(1) <= .. <= p_(m)
  std::vector<bool> discovery;   // q <= 0.05
  std::vector<double> expected;  // i / (m + 1)
  std::vector<double> bandLow;   // 2.5 % quantile
  std::vector<double> bandHigh;  // 97.5 % quantile
};
PValueQuantiles QuantilesOf(const FamilyTests& tests);

// The frame for the quantiles: the range reaches the smallest of all
// p-values drawn, at least 10^-1.
PValuePlotFrame FrameFor(const PValueQuantiles& q, int groups);

// The picture in a new truecolor pixmap.
qzPixmap PValuePicture(const FamilyTests& tests, int groups);

// Writes it as pvalues.png in the working folder, whole or not at all;
// false (with "\n pvalues.png could not be written \n" on the current
// text page) when it cannot be written.
bool WritePValuePicture(const FamilyTests& tests, int groups);
