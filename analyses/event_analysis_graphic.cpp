// The comparison bar graphic of the event analysis on graphic page 3.
#include "analyses/event_analysis_graphic.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analyses/event_analysis.h"
#include "app/output.h"
#include "qzk/font.h"
#include "qzk/graphic.h"

namespace {

constexpr int kWidth = 2304, kHeight = 1500;
constexpr uint32_t kBlack = 0x000000, kGrey = 0x909090, kLightGrey = 0xE8E8E8;

struct KindStyle {
  const char* heading;
  uint32_t colour;
};
constexpr PerKind<KindStyle> kKindStyles{{
    {"*** Harmony", 0x0000FF},
    {"*** Energy", 0xFF0000},
    {"*** Dynamic", 0x00A000},
    {"*** Dynamic abs", 0x00A0A0},
}};

constexpr std::array<const char*, kBodies> kBodyLabels{"SUN",    "MOON",   "MERCURY", "VENUS",  "MARS", "JUPITER",
                                                       "SATURN", "URANUS", "NEPTUN",  "PLUTO", "IC"};

constexpr const ComparisonLayout& L = kComparisonLayout;
constexpr int kLeft = L.left, kHalf = L.half, kTop = L.top, kBarHeight = L.barHeight;

void DrawColumn(MatrixKind kind, const EventAnalysisParams& p, const EventGroupResult& group) {
  const int column = KindIndex(kind);
  const int x0 = L.left + column * L.columnWidth;
  const int c = p.settings.weights.lastBody;
  const KindStyle& style = kKindStyles[kind];
  qzgraphic_text(x0, 120, style.colour, "%s", style.heading);

  // Rows 0..c are the bodies, row c + 1 the matrix total.
  std::array<double, kBodies + 1> g{}, k{};
  std::array<bool, kBodies + 1> shown{};
  for (int b = 0; b <= c; ++b) {
    g[b] = group.rowSum[kind][b];
    k[b] = p.continuumRow[kind][b];
    shown[b] = p.settings.weights.body[b] != 0.0;
  }
  g[c + 1] = group.total[kind];
  k[c + 1] = p.continuumSum[kind];
  shown[c + 1] = true;
  // The total has its own scale: it is the sum of all the rows.
  const double scale = ComparisonScale(g.data(), k.data(), shown.data(), c + 1);
  const double scaleTotal = ComparisonScale(&g[c + 1], &k[c + 1], &shown[c + 1], 1);

  const int xb = L.BarX(column);
  const int xLine = L.LineX(column);
  for (int r = 0; r <= c + 1; ++r) {
    const int y = L.RowY(r);
    qzgraphic_text(x0, y + 3, r <= c ? kBlack : style.colour, "%s", r <= c ? kBodyLabels[r] : "SUM");
    qzgraphic_fillrect(xb, y, 2 * kHalf, kBarHeight, kLightGrey);
    if (!shown[r]) {
      qzgraphic_text(xb + 8, y + 3, kGrey, "weight 0");
      continue;
    }
    const int length = ComparisonBarLength(g[r], k[r], r <= c ? scale : scaleTotal, kHalf);
    qzgraphic_fillrect(xb, y, length, kBarHeight, style.colour);
    qzgraphic_text(xb, y + kBarHeight + 4, kBlack, "%.2f", g[r]);
    qzgraphic_text(xLine + 12, y + kBarHeight + 4, kGrey, "%.2f", k[r]);
  }
  const int bottom = L.RowY(c + 2);
  qzgraphic_fillrect(xLine - 1, kTop - 30, 3, bottom - kTop + 20, kBlack);
  qzgraphic_text(xLine - 54, kTop - 58, kBlack, "CONTINUUM");
}

void DrawLegend(int y) {
  for (MatrixKind kind : kMatrixKinds)
    qzgraphic_fillrect(kLeft + 62 * KindIndex(kind), y, 60, kBarHeight, kKindStyles[kind].colour);
  qzgraphic_text(kLeft + 262, y + 3, kBlack, "group: the group's row sum (number left of the line)");
  qzgraphic_fillrect(kLeft + 1000, y - 10, 3, kBarHeight + 20, kBlack);
  qzgraphic_text(kLeft + 1020, y + 3, kBlack, "CONTINUUM: the continuum's row sum (grey number right of the line)");
}

}  // namespace

int ComparisonBarLength(double group, double continuum, double scale, int half) {
  const double difference = group - continuum;
  if (!(scale > 0) || !std::isfinite(difference)) return half;
  const double length = half + 0.9 * half * difference / scale;
  return static_cast<int>(std::clamp(length, 0.0, 2.0 * half));
}

double ComparisonScale(const double* group, const double* continuum, const bool* shown, int rows) {
  double scale = 0;
  for (int r = 0; r < rows; ++r)
    if (shown[r]) scale = std::max({scale, std::fabs(group[r] - continuum[r]), std::fabs(continuum[r])});
  return std::isfinite(scale) ? scale : 0.0;
}

void DrawEventComparison(const EventAnalysisParams& p, const EventGroupResult& group) {
  GraphicOutput(3, kWidth, kHeight, 0xFFFFFF);
  qzgraphic_selectfont(qzfont_builtin("builtin 12x24"));
  qzgraphic_text(kLeft, 30, 0x0000FF, "graphic continuum - group of events");
  qzgraphic_text(900, 30, kBlack, "order: %i   members: %i   time shift d: %i h: %i", p.settings.order,
                 static_cast<int>(group.members.size()), p.settings.dayShift, p.settings.hourShift);
  for (MatrixKind kind : kMatrixKinds) DrawColumn(kind, p, group);

  const int y = L.RowY(p.settings.weights.lastBody + 2) + 30;
  DrawLegend(y);
  qzgraphic_text(kLeft, y + 60, kBlack,
                 "If a bar extends beyond the line for the continuum, the individual value is higher than the "
                 "average value for the selected time period.");
  qzgraphic_text(kLeft, y + 95, kBlack, "Thus, a long blue bar indicates a harmony above the average.");
  qzgraphic_text(kLeft, y + 130, kGrey,
                 "Each column has its own scale: its largest continuum value or difference from the continuum "
                 "reaches 90 %% of the way from the line to the edge.");
}
