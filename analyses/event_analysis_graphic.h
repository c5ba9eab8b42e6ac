#pragma once
// The geometry of the comparison graphic "graphic continuum - group of
// events": per matrix kind a column of horizontal bars, one per body, all
// starting at the same left edge. The vertical line "CONTINUUM" stands at
// half the bar room; a bar ends there when the group's row sum equals the
// continuum's, further right when it is higher, further left when lower.
// Each column has its own scale: the largest of its continuum values and
// of its differences (absolute) is 90 % of the half room, so that a small
// difference from a large mean stays a small step from the line.

// Where things stand on the 2304 x 1500 page, in pixels: four columns
// (H, I, D, DA) from `left`, each `columnWidth` wide with `labelWidth` for
// the body names, then the bar room of 2 * half; rows of bars from `top`,
// one per body 0..c and then the total.
struct ComparisonLayout {
  int left, columnWidth, labelWidth, half;
  int top, rowHeight, barHeight;
  int BarX(int column) const { return left + column * columnWidth + labelWidth; }
  int LineX(int column) const { return BarX(column) + half; }
  int RowY(int row) const { return top + row * rowHeight; }
};
inline constexpr ComparisonLayout kComparisonLayout{40, 560, 110, 200, 200, 78, 30};

// The length of a bar in pixels, 0..2 * half, for a column's `scale`.
int ComparisonBarLength(double group, double continuum, double scale, int half);

// The scale of a column from its rows' group and continuum values.
double ComparisonScale(const double* group, const double* continuum, const bool* shown, int rows);
