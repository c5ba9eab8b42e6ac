#include "data/separator.h"

#include "qzk/draw.h"
#include "qzk/pixmap.h"
#include "qzk/window.h"

bool DialogSeparator::create(const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool ok = createWidget(false, format, args);
  va_end(args);
  return ok;
}

void DialogSeparator::naturalSize(int& width, int& height) {
  if (width == 0) width = 100;
  if (height == 0) height = 2;
}

// A dark line with a light one under it, centred in the rectangle.
void DialogSeparator::paint(qzPixmap& target) {
  const qzRect& r = rect();
  qzpxmap_fillrect(target, r.x, r.y, r.w, r.h, window() ? window()->background() : qzcolour::face);
  int mid = r.y + r.h / 2 - 1;
  qzpxmap_fillrect(target, r.x, mid, r.w, 1, qzcolour::shadow);
  qzpxmap_fillrect(target, r.x, mid + 1, r.w, 1, qzcolour::light);
}
