#include "probability/matrix_probability_pictures.h"

#include <algorithm>
#include <array>
#include <string>

#include "app/output.h"
#include "probability/figure_labels.h"
#include "probability/matrix_probability_report.h"
#include "qzk/graphic.h"

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kRed = 0xFF0000;

constexpr uint32_t Rgb(int r, int g, int b) {
  return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

int LastBody(const MatrixProbabilityRun& run) {
  return std::clamp(run.settings.weights.lastBody, 0, kBodies - 1);
}

// ---- Significance picture ----------------------------------------------

// Row labels of the significance picture at x 15.
struct RowLabel {
  const char* text;
  int y;
};
constexpr std::array<RowLabel, kBodies> kRowLabels{{{"SU", 90},
                                                    {"MO", 200},
                                                    {"ME", 310},
                                                    {"VE", 420},
                                                    {"MA", 530},
                                                    {"JU", 640},
                                                    {"SA", 750},
                                                    {"UR", 860},
                                                    {"NE", 967},
                                                    {"PL", 1080},
                                                    {"IC", 1193}}};

// Where the picture's parts lie; with the IC the matrix is a row longer.
struct SignificanceLayout {
  int frameBottom, totalY, totalWidth, totalTextY;
  int rowBoxX, rowBoxWidth, sumLabelY;
};
SignificanceLayout LayoutFor(int c) {
  if (c > 9) return {1370, 1260, 2010, 1290, 1770, 318, 1306};
  return {1294, 1150, 2000, 1193, 1620, 428, 1193};
}

// Column headers in the strip between the titles and the cells, over each
// column of cells and over the row sums.
void DrawColumnHeaders(const SignificanceLayout& L, int c) {
  constexpr int kHeaderTop = 32;
  for (int col = 0; col <= c; ++col) LabelCentredAt(150 * col + 120, kHeaderTop, kBlack, kRowLabels[col].text);
  LabelCentredAt(L.rowBoxX + L.rowBoxWidth / 2, kHeaderTop, kBlack, "row sum");
}

// The colours of the cells below the frame: the scale of the probability
// of error from 0 % to 100 %, and the grey of the cells not counted.
void DrawColourKey(const SignificanceLayout& L) {
  const int top = L.frameBottom + 40;
  constexpr int kLeft = 100, kStep = 10, kHeight = 30;
  auto centred = [](int x, int y, const std::string& text) {
    TextAt(x - qzgraphic_textwidth(text.c_str()) / 2, y, kBlack, "%s", text.c_str());
  };
  TextAt(kLeft, top - 12, kBlack, "probability of error");
  for (int p = 0; p <= 100; ++p) qzgraphic_fillrect(kLeft + kStep * p, top, kStep, kHeight, PercentColour(p));
  qzgraphic_rect(kLeft - 1, top - 1, 101 * kStep + 2, kHeight + 2, kBlack);
  for (int p : {0, 50, 100}) centred(kLeft + kStep * p + kStep / 2, top + kHeight + 21, std::to_string(p) + " %");
  constexpr int kGreyLeft = kLeft + 101 * kStep + 80;
  qzgraphic_fillrect(kGreyLeft, top, 60, kHeight, kNotCountedGrey);
  qzgraphic_rect(kGreyLeft - 1, top - 1, 62, kHeight + 2, kBlack);
  TextAt(kGreyLeft + 72, top + 21, kBlack, "not counted");
}

// ---- Bar chart -----------------------------------------------------------

struct KindLook {
  const char* heading;
  uint32_t headingColour;
  int totalX;
  uint32_t totalColour;  // the total among the four, 40 wide
  uint32_t ownColour;    // the page's own total again, 60 wide
  const char* label;
  int labelX;
};
constexpr PerKind<KindLook> kKindLooks{{
    {"*** line sum Harmony ***", kBlue, 155, Rgb(0, 0, 255), Rgb(0, 50, 255), "SH", 175},
    {"*** line sum Energy ***", kRed, 275, Rgb(255, 0, 0), Rgb(255, 50, 0), "SI", 295},
    {"*** line sum Dynamic ***", Rgb(0, 230, 0), 395, Rgb(0, 255, 0), Rgb(0, 255, 50), "SD", 415},
    {"*** line sum Dynamic abs***", Rgb(0, 230, 230), 515, Rgb(0, 255, 255), Rgb(0, 250, 250), "SDA",
     535},
}};

struct BodyBar {
  uint32_t colour;
  const char* label;
  int labelX;
};
constexpr std::array<BodyBar, kBodies> kBodyBars{{
    {Rgb(255, 200, 0), "SUN", 645},
    {Rgb(0, 200, 0), "MOON", 765},
    {Rgb(255, 200, 0), "MERCURY", 885},
    {Rgb(255, 100, 0), "VENUS", 1005},
    {Rgb(200, 0, 0), "MARS", 1135},
    {Rgb(255, 0, 255), "JUPITER", 1245},
    {Rgb(0, 0, 255), "SATURN", 1365},
    {Rgb(0, 250, 250), "URANUS", 1485},
    {Rgb(0, 255, 50), "NEPTUN", 1605},
    {Rgb(255, 0, 150), "PLUTO", 1725},
    {Rgb(50, 0, 50), "IC", 1845},
}};

constexpr int kBarBase = 1060;
constexpr int kTopLine = 14;  // the titles' y: the first line whose text is whole

// A bar of `percent` (10 pixels per percent) standing on the base line.
void Bar(int x, int width, double percent, uint32_t colour) {
  const int height = static_cast<int>(10 * std::clamp(percent, 0.0, 100.0));
  if (height > 0) qzgraphic_fillrect(x, kBarBase - height, width, height, colour);
}

void DrawChartFrame() {
  qzgraphic_fillrect(60, 560, 1850, 3, kBlack);
  qzgraphic_fillrect(20, 1060, 1850, 3, kBlack);
  qzgraphic_fillrect(60, 20, 3, 1040, kBlack);
  qzgraphic_fillrect(600, 60, 4, 1000, kBlack);
  // The 5 % and 95 % lines begin right of the axis, clear of their labels.
  qzgraphic_fillrect(63, 1010, 1807, 2, kRed);   // 5 %
  qzgraphic_fillrect(63, 110, 1807, 2, kBlue);   // 95 %
  for (int k = 0; k < 16; ++k) qzgraphic_fillrect(120 * k + 60, 548, 3, 24, kBlack);
  for (int k = 0; k <= 20; ++k) {
    qzgraphic_fillrect(60, 50 * k + 60, 23, 3, kBlack);
    TextAt(10, 50 * k + 55, kBlack, "%i%%", 100 - 5 * k);
  }
}

}  // namespace

uint32_t PercentColour(double percent) {
  double P = percent > 100 ? 0 : percent;
  const bool blue = P > 50;
  const double X = blue ? P : 100 - P;
  // 0.051 and 2.55 are not exact in binary: without the small lift 0 %
  // and 100 % would come out as (255, 1, 1) and (1, 1, 255).
  const int k = std::clamp(255 - static_cast<int>(0.051 * X * X - 2.55 * X + 1e-9), 0, 255);
  return blue ? Rgb(k, k, 255) : Rgb(255, k, k);
}

void DrawSignificancePicture(const MatrixProbabilityRun& run, MatrixKind kind) {
  const ControlGroupSettings& s = run.settings;
  const ProbabilityResult& r = run.result;
  const int c = LastBody(run);
  const SignificanceLayout L = LayoutFor(c);

  TextAt(115, 20, kBlue, "graphic - significance - Matrix");
  TextAt(1300, 15, kBlue, "order: %i events: %i control groups: %i", s.order, s.eventsPerGroup,
         run.groups);
  TextAt(700, 20, kBlack, "%s", kind == MatrixKind::H ? "*** matrix Harmony ***" : "*** matrix energy ***");

  qzgraphic_fillrect(2, 2, 2302, 3, kBlack);
  qzgraphic_fillrect(2, L.frameBottom, 2302, 3, kBlack);
  qzgraphic_fillrect(2, 2, 3, L.frameBottom, kBlack);
  qzgraphic_fillrect(2301, 2, 3, L.frameBottom, kBlack);

  for (int row = 0; row <= c; ++row) {
    for (int col = 0; col <= c; ++col) {
      const bool counted = row != col && !BlankCell(s, row, col);
      const uint32_t colour = counted ? PercentColour(r.cell[kind][row][col]) : kNotCountedGrey;
      qzgraphic_fillrect(150 * col + 50, 110 * row + 50, 140, 100, colour);
    }
  }

  qzgraphic_fillrect(50, L.totalY, L.totalWidth, 100, PercentColour(r.total[kind]));
  TextAt(2080, L.totalTextY, kBlue, "SUM: %2.1f percent ", r.total[kind]);

  for (int i = 0; i <= c; ++i) {
    const bool weighted = s.weights.body[i] != 0;
    const uint32_t colour = weighted ? PercentColour(r.row[kind][i]) : kNotCountedGrey;
    qzgraphic_fillrect(L.rowBoxX, 110 * i + 50, L.rowBoxWidth, 100, colour);
    TextAt(2100, 110 * i + 80, kBlack, "%2.1f percent ", r.row[kind][i]);
  }

  for (int i = 0; i <= c; ++i) TextAt(15, kRowLabels[i].y, kBlack, "%s", kRowLabels[i].text);
  TextAt(10, L.sumLabelY, kBlack, "SUM");
  DrawColumnHeaders(L, c);
  DrawColourKey(L);
}

void DrawLineSumChart(const MatrixProbabilityRun& run, MatrixKind kind) {
  const ControlGroupSettings& s = run.settings;
  const ProbabilityResult& r = run.result;
  const KindLook& look = kKindLooks[kind];
  const int c = LastBody(run);

  // The page's text calls place y about 13 pixels below the text's top:
  // the titles near the top edge are moved down just enough to be whole.
  TextAt(115, kTopLine, kBlue, "graphic - probability - Matrix");
  TextAt(1300, kTopLine, kBlack, "order: %i events: %i control groups: %i", s.order,
         s.eventsPerGroup, run.groups);
  TextAt(700, kTopLine, look.headingColour, "%s", look.heading);
  DrawChartFrame();

  for (MatrixKind k : kMatrixKinds) Bar(kKindLooks[k].totalX, 40, r.total[k], kKindLooks[k].totalColour);
  Bar(look.totalX, 60, r.total[kind], look.ownColour);
  for (int i = 0; i <= c; ++i)
    if (s.weights.body[i] != 0) Bar(645 + 120 * i, 30, r.row[kind][i], kBodyBars[i].colour);

  for (const KindLook& k : kKindLooks) TextAt(k.labelX, 1075, k.totalColour, "%s", k.label);
  // The labels name the bars' places, all eleven whether or not a body
  // has a bar (without the IC, or with weight 0).
  for (int i = 0; i < kBodies; ++i)
    TextAt(kBodyBars[i].labelX, 1075, i == 10 ? kBlue : kBlack, "%s", kBodyBars[i].label);

  TextAt(10, 1100, kBlack,
         "A high bar means that the controll groups have a higher average value. If the first bar "
         "on the left is very small, the group as a whole has great harmony and stability ");
  TextAt(10, 1125, kBlack, "time shift: %i d %i h ", run.shiftDays, run.shiftHours);
}
