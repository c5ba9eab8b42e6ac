// The drawing calls of the current graphic target that use fonts.
#include "qzk/font.h"
#include "qzk/graphic.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

int currentFont(const qzGraphicTarget& t) { return t.font ? t.font : qzfont_default(); }

}  // namespace

int qzgraphic_text(int x, int y, uint32_t colour, const char* format, ...) {
  qzGraphicTarget* t = qzgraphic_target();
  if (!t) return 0;
  va_list args, copy;
  va_start(args, format);
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format ? format : "", copy);
  va_end(copy);
  std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  const int font = currentFont(*t);
  qzfont_drawtext(t->canvas, x, y, font, colour, text.c_str());
  qzrecord_text(t->record, x, y, qzfont_textwidth(font, text.c_str()), qzfont_height(font), colour, text);
  qzgraphic_drawn(*t);
  return 1;
}

int qzgraphic_selectfont(int font) {
  qzGraphicTarget* t = qzgraphic_target();
  if (!t) return 0;
  t->font = font;
  return 1;
}

int qzgraphic_textwidth(const char* text) {
  qzGraphicTarget* t = qzgraphic_target();
  if (!t || !text) return 0;
  return qzfont_textwidth(currentFont(*t), text);
}

int qzgraphic_fontheight() {
  qzGraphicTarget* t = qzgraphic_target();
  return t ? qzfont_height(currentFont(*t)) : 0;
}
