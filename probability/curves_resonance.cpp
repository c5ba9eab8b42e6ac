// drawResonanceCurves: the resonance curves of one kind, normalised and
// drawn one x pixel per point on a 2304-wide page.
#include <cmath>
#include <string>

#include "app/output.h"
#include "core/calendar.h"
#include "probability/curves.h"
#include "probability/figure_labels.h"
#include "qzk/graphic.h"

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kYearBar = 0xA0A0AA;   // (160, 160, 170)
constexpr uint32_t kPeriodBar = 0x969696;  // (150, 150, 150)
constexpr int kResonanceCurves = 12;
constexpr int kShownValues = 10;

void PrintFirstValues(const CurveSet& curves, const char* format) {
  for (int i = 0; i < kResonanceCurves; ++i) {
    PrintOut(" \n ");
    for (int j = 0; j < kShownValues; ++j) PrintOut(format, i, curves[i][j]);
  }
}

int TruncPixel(double v) {
  if (!std::isfinite(v)) return 0;
  if (v > 1e6) return 1000000;
  if (v < -1e6) return -1000000;
  return static_cast<int>(v);
}

void DrawTrace(const CurveSet& curves, const CurveColours& colours, int i, int offset) {
  const double* v = curves[i];
  const uint32_t own = PackedColour(colours[i]);
  for (int j = 0; j < kResonancePoints; ++j) {
    const int y = ResonanceY(i, v[j]) + offset;
    const uint32_t colour = i == kSumCurve ? (v[j] >= 0 ? kRed : kBlue) : own;
    if (j == 0)
      qzgraphic_moveto(j, y);
    else
      qzgraphic_lineto(j, y, colour);
  }
}

void DrawTimeAxis(int tlk, double startJd, double stepDays, double years) {
  if (tlk < 1 || tlk > 4) {
    PrintOut("Fehler: kleiner Teiler  \n");
    return;
  }
  const CalendarDate start = CalendarFromJulian(startJd);
  CalendarDate previous = start;
  for (int j = 0; j < kResonancePoints; ++j) {
    const CalendarDate d = CalendarFromJulian(startJd + j * stepDays);
    if (tlk == 1) {
      if (j == 0) TextAt(600, 25, kBlack, "more years %i to ", d.year);
      if (j == kResonancePoints - 1) TextAt(830, 25, kBlack, "%i", d.year);
      if (j > 0 && d.year != previous.year) {
        if (years > 50)
          TextAt(j + 2, 45, kBlack, "%i", d.year - start.year);
        else
          TextAt(j, 45, kBlack, "%d", d.year);
        TextAt(j + 2, 1285, kBlack, "%i", d.year - start.year);
        qzgraphic_fillrect(j, 40, 2, 1271, kYearBar);
      }
    } else {
      if (j == 600) {
        if (tlk == 2) TextAt(600, 25, kBlack, "year %i ", d.year);
        if (tlk == 3) TextAt(600, 25, kBlack, "year %i month %i", d.year, d.month);
        if (tlk == 4) TextAt(600, 25, kBlack, "year %i month %i day %i", d.year, d.month, d.day);
      }
      const int now = tlk == 2 ? d.month : tlk == 3 ? d.day : d.hour;
      const int before = tlk == 2 ? previous.month : tlk == 3 ? previous.day : previous.hour;
      if (j > 0 && now != before) {
        const char* format = tlk == 2 ? " %d " : " %d";
        TextAt(j, 45, kBlack, format, now);
        TextAt(j, 1285, kBlack, format, now);
        qzgraphic_fillrect(j, 40, 2, 1271, kPeriodBar);
      }
    }
    previous = d;
  }
}

// The key below the page's frame, where the curves leave room: every curve
// by its colour and name, with what its band's scale stands for.
void DrawResonanceKey(const CurveColours& colours, const ResonanceScale& scale, bool centred) {
  constexpr int kTop = 1312, kRowStep = 32, kColumnWidth = 576, kLeft = 10;
  for (int i = 0; i < kResonanceCurves; ++i) {
    const int x = kLeft + (i % 4) * kColumnWidth, top = kTop + (i / 4) * kRowStep;
    if (i == kSumCurve) {
      qzgraphic_fillrect(x, top + 10, 15, 4, kRed);
      qzgraphic_fillrect(x + 15, top + 10, 15, 4, kBlue);
    } else {
      qzgraphic_fillrect(x, top + 10, 30, 4, PackedColour(colours[i]));
    }
    std::string text = i == kSumCurve ? "sum" : kBodyCurveLabels[i] + 3;
    // Centred, the band's scale is the largest rise above the mean, which
    // may be smaller than the mean itself: it is written as a rise.
    if (centred) text += "  mean " + ValueLabel(scale.mean[i]) + "  rise up to +" + ValueLabel(scale.maximum[i]);
    else text += "  largest " + ValueLabel(scale.maximum[i]);
    TextAt(x + 38, top + 13, kBlack, "%s", text.c_str());
  }
  TextAt(kLeft, kTop + 3 * kRowStep + 21, kBlack, "%s",
         centred ? "A curve lies on its line at its mean; 50 pixels above it (100 for the sum) lie the mean "
                   "plus its largest rise above the mean."
                 : "A curve lies on its line at 0; 50 pixels above and below it (100 for the sum) lie its "
                   "largest size, plus and minus. The sum is red at or above 0, blue below.");
}

}  // namespace

ResonanceScale NormaliseResonanceCurves(CurveSet& curves, MatrixKind kind) {
  ResonanceScale scale;
  const bool centred = KindIsAbsolute(kind);
  if (centred) {
    for (int i = 0; i < kResonanceCurves; ++i) {
      double* v = curves[i];
      double sum = 0;
      for (int j = 0; j < kResonancePoints; ++j) sum += v[j];
      scale.mean[i] = sum * (1.0 / kResonancePoints);
      for (int j = 0; j < kResonancePoints; ++j) v[j] -= scale.mean[i];
    }
  }
  for (int i = 0; i < kResonanceCurves; ++i) {
    double* v = curves[i];
    double m = 0;
    for (int j = 0; j < kResonancePoints; ++j) {
      const double a = centred ? v[j] : std::fabs(v[j]);
      if (a > m) m = a;
    }
    scale.maximum[i] = m;
    if (m != 0)
      for (int j = 0; j < kResonancePoints; ++j) v[j] /= m;
  }
  return scale;
}

int ResonanceBaseline(int curve) { return curve == kSumCurve ? 130 : 185 + 95 * curve; }

int ResonanceY(int curve, double value) {
  if (curve == kSumCurve) return TruncPixel(130 - value * 100);
  return TruncPixel(185 + 95 * curve - value * 50);
}

void drawResonanceCurves(CurveSet& curves, const CurveColours& colours, int tlk, MatrixKind kind,
                         double startJd, double stepDays, double years) {
  if (curves.points < kResonancePoints) {
    // Too short a set cannot be normalised over its 2300 points.
    PrintOut("\n resonance curves need %d points, not %d \n", kResonancePoints, curves.points);
    return;
  }
  if (startJd < stepDays) PrintOut("\n WARNUNG!! Fehler im Julianischem Datum !!   \n");
  PrintOut(" \n\n  **graphic** %i \n\n", KindPage(kind));
  PrintOut(" \n Kurven nicht normiert");
  PrintFirstValues(curves, "%i %2.3f");

  const bool centred = KindIsAbsolute(kind);
  ResonanceScale scale = NormaliseResonanceCurves(curves, kind);
  if (centred) {
    if (kind == MatrixKind::I)
      for (int i = 0; i < kResonanceCurves; ++i)
        PrintOut("i: %i middi: %f %f \n", i, scale.mean[i], scale.mean[i] * kResonancePoints);
    // The centred values before the division by the maximum.
    PrintOut(" \n Kurven normiert auf Mittelwert");
    for (int i = 0; i < kResonanceCurves; ++i) {
      const double m = scale.maximum[i] != 0 ? scale.maximum[i] : 1.0;
      PrintOut(" \n ");
      for (int j = 0; j < kShownValues; ++j) PrintOut("%i %2.3f", i, curves[i][j] * m);
    }
  }
  for (int i = 0; i < kResonanceCurves; ++i)
    PrintOut("i: %i max: %2.2f kv %2.2f\n", i, scale.maximum[i], scale.mean[i]);
  PrintOut(" \n");
  for (int i = 0; i < kResonanceCurves; ++i) PrintOut("i: %i max: %f  \n", i, scale.maximum[i]);
  PrintOut(" \n Kurven normiert auf Maximalwert\n");
  PrintFirstValues(curves, "%i %2.3f ");

  for (int i = 0; i < kResonanceCurves; ++i) {
    DrawTrace(curves, colours, i, 0);
    DrawTrace(curves, colours, i, i == kSumCurve ? 5 : 2);
    qzgraphic_fillrect(2, ResonanceBaseline(i), 2304, 2, kBlack);
  }
  TextAt(2150, 112, kBlue, "   S U M  ");
  for (int i = 1; i < kResonanceCurves; ++i) TextAt(2150, 197 + 95 * i, kBlue, "%s", kBodyCurveLabels[i]);
  DrawTimeAxis(tlk, startJd, stepDays, years);
  DrawResonanceKey(colours, scale, centred);
}
