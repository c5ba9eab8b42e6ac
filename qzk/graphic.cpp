// The current graphic target and the drawing calls that need no font.
#include "qzk/graphic.h"
#include "qzk/vformat.h"

#include "qzk/log.h"
#include "qzk/picture.h"
#include "qzk/picture_file.h"
#include "qzk/picture_options.h"
#include "qzk/pixmap_draw.h"
#include "qzk/svg.h"

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
  qzrecord_fill(g_target->record, x, y, 1, 1, colour);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_fillrect(int x, int y, int width, int height, uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_fillrect(g_target->canvas, x, y, width, height, colour);
  // A fill of the whole canvas is a clear, so a page filled again and again
  // (the status field) keeps a short record.
  const qzPixmap& c = g_target->canvas;
  if (x <= 0 && y <= 0 && int64_t{x} + width >= c.width && int64_t{y} + height >= c.height)
    qzrecord_clear(g_target->record, colour);
  else
    qzrecord_fill(g_target->record, x, y, width, height, colour);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_clear(uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_clear(g_target->canvas, colour);
  qzrecord_clear(g_target->record, colour);
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
  if (ok) {
    // The picture as the pixels it left on the canvas.
    int width = 0, height = 0;
    if (qzgetpicturesizes(path, width, height))
      qzrecord_pixels(g_target->record, g_target->canvas, x, y, width, height);
    else
      qzrecord_abandon(g_target->record);
    qzgraphic_drawn(*g_target);
  }
  return ok ? 1 : 0;
}

int qzgraphic_savepicture(const char* format, ...) {
  if (!g_target) return 0;
  va_list args;
  va_start(args, format);
  const std::string options = qzvformat(format, args);
  va_end(args);
  return qzgraphic_savetarget(*g_target, options) ? 1 : 0;
}

bool qzgraphic_savetarget(const qzGraphicTarget& t, const std::string& options) {
  const qzPictureOptions o = qzpicture_options(true, options);
  if (qzpicture_filetype(o.path) != QZ_PIC_SVG) return qzpxmap_savetofile(t.canvas, "%s", options.c_str());
  const int x = o.hasX ? o.x : 0, y = o.hasY ? o.y : 0;
  const int width = o.hasXs ? o.xs : t.canvas.width - x, height = o.hasYs ? o.ys : t.canvas.height - y;
  std::vector<uint8_t> bytes;
  if (!qzsvg_encode(t.record, t.canvas, x, y, width, height, bytes)) {
    qzlog("qzgraphic_savetarget: cannot encode \"%s\"\n", o.path.c_str());
    return false;
  }
  if (!qzpicture_writefile(o.path, bytes)) {
    qzlog("qzgraphic_savetarget: cannot write \"%s\"\n", o.path.c_str());
    return false;
  }
  return true;
}

int qzgraphic_line(int x0, int y0, int x1, int y1, uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_line(g_target->canvas, x0, y0, x1, y1, colour);
  qzrecord_line(g_target->record, x0, y0, x1, y1, colour);
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
  qzrecord_line(g_target->record, g_target->penX, g_target->penY, x, y, colour);
  g_target->penX = x;
  g_target->penY = y;
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_rect(int x, int y, int width, int height, uint32_t colour) {
  if (!g_target) return 0;
  qzpxmap_rect(g_target->canvas, x, y, width, height, colour);
  qzrecord_outline(g_target->record, x, y, width, height, colour);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_circle(int cx, int cy, int r, uint32_t colour, bool filled) {
  return qzgraphic_ellipse(cx, cy, r, r, colour, filled);
}

int qzgraphic_ellipse(int cx, int cy, int rx, int ry, uint32_t colour, bool filled) {
  if (!g_target) return 0;
  qzpxmap_ellipse(g_target->canvas, cx, cy, rx, ry, colour, filled);
  qzrecord_ellipse(g_target->record, cx, cy, rx, ry, colour, filled);
  qzgraphic_drawn(*g_target);
  return 1;
}

int qzgraphic_copypixmap(const qzPixmap& p, int x, int y) {
  if (!g_target) return 0;
  if (!qzpxmap_merge(p, g_target->canvas, x, y)) return 0;
  qzrecord_pixels(g_target->record, g_target->canvas, x, y, p.width, p.height);
  qzgraphic_drawn(*g_target);
  return 1;
}
