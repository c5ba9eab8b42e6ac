#pragma once
// Everything one run of the matrix probability knows: what it read and
// asked, and what its control groups gave. The report, the significance
// files and the pictures are drawn from it alone.
#include "probability/control_groups.h"
#include "probability/family_tests.h"

// A date of the control period as the date dialogs give it.
struct PeriodDate {
  int year = 1900;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
};

struct MatrixProbabilityRun {
  ControlGroupSettings settings;  // c, order, self-correlation, n, period, weights
  GroupValues real;               // the event analysis' group
  int groups = 10000;             // G, control groups drawn
  int shiftDays = 0;              // the event analysis' time shift (printed only)
  int shiftHours = 0;
  PeriodDate start, end;
  ControlGroupCounts counts;
  ProbabilityResult result;
  FamilyTests tests;  // p-values, q-values and the family-wise test of every value
};
