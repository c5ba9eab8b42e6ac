#pragma once
// The curves of a module as rows of the run's record (data/run_journal.h):
// every point of the sum curve and of the curves of Sun .. IC, at
// startJd + m * stepDays.
#include "analyses/matrix_kind.h"
#include "probability/curve_set.h"

void NoteCurves(MatrixKind kind, const CurveSet& curves, double startJd, double stepDays);
