#include "probability/record_curves.h"

#include "data/run_journal.h"

void NoteCurves(MatrixKind kind, const CurveSet& curves, double startJd, double stepDays) {
  if (!JournalOpen()) return;
  for (int m = 0; m < curves.points; ++m) {
    const double jd = startJd + m * stepDays;
    JournalNoteCurvePoint({jd, curves[kSumCurve][m], KindName(kind), kRowSum});
    for (int body = 0; body <= 10; ++body) JournalNoteCurvePoint({jd, curves[body + 1][m], KindName(kind), body});
  }
}
