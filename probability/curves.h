#pragma once
// The curve plots of the time-series modules: drawFluctuationCurves for the
// planetary fluctuations (time quality) and drawResonanceCurves for the
// resonance curve. Both draw on the current graphic target (the caller
// selects and clears the page with GraphicOutput) and print their
// diagnostic lines on the current text page; all texts on the page go
// through TextAt (top edge 13 pixels above the given y).
//
// The geometry that the drawing uses is exposed as small pure functions so
// that it can be checked without a page (the frame, bands and baselines in
// curves_geometry.h).
#include <array>

#include "analyses/matrix_kind.h"
#include "probability/curve_set.h"
#include "probability/curves_geometry.h"

// ---- drawFluctuationCurves ------------------------------------------------
// Variant A (without the IC curve wanted): half-height curves, a double
// frame. Variant B: full-height curves, a single frame.
enum class FluctuationVariant { A, B };

// The largest and the smallest absolute value of each curve (curves not
// looked at keep the start values 0 and 10000).
struct CurveExtremes {
  std::array<double, kCurveCount> maximum;
  std::array<double, kCurveCount> minimum;
};
CurveExtremes AbsoluteExtremes(const CurveSet& curves, int points, int curveCount);

// 12 curves (sum .. IC) are drawn, or 11 when the IC curve never reaches
// 0.01 in absolute value.
int ActiveCurveCount(const CurveExtremes& extremes);

// y of a body-curve value in pass k (1..): the curve scaled by its extremes,
// gain 3 for the sum, 0.5 in variant A. A curve whose largest absolute
// value is 0 (or a value that is no number) lies on its baseline.
int BodyCurveY(FluctuationVariant variant, int baseline, int band, int curve, int pass,
               double value, double minimum, double maximum);
// Number of passes that draw curve i (the sum is drawn as a band of
// slightly shrinking copies).
int CurvePasses(int curve, int activeCurves);

// Waits for one key press after an argument warning.
using KeyWait = void (*)();
void WaitForAnyKey();

// Draws the curves, their labels, the time axes (tlk 0 several years,
// 1 one year, 2 one month, 3 one day), the frame and the captions, and
// saves the page as "Zeitqj.bmp" (tlk 0, 1), "Zeitqm.bmp" (2) or
// "Zeitqt.bmp" (3). Bad arguments are printed and confirmed by a key press
// (waitForKey), then drawn as they are.
void drawFluctuationCurves(FluctuationVariant variant, int order, const CurveSet& curves,
                           const CurveColours& colours, int kv13, int kvformat, int tlk,
                           double startJd, double stepDays, int points, int years,
                           KeyWait waitForKey = WaitForAnyKey);

// The picture name of a time-axis kind, nullptr for none.
const char* FluctuationPictureName(int tlk);

// The curve labels drawn at the right end of the bands.
extern const std::array<const char*, kCurveCount> kBodyCurveLabels;
extern const std::array<const char*, kCurveCount> kLifeAreaCurveLabels;

// ---- drawResonanceCurves --------------------------------------------------
inline constexpr int kResonancePoints = 2300;

// The normalisation of the resonance curves, in place: for I and DA each
// curve's mean is taken away; then every curve is divided by its largest
// value (I, DA) or largest absolute value (H, D), unless that is 0.
// Curves 0..11 of kResonancePoints points.
struct ResonanceScale {
  std::array<double, 12> mean{};     // 0 for H and D
  std::array<double, 12> maximum{};
};
ResonanceScale NormaliseResonanceCurves(CurveSet& curves, MatrixKind kind);

// y of a normalised value: the sum around 130 (gain 100), body curve i
// around 185 + 95 i (gain 50).
int ResonanceY(int curve, double value);
int ResonanceBaseline(int curve);

// Prints the curves before and after each step of the normalisation,
// normalises them in place and draws the traces, bars, labels and the time
// axis (tlk 1 more years, 2 one year, 3 one month, 4 one day) of
// kResonancePoints points; x pixel j shows point j. The diagnostic lines
// name the kind by its page.
void drawResonanceCurves(CurveSet& curves, const CurveColours& colours, int tlk, MatrixKind kind,
                         double startJd, double stepDays, double years);
