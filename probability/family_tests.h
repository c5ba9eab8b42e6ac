#pragma once
// The matrix probability's tests beyond the percentages: per table value
// its counts, interval, p-value and the control groups' mean, standard
// deviation and z; over the family its q-values, the adjusted p-values of
// the family-wise test and the global p-value. Filled from the counts
// and statistics of the control groups (control_statistics.h), printed by
// the report's second section, written to cells.csv and drawn in
// pvalues.png.
#include <vector>

#include "probability/table_cells.h"

struct CellTest {
  TableCell cell;
  double group = 0;         // the real group's value
  double controlMean = 0;   // of the control groups
  double controlSd = 0;     // sample standard deviation (G - 1)
  double z = 0;             // (group - mean) / sd; NaN where sd is 0
  int countGe = 0;          // control groups at or above the group
  int countLe = 0;          // at or below
  int groups = 0;           // G
  double percent = 0;       // the table's percentage
  double percentLow = 0;    // its exact 95 % interval, in percent
  double percentHigh = 100;
  double p = 1;             // two-sided, min(1, 2 min(k_ge + 1, k_le + 1) / (G + 1))
  int mark = 0;             // the table's mark (0, 1, 2)
  bool inFamily = false;
  double q = 0;             // Benjamini-Hochberg; NaN outside the family
  double pAdjusted = 0;     // single-step max statistic; NaN outside the family
};

struct FamilyTests {
  std::vector<CellTest> cells;  // every table value, in the report's order
  int familySize = 0;
  int marked = 0;               // family cells with a mark
  double chanceShare = 0;       // the share of cells marked under chance
  double globalP = 1;           // the family-wise test; 1 for an empty family
  double globalFloor = 1;       // the smallest global p these control groups allow
  int strongest = -1;           // the family cell of the smallest p (first of equals), -1 for none
};

class ControlStatistics;
class FamilyRanks;
struct ControlGroupCounts;
struct ProbabilityResult;

// The tests of a run whose control groups have all been counted and
// ranked (statistics finished, every pass of the ranks done).
FamilyTests TestFamily(const BodyWeights& weights, const ControlGroupCounts& counts,
                       const ProbabilityResult& result, const ControlStatistics& statistics,
                       const FamilyRanks& ranks);
