#pragma once
// The matrix probability's second report section, after the four tables
// on the result page: how many cells were tested, how many the tables'
// marks flag and how many chance alone would, the cells whose false-
// discovery q-value is at most 0.05 (matrix, bodies, group value, control
// mean, z, p, q, adjusted p), and the family-wise test in plain words.
#include <string>

#include "probability/matrix_probability_run.h"

inline constexpr double kDiscoveryLevel = 0.05;

std::string ChanceReport(const MatrixProbabilityRun& run);

// The verdict of a global p-value: "strong evidence", "evidence" or "no
// evidence" "of a correlation beyond chance" at 0.01, 0.05 and above.
const char* GlobalVerdict(double globalP);
