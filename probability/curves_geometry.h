#pragma once
// Where the fluctuation curves lie on their page: the frame of one size
// unit kvformat, the x of each point, the height of one curve's band and
// each curve's baseline. The curves and their time axes are both drawn
// from these.

// Frame and curve geometry of one size unit kvformat: W = 8 kvformat,
// H = 6 kvformat, the curves from x0 = trunc(W 0.0625) to x1 = 7 kvformat.
struct FluctuationFrame {
  int width, height, x0, x1;
};
FluctuationFrame FluctuationFrameOf(int kvformat);

// x of point j of `points` (integer arithmetic; a single point sits at x0).
int CurveX(const FluctuationFrame& frame, int j, int points);

// Band height J, and the baseline of curve i, for body curves (kv13 1)
// and life-area curves (kv13 0).
int BandHeight(int frameHeight, int activeCurves, int kv13);
int Baseline(int band, int curve, int kv13);
