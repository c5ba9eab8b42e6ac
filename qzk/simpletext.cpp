#include "qzk/simpletext.h"

#include <algorithm>

#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/options.h"
#include "qzk/pixmap.h"
#include "qzk/simpletext_draw.h"
#include "qzk/window.h"

bool qzSimpleTextDisplay::createv(const char* format, va_list args) { return createWidget(false, format, args); }

void qzSimpleTextDisplay::parseOptions(qzOptionList& options) {
  qzOptTextColour o;
  qzopt_textcolour(options, optionStart(), o);
  if (o.textcolour) colour_ = *o.textcolour;
}

void qzSimpleTextDisplay::naturalSize(int& width, int& height) {
  if (width == 0) width = qzfont_textwidth(font(), "M") * 20 + 4;
  if (height == 0) height = qzfont_height(font()) + 4;
}

void qzSimpleTextDisplay::created() {
  qzOptionList list = qzopt_from_string(optionString());
  qzGeometry g;
  qzopt_geometry(list, optionStart(), g);
  autoWidth_ = g.xs == 0;
  autoHeight_ = g.ys == 0;
  centreX_ = !g.x_pixel;
  centreY_ = !g.y_pixel;
}

void qzSimpleTextDisplay::fitText() {
  if (!autoWidth_ && !autoHeight_) return;
  int pad = 2 * (qzframe_width(border()) + 2);
  std::vector<std::string> rows = qztext_wrap(text_, font(), 0, false);
  int widest = 0;
  for (const std::string& r : rows) widest = std::max(widest, qzfont_textwidth(font(), r.c_str()));
  qzRect r = rect();
  qzRect fitted = r;
  if (autoWidth_) {
    fitted.w = widest + pad;
    if (centreX_) fitted.x = r.x + r.w / 2 - fitted.w / 2;
  }
  if (autoHeight_) {
    fitted.h = static_cast<int>(rows.size()) * qzfont_height(font()) + pad;
    if (centreY_) fitted.y = r.y + r.h / 2 - fitted.h / 2;
  }
  setRect(fitted);
}

void qzSimpleTextDisplay::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  fitText();
  invalidate();
}

std::vector<std::string> qzSimpleTextDisplay::lines() const {
  qzRect in = rect().inset(qzframe_width(border()) + 2);
  return qztext_wrap(text_, font(), in.w);
}

void qzSimpleTextDisplay::paint(qzPixmap& target) {
  uint32_t bg = window() ? window()->background() : qzcolour::face;
  qzpxmap_fillrect(target, rect().x, rect().y, rect().w, rect().h, bg);
  qzRect in = rect().inset(qzframe_width(border()) + 2);
  int fh = qzfont_height(font());
  int y = in.y;
  for (const std::string& line : lines()) {
    if (y + fh > in.y + in.h) break;
    qzdraw_text_clipped(target, in, in.x, y, font(), line.c_str(), enabled(), colour_);
    y += fh;
  }
  qzdraw_frame(target, rect(), border());
}
