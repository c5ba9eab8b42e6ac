#include "qzk/progressbar.h"

#include <cmath>

#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/pixmap.h"

bool qzProgressBar::createv(const char* format, va_list args) { return createWidget(false, format, args); }

void qzProgressBar::naturalSize(int& width, int& height) {
  if (width == 0) width = 200;
  if (height == 0) height = qzfont_height(font()) + 4;
}

int qzProgressBar::filledWidth(double fraction) const {
  int w = rect().inset(qzframe_width(border())).w;
  return w <= 0 ? 0 : static_cast<int>(w * fraction);
}

void qzProgressBar::setFraction(double fraction) {
  if (std::isnan(fraction)) fraction = 0;
  fraction = std::fmin(std::fmax(fraction, 0.0), 1.0);
  bool visibleChange = filledWidth(fraction) != filledWidth(fraction_);
  fraction_ = fraction;
  if (visibleChange) invalidate();
}

void qzProgressBar::paint(qzPixmap& target) {
  qzRect in = rect().inset(qzframe_width(border()));
  int filled = filledWidth(fraction_);
  qzpxmap_fillrect(target, in.x, in.y, in.w, in.h, enabled() ? qzcolour::field : qzcolour::face);
  qzpxmap_fillrect(target, in.x, in.y, filled, in.h, enabled() ? qzcolour::selection : qzcolour::shadow);
  qzdraw_frame(target, rect(), border());
}
