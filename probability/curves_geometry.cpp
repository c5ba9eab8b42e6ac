#include "probability/curves_geometry.h"

#include "probability/curve_set.h"

FluctuationFrame FluctuationFrameOf(int kvformat) {
  const int W = 8 * kvformat;
  return {W, 6 * kvformat, static_cast<int>(W * 0.0625), 7 * kvformat};
}

int CurveX(const FluctuationFrame& frame, int j, int points) {
  if (points <= 1) return frame.x0;
  const long long span = frame.x1 - frame.x0;
  return frame.x0 + static_cast<int>(span * j / (points - 1));
}

int BandHeight(int frameHeight, int activeCurves, int kv13) {
  return frameHeight / (activeCurves + (kv13 == 1 ? 3 : 1));
}

int Baseline(int band, int curve, int kv13) {
  if (kv13 == 1) return curve == kSumCurve ? 2 * band : (curve + 3) * band;
  return (curve + 1) * band;
}
