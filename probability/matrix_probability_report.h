#pragma once
// The matrix probability's results as text and files: the four tables of
// the report (the real matrix and its matrix of the probability of error,
// for H, I, D and DA) and the significance files.
#include <string>
#include <vector>

#include "analyses/workfile_set.h"
#include "analyses/workfiles.h"
#include "probability/matrix_probability_run.h"

// The whole report of the result page, sections H, I, D, DA.
std::string ProbabilityReport(const MatrixProbabilityRun& run);
// One kind's section of it.
std::string ProbabilityReportSection(const MatrixProbabilityRun& run, MatrixKind kind);

// A cell is blank ("    *   ") when its weight product is 0, and on the
// diagonal without self-correlation.
bool BlankCell(const ControlGroupSettings& settings, int i, int j);

// The significance file of a kind and its values: per row 0..c the marks
// of columns 0..c + 1.
const WorkFile& SignificanceFile(MatrixKind kind);
std::vector<int> SignificanceValues(const ProbabilityResult& result, MatrixKind kind, int c);
// Puts the four files into the module's set.
void PutSignificanceFiles(const MatrixProbabilityRun& run, WorkfileSet& files);
