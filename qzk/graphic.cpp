// The current graphic target and the drawing calls that need no font.
#include "qzk/graphic.h"
#include "qzk/vformat.h"

#include "qzk/log.h"
#include "qzk/picture.h"
#include "qzk/pixmap_draw.h"

#include <cstdarg>
#include <string>
#include <vector>

namespace {

qzGraphicTarget* g_target = nullptr;

}  // namespace

void qzgraphic_drawn(qzGraphicTarget& t) {
  t.changed = true;
  if (t.autoRedraw && t.refresh) t.refresh(t, t.owner);
  if (!t.autoRedraw && t.deferred) t.deferred(t, t.owner);
}

void qzgraphic_settarget(qzGraphicTarget* t) { g_target = t; }
qzGraphicTarget* qzgraphic_target() { return g_target; }

int qzgraphic_setpixel(int x, int y, uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_setpixel(g_target->canvas, x, y, colour);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_fillrect(int x, int y, int width, int height, uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_fillrect(g_target->canvas, x, y, width, height, colour);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_clear(uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_clear(g_target->canvas, colour);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_loadpicture(int x, int y, const char* format, ...) {
  if (!g_target) return 0;
  va_list args;
  va_start(args, format);
  const std::string path = qzvformat(format, args);
  va_end(args);
  // The path goes in as an argument: a "%" or "," in it stays literal.
  const bool ok = qzpxmap_loadfromfile(g_target->canvas, "%s,x=%d,y=%d", path.c_str(), x, y);
  if (ok) qzgraphic_drawn(*g_target);
  return ok ? 1 : 0;
}

int qzgraphic_savepicture(const char* format, ...) {
  if (!g_target) return 0;
  va_list args;
  va_start(args, format);
  const std::string options = qzvformat(format, args);
  va_end(args);
  return qzpxmap_savetofile(g_target->canvas, "%s", options.c_str()) ? 1 : 0;
}

int qzgraphic_line(int x0, int y0, int x1, int y1, uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_line(g_target->canvas, x0, y0, x1, y1, colour);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_moveto(int x, int y) {
  if (!g_target) return 0;
  g_target->penX = x;
  g_target->penY = y;
  return 1;
}

int qzgraphic_lineto(int x, int y, uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_line(g_target->canvas, g_target->penX, g_target->penY, x, y, colour);
  g_target->penX = x;
  g_target->penY = y;
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_rect(int x, int y, int width, int height, uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_rect(g_target->canvas, x, y, width, height, colour);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_circle(int cx, int cy, int r, uint32_t colour, bool filled) {
  return qzgraphic_ellipse(cx, cy, r, r, colour, filled);
}

int qzgraphic_ellipse(int cx, int cy, int rx, int ry, uint32_t colour, bool filled) {
  if (!g_target) return 0;
  qzpxmap_ellipse(g_target->canvas, cx, cy, rx, ry, colour, filled);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_copypixmap(const qzPixmap& p, int x, int y) {
  if (!g_target) return 0;
  if (!qzpxmap_merge(p, g_target->canvas, x, y)) return 0;
  qzgraphic_drawn(*g_target);
  return 1;
}
