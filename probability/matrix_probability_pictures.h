#pragma once
// The matrix probability's pictures, drawn on the current graphic page
// (2304 x 1500, cleared white by the caller):
//  - the significance picture of H or I: one box per cell, row sum and
//    total, white at 50 %, turning red towards 0 % and blue towards 100 %,
//    grey where the cell does not count;
//  - the bar chart of one kind's row sums, beside the totals of all four.
#include <cstdint>

#include "probability/matrix_probability_run.h"

inline constexpr int kPictureWidth = 2304;
inline constexpr int kPictureHeight = 1500;
inline constexpr uint32_t kNotCountedGrey = 0x969696;  // (150, 150, 150)

// The colour of a percentage in the significance picture.
uint32_t PercentColour(double percent);

void DrawSignificancePicture(const MatrixProbabilityRun& run, MatrixKind kind);
void DrawLineSumChart(const MatrixProbabilityRun& run, MatrixKind kind);
