#include "probability/figure_labels.h"

#include <cmath>
#include <cstdio>

#include "qzk/font.h"
#include "qzk/graphic.h"

namespace {

int LabelFont() { return qzfont_builtin("builtin 8x16"); }

// Draws with the label font, then gives the page its own font back.
void Draw(int x, int top, uint32_t colour, const std::string& text) {
  qzGraphicTarget* t = qzgraphic_target();
  if (!t) return;
  const int pageFont = t->font;
  qzgraphic_selectfont(LabelFont());
  qzgraphic_text(x, top, colour, "%s", text.c_str());
  qzgraphic_selectfont(pageFont);
}

}  // namespace

int LabelWidth(const std::string& text) { return qzfont_textwidth(LabelFont(), text.c_str()); }

void LabelAt(int x, int top, uint32_t colour, const std::string& text) { Draw(x, top, colour, text); }

void LabelEndingAt(int x, int top, uint32_t colour, const std::string& text) {
  Draw(x - LabelWidth(text), top, colour, text);
}

void LabelCentredAt(int x, int top, uint32_t colour, const std::string& text) {
  Draw(x - LabelWidth(text) / 2, top, colour, text);
}

std::string ValueLabel(double value) {
  if (!std::isfinite(value)) return "?";
  char s[32];
  std::snprintf(s, sizeof s, "%.4g", value == 0 ? 0.0 : value);  // no "-0"
  return s;
}
