#include "probability/curves.h"

#include <cmath>
#include <vector>

#include "app/output.h"
#include "core/calendar.h"
#include "probability/curves_axis.h"
#include "probability/figure_labels.h"
#include "qzk/events.h"
#include "qzk/graphic.h"

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kLifeAreaBlue = 0x0080FF;  // (0, 128, 255)

// A pixel coordinate from a computed value, truncated toward zero; far
// outside the page it is held at a bound that every drawing call clips.
int TruncPixel(double v) {
  if (v > 1e6) return 1000000;
  if (v < -1e6) return -1000000;
  return static_cast<int>(v);
}

// The argument checks; true when one failed (each prints its line).
bool WarnArguments(int kvformat, int kv13, double startJd, double stepDays) {
  bool failed = false;
  if (kvformat < 10) {
    PrintOut(" WARNUNG!! Das Format hat eine geringe Auflösung: kvformat<10  \n");
    failed = true;
  }
  if (kvformat > 200) {
    PrintOut(" WARNUNG!! Das Format ist zu groß: kvformat>200  \n");
    failed = true;
  }
  if (kv13 < 0 || kv13 > 1) {
    PrintOut(" WARNUNG!! kv13 kann nur 0 oder 1 betragen  \n");
    failed = true;
  }
  if (startJd < stepDays) {
    PrintOut(" WARNUNG!! Fehler im Julianischem Datum !!   \n");
    failed = true;
  }
  return failed;
}

void PrintExtremes(const CurveExtremes& e, int count) {
  for (int i = 0; i < count; ++i) PrintOut("i: %i max: %f  \n", i, e.maximum[i]);
  PrintOut(" \n");
  for (int i = 0; i < count; ++i) PrintOut("i: %i min: %f  \n", i, e.minimum[i]);
}

void DrawBodyCurve(FluctuationVariant variant, const FluctuationFrame& f, const CurveSet& curves,
                   const CurveColours& colours, const CurveExtremes& e, int i, int band,
                   int active, int points) {
  const int L = Baseline(band, i, 1);
  const double* v = curves[i];
  const uint32_t own = PackedColour(colours[i]);
  for (int k = 1, passes = CurvePasses(i, active); k <= passes; ++k) {
    for (int j = 0; j < points; ++j) {
      const int x = CurveX(f, j, points);
      const int y = BodyCurveY(variant, L, band, i, k, v[j], e.minimum[i], e.maximum[i]);
      const uint32_t colour = i == kSumCurve ? (v[j] >= 0 ? kRed : kBlue) : own;
      if (j == 0)
        qzgraphic_moveto(x, y);
      else
        qzgraphic_lineto(x, y, colour);
    }
  }
  qzgraphic_line(f.x0, L, f.x1, L, kBlack);
  TextAt(f.x1 + 5, L + 5, kBlue, "%s", kBodyCurveLabels[i]);
}

void DrawLifeAreaCurve(const FluctuationFrame& f, const CurveSet& curves,
                       const CurveColours& colours, const CurveExtremes& e, int i, int band,
                       int points) {
  const int L = Baseline(band, i, 0);
  const double* v = curves[i];
  const uint32_t colour = PackedColour(colours[i]);
  for (int j = 0; j < points; ++j) {
    const int x = CurveX(f, j, points);
    int y = L;
    if (e.maximum[i] != 0 && std::isfinite(v[j]))
      y = TruncPixel(L - v[j] * (band - 5) / e.maximum[i] * 0.5);
    if (j == 0)
      qzgraphic_moveto(x, y);
    else
      qzgraphic_lineto(x, y, colour);
  }
  qzgraphic_line(f.x0, L, f.x1, L, kBlack);
  TextAt(f.x1 + 5, L + 5, i <= 2 ? kLifeAreaBlue : kBlue, "%s", kLifeAreaCurveLabels[i]);
}

// The value scales in the margin left of the curves: for every band the
// value of its baseline and one value above it inside the band (the
// largest value, or the one halfway to it, a quarter of the way ...), each
// with a tick, wherever a label finds room between the ones before. The
// sum's band reaches up to the time axis, the others half-way to the band
// above.
class ValueScales {
 public:
  explicit ValueScales(const FluctuationFrame& f) : f_(f) {}

  // y of the value in band i.
  using ValueY = int (*)(FluctuationVariant, int band, int curve, int baseline, double value,
                         const CurveExtremes& e);

  void Draw(FluctuationVariant variant, const CurveExtremes& e, int band, int active, int kv13, ValueY y) {
    for (int i = 0; i < active; ++i) {
      // Body curves lie on their smallest size, life-area curves on 0.
      Place(Baseline(band, i, kv13), Low(e, i, kv13));
    }
    for (int i = 0; i < active; ++i) {
      const int L = Baseline(band, i, kv13);
      const double low = Low(e, i, kv13), high = e.maximum[i];
      if (!(high > low)) continue;
      const int room = i == kSumCurve && kv13 == 1 ? L - kTopLimit - kLabelHeight : band * 11 / 20;
      for (int k = 0; k < 5; ++k) {
        const double v = low + (high - low) / (1 << k);
        const int at = y(variant, band, i, L, v, e);
        if (L - at <= room && L - at >= kLabelHeight + 2) {
          Place(at, v);
          break;
        }
      }
    }
  }

 private:
  static constexpr int kTopLimit = 40;  // below the time axis's labels

  static double Low(const CurveExtremes& e, int i, int kv13) {
    return kv13 == 1 && e.minimum[i] <= e.maximum[i] ? e.minimum[i] : 0;
  }

  void Place(int y, double value) {
    const int top = y - kLabelHeight / 2;
    if (top < kTopLimit || top + kLabelHeight > f_.height - 14) return;
    for (int used : used_)
      if (top < used + kLabelHeight + 2 && used < top + kLabelHeight + 2) return;
    used_.push_back(top);
    qzgraphic_line(f_.x0 - 6, y, f_.x0 - 2, y, kBlack);
    LabelEndingAt(f_.x0 - 8, top, kBlack, ValueLabel(value));
  }

  const FluctuationFrame& f_;
  std::vector<int> used_;
};

int BodyValueY(FluctuationVariant variant, int band, int curve, int baseline, double value, const CurveExtremes& e) {
  return BodyCurveY(variant, baseline, band, curve, 1, value, e.minimum[curve], e.maximum[curve]);
}

int LifeAreaValueY(FluctuationVariant, int band, int curve, int baseline, double value, const CurveExtremes& e) {
  return TruncPixel(baseline - value * (band - 5) / e.maximum[curve] * 0.5);
}

void DrawFrame(FluctuationVariant variant, const FluctuationFrame& f) {
  // Corner to corner, both corners on the outline.
  if (variant == FluctuationVariant::A) {
    qzgraphic_rect(1, 1, f.width, f.height, kBlack);
    qzgraphic_rect(2, 2, f.width, f.height, kBlack);
  } else {
    qzgraphic_rect(0, 0, f.width, f.height, kBlack);
  }
}

// The captions right of the frame and the picture file of the time axis.
void DrawCaptions(const FluctuationFrame& f, int order, int kvformat, int tlk, double startJd,
                  double stepDays, int points) {
  const int h = static_cast<int>(kvformat * 0.5);
  const int W = f.width;
  TextAt(W, h + 30, kBlack, " Order of the correlation: %d", order);
  TextAt(W, h, kBlue, " fluctuations:");
  const int y = h + 120;
  const CalendarDate start = CalendarFromJulian(startJd);
  const CalendarDate last = CalendarFromJulian(startJd + (points - 1) * stepDays);
  switch (tlk) {
    case 0: {
      const CalendarDate end = CalendarFromJulian(startJd + points * stepDays);
      TextAt(W, y, kBlack, " GMT Start: %d. %d. %d End: %d. %d. %d", start.day, start.month,
             start.year, end.day, end.month, end.year);
      break;
    }
    case 1:
      TextAt(W, y, kBlack, " GMT year: %d ", start.year);
      break;
    case 2:
      TextAt(W, y, kBlack, " month: %d", last.month);
      TextAt(W + 150, y, kBlack, "GMT year: %d", start.year);
      break;
    case 3:
      TextAt(W, y, kBlack, " day: %d", last.day);
      TextAt(W + 120, y, kBlack, "month: %d", last.month);
      TextAt(W + 240, y, kBlack, "GMT year: %d", start.year);
      break;
    default:
      PrintOut("ERROR: to small divide  \n");
      return;
  }
  const char* name = FluctuationPictureName(tlk);
  if (!qzgraphic_savepicture("%s", name)) PrintOut("\n %s could not be written \n", name);
}

}  // namespace

const std::array<const char*, kCurveCount> kBodyCurveLabels{
    "  S U M ", "   Sun",    "   Moon",  "   Mercury", "   Venus", "   Mars", "   Jupiter",
    "   Saturn", "   Uranus", "   Neptune", "   Pluto", "   IC",   "XIII"};

const std::array<const char*, kCurveCount> kLifeAreaCurveLabels{
    " Arbeit-g ", " Arbeit-k",  " Beruf",    " Partnerschaft", " Freundschaften",
    " Risiken",   " Wohnungswechsel", " Recht", " Prüfungen",  " Reisen",
    " Meditation", " Umbrüche", " XIII"};

CurveExtremes AbsoluteExtremes(const CurveSet& curves, int points, int curveCount) {
  CurveExtremes e;
  e.maximum.fill(0.0);
  e.minimum.fill(10000.0);
  for (int i = 0; i < curveCount && i < kCurveCount; ++i) {
    const double* v = curves[i];
    for (int j = 0; j < points; ++j) {
      const double a = std::fabs(v[j]);
      if (a > e.maximum[i]) e.maximum[i] = a;
      if (a < e.minimum[i]) e.minimum[i] = a;
    }
  }
  return e;
}

int ActiveCurveCount(const CurveExtremes& extremes) {
  return extremes.maximum[kIcCurve] < 0.01 ? 11 : 12;
}

int BodyCurveY(FluctuationVariant variant, int baseline, int band, int curve, int pass,
               double value, double minimum, double maximum) {
  if (maximum == 0 || !std::isfinite(value) || !std::isfinite(maximum)) return baseline;
  const double s = 100.0 / (0.8 * pass + 99.0);
  const double f = curve == kSumCurve ? 3.0 : 1.0;
  const double g = variant == FluctuationVariant::A ? 0.5 : 1.0;
  return TruncPixel(baseline - (value - minimum) * (band - 5) * s * f * g / maximum);
}

int CurvePasses(int curve, int activeCurves) {
  return curve == kSumCurve ? 44 - 2 * activeCurves : 1;
}

void WaitForAnyKey() {
  // A key that no widget used comes as its code (below the release offset).
  while (qzrunning()) {
    const int e = qzwait_event();
    if (e == 0 || (e > 0 && e < 512)) return;
  }
}

const char* FluctuationPictureName(int tlk) {
  switch (tlk) {
    case 0:
    case 1:
      return "Zeitqj.bmp";
    case 2:
      return "Zeitqm.bmp";
    case 3:
      return "Zeitqt.bmp";
    default:
      return nullptr;
  }
}

void drawFluctuationCurves(FluctuationVariant variant, int order, const CurveSet& curves,
                           const CurveColours& colours, int kv13, int kvformat, int tlk,
                           double startJd, double stepDays, int points, int years,
                           KeyWait waitForKey) {
  PrintOut(" \n");
  if (WarnArguments(kvformat, kv13, startJd, stepDays)) {
    PrintOut("\n  weiter mit beliebiger Taste...  \n");
    if (waitForKey) waitForKey();
  }
  // Never read past the curves' own length.
  if (points > curves.points) points = curves.points;
  if (points < 0) points = 0;

  const CurveExtremes e = AbsoluteExtremes(curves, points, 12);
  PrintExtremes(e, 12);
  const int active = ActiveCurveCount(e);
  PrintOut("kv13: %i kvaktiv: %i  tlk: %i \n", kv13, active, tlk);

  const FluctuationFrame f = FluctuationFrameOf(kvformat);
  const int band = BandHeight(f.height, active, kv13);
  qzgraphic_clear(kWhite);
  for (int i = 0; i < active; ++i) {
    if (kv13 == 1)
      DrawBodyCurve(variant, f, curves, colours, e, i, band, active, points);
    else
      DrawLifeAreaCurve(f, curves, colours, e, i, band, points);
  }

  FluctuationAxis axis{f, band, active, kv13, tlk, startJd, stepDays, points, years};
  axis.failureLine = variant == FluctuationVariant::A && kv13 == 1 ? "failure: small divider  \n"
                                                                    : "Fehler: kleiner Teiler  \n";
  DrawFluctuationTimeAxis(axis);
  ValueScales(f).Draw(variant, e, band, active, kv13, kv13 == 1 ? BodyValueY : LifeAreaValueY);
  DrawFrame(variant, f);
  DrawCaptions(f, order, kvformat, tlk, startJd, stepDays, points);
}
