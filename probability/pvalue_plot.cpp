#include "probability/pvalue_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <numeric>
#include <string>

#include "app/output.h"
#include "probability/beta_distribution.h"
#include "probability/chance_report.h"
#include "qzk/font.h"
#include "qzk/picture_file.h"
#include "qzk/pixmap_draw.h"
#include "qzk/png.h"
#include "qzk/vformat.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBandGrey = 0xD9D9D9;
constexpr uint32_t kChanceLine = 0x404040;
constexpr uint32_t kFloorGrey = 0x808080;
constexpr uint32_t kPointBlue = 0x1F4FBF;
constexpr uint32_t kPointRed = 0xD01010;
constexpr int kPointRadius = 3;

double MinusLog10(double p) { return -std::log10(std::max(p, 1e-300)); }

int Font(const char* name) {
  const int font = qzfont_user(name);
  return font ? font : qzfont_default();
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = qzvformat(format, args);
  va_end(args);
  return text;
}

void Centred(qzPixmap& p, int x, int y, int font, uint32_t colour, const std::string& text) {
  qzfont_drawtext(p, x - qzfont_textwidth(font, text.c_str()) / 2, y, font, colour, text.c_str());
}

// The band between the ranks, column by column, edges interpolated
// linearly in -log10 p.
void DrawBand(qzPixmap& p, const PValuePlotFrame& f, const PValueQuantiles& q) {
  const std::size_t m = q.expected.size();
  auto column = [&](int x, double low, double high) {
    const int yTop = f.Y(low), yBottom = f.Y(high);
    qzpxmap_fillrect(p, x, yTop, 1, yBottom - yTop + 1, kBandGrey);
  };
  for (std::size_t i = 0; i < m; ++i) {
    const double x0 = MinusLog10(q.expected[i]);
    const double low0 = MinusLog10(q.bandLow[i]), high0 = MinusLog10(q.bandHigh[i]);
    column(f.X(x0), low0, high0);
    if (i + 1 == m) break;
    const double x1 = MinusLog10(q.expected[i + 1]);
    const double low1 = MinusLog10(q.bandLow[i + 1]), high1 = MinusLog10(q.bandHigh[i + 1]);
    for (int x = f.X(x1); x < f.X(x0); ++x) {
      const double v = (x - f.left) * f.range / f.side;
      const double t = x0 > x1 ? (v - x1) / (x0 - x1) : 0;
      column(x, low1 + t * (low0 - low1), high1 + t * (high0 - high1));
    }
  }
}

void DrawAxes(qzPixmap& p, const PValuePlotFrame& f) {
  const int font = Font("sans 14");
  qzpxmap_rect(p, f.left, f.top, f.side + 1, f.side + 1, kBlack);
  for (int k = 0; k <= static_cast<int>(f.range); ++k) {
    const std::string label = k == 0 ? "1" : Format("%g", std::pow(10.0, -k));
    const int x = f.X(k), y = f.Y(k);
    qzpxmap_line(p, x, f.top + f.side, x, f.top + f.side + 6, kBlack);
    Centred(p, x, f.top + f.side + 10, font, kBlack, label);
    qzpxmap_line(p, f.left - 6, y, f.left, y, kBlack);
    qzfont_drawtext(p, f.left - 10 - qzfont_textwidth(font, label.c_str()),
                    y - qzfont_height(font) / 2, font, kBlack, label.c_str());
  }
  Centred(p, f.left + f.side / 2, f.top + f.side + 36, font, kBlack,
          "p-value expected under chance (uniform order statistics)");
  qzfont_drawtext(p, 10, f.top - 28, font, kBlack, "observed p-value");
}

}  // namespace

int PValuePlotFrame::X(double minusLog10) const {
  return left + static_cast<int>(std::lround(minusLog10 / range * side));
}

int PValuePlotFrame::Y(double minusLog10) const {
  return top + side - static_cast<int>(std::lround(minusLog10 / range * side));
}

PValueQuantiles QuantilesOf(const FamilyTests& tests) {
  std::vector<const CellTest*> family;
  for (const CellTest& t : tests.cells)
    if (t.inFamily) family.push_back(&t);
  std::stable_sort(family.begin(), family.end(),
                   [](const CellTest* a, const CellTest* b) { return a->p < b->p; });
  PValueQuantiles q;
  const double m = static_cast<double>(family.size());
  for (std::size_t i = 0; i < family.size(); ++i) {
    const double rank = static_cast<double>(i + 1);
    q.observed.push_back(family[i]->p);
    q.discovery.push_back(family[i]->q <= kDiscoveryLevel);
    q.expected.push_back(rank / (m + 1));
    q.bandLow.push_back(BetaQuantile(0.025, rank, m + 1 - rank));
    q.bandHigh.push_back(BetaQuantile(0.975, rank, m + 1 - rank));
  }
  return q;
}

PValuePlotFrame FrameFor(const PValueQuantiles& q, int groups) {
  double reach = 1;
  for (double v : q.observed) reach = std::max(reach, MinusLog10(v));
  for (double v : q.bandLow) reach = std::max(reach, MinusLog10(v));
  if (groups > 0) reach = std::max(reach, MinusLog10(2.0 / (groups + 1.0)));
  PValuePlotFrame f;
  f.range = std::ceil(reach * 2 + 0.1) / 2;
  return f;
}

qzPixmap PValuePicture(const FamilyTests& tests, int groups) {
  qzPixmap p;
  qzpxmap_alloc(p, kPValuePlotWidth, kPValuePlotHeight, QZ_PX_TRUECOLOR);
  qzpxmap_clear(p, kWhite);
  const PValueQuantiles q = QuantilesOf(tests);
  const PValuePlotFrame f = FrameFor(q, groups);

  const int title = Font("sans 20"), small = Font("sans 14");
  Centred(p, kPValuePlotWidth / 2, 12, title, kBlack,
          Format("p-values of the %zu tested cells against chance", q.observed.size()));
  Centred(p, kPValuePlotWidth / 2, 44, small, kBlack,
          Format("grey: 95 %% band under chance;  red: q <= %.2f;  global p = %.4g",
                 kDiscoveryLevel, tests.globalP));

  DrawBand(p, f, q);
  qzpxmap_line(p, f.X(0), f.Y(0), f.X(f.range), f.Y(f.range), kChanceLine);
  if (groups > 0) {
    const int y = f.Y(MinusLog10(2.0 / (groups + 1.0)));
    for (int x = f.left; x <= f.left + f.side; x += 8) qzpxmap_line(p, x, y, x + 3, y, kFloorGrey);
    qzfont_drawtext(p, f.left + 8, y - qzfont_height(small) - 2, small, kFloorGrey,
                    Format("smallest p of %i control groups", groups).c_str());
  }
  DrawAxes(p, f);
  // The larger p-values first, so that the smallest lie on top.
  for (std::size_t i = q.observed.size(); i-- > 0;) {
    const uint32_t colour = q.discovery[i] ? kPointRed : kPointBlue;
    qzpxmap_ellipse(p, f.X(MinusLog10(q.expected[i])), f.Y(MinusLog10(q.observed[i])),
                    kPointRadius, kPointRadius, colour, true);
  }
  return p;
}

bool WritePValuePicture(const FamilyTests& tests, int groups) {
  const qzPixmap p = PValuePicture(tests, groups);
  std::vector<uint8_t> bytes;
  const bool ok = qzpng_encode(p, bytes) && qzpicture_writefile(kPValuePlotName, bytes);
  if (!ok) PrintOut("\n %s could not be written \n", kPValuePlotName);
  return ok;
}
