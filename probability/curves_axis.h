#pragma once
// The time axes of the fluctuation curves: tick marks on every curve band
// and at the top and bottom edge of the frame, and the date labels along
// the top, for each time-axis kind.
#include "probability/curves_geometry.h"

struct FluctuationAxis {
  FluctuationFrame frame;
  int band;          // band height J
  int activeCurves;  // bands drawn (11 or 12)
  int kv13;          // 1 body curves, 0 life-area curves
  int tlk;           // 0 several years, 1 one year, 2 one month, 3 one day
  double startJd;
  double stepDays;
  int points;
  int years;
  const char* failureLine = "Fehler: kleiner Teiler  \n";  // printed per point for another tlk
};

void DrawFluctuationTimeAxis(const FluctuationAxis& axis);
