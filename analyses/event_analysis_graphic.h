#pragma once
// The geometry of the comparison graphic "graphic continuum - group of
// events": per matrix kind a column of horizontal bars, one per body, all
// starting at the same left edge. The vertical line "CONTINUUM" stands at
// half the bar room; a bar ends there when the group's row sum equals the
// continuum's, further right when it is higher, further left when lower.
// Within a column the largest difference reaches 90 % of the half room.

// The length of a bar in pixels, 0..2 * half.
int ComparisonBarLength(double group, double continuum, double largestDifference, int half);
