#include "qzk/drawing_record.h"

#include <algorithm>

namespace {

// False once the record has given up, or when one more item would take
// it past its bound (it gives up then).
bool room(qzDrawingRecord& r) {
  if (!r.complete) return false;
  if (r.shapes.size() + r.points.size() < qzDrawingRecord::kMaxItems) return true;
  qzrecord_abandon(r);
  return false;
}

void add(qzDrawingRecord& r, qzDrawnShape::Kind kind, uint32_t colour, int x, int y, int w, int h) {
  qzDrawnShape s;
  s.kind = kind;
  s.colour = colour;
  s.x = x;
  s.y = y;
  s.w = w;
  s.h = h;
  r.shapes.push_back(s);
}

}  // namespace

void qzrecord_clear(qzDrawingRecord& r, uint32_t background) {
  r = qzDrawingRecord{};
  r.background = background;
}

void qzrecord_abandon(qzDrawingRecord& r) {
  const uint32_t background = r.background;
  r = qzDrawingRecord{};
  r.background = background;
  r.complete = false;
}

void qzrecord_fill(qzDrawingRecord& r, int x, int y, int width, int height, uint32_t colour) {
  if (width <= 0 || height <= 0 || !room(r)) return;
  add(r, qzDrawnShape::kFill, colour, x, y, width, height);
}

void qzrecord_outline(qzDrawingRecord& r, int x, int y, int width, int height, uint32_t colour) {
  if (width <= 0 || height <= 0 || !room(r)) return;
  add(r, qzDrawnShape::kOutline, colour, x, y, width, height);
}

void qzrecord_line(qzDrawingRecord& r, int x0, int y0, int x1, int y1, uint32_t colour) {
  if (!room(r)) return;
  if (!r.shapes.empty()) {
    qzDrawnShape& last = r.shapes.back();
    if (last.kind == qzDrawnShape::kPolyline && last.colour == colour && last.index + last.count == r.points.size()) {
      const qzDrawnPoint& end = r.points.back();
      if (end.x == x0 && end.y == y0) {
        r.points.push_back({x1, y1});
        ++last.count;
        return;
      }
    }
  }
  add(r, qzDrawnShape::kPolyline, colour, 0, 0, 0, 0);
  r.shapes.back().index = static_cast<uint32_t>(r.points.size());
  r.shapes.back().count = 2;
  r.points.push_back({x0, y0});
  r.points.push_back({x1, y1});
}

void qzrecord_ellipse(qzDrawingRecord& r, int cx, int cy, int rx, int ry, uint32_t colour, bool filled) {
  // As the pixels: nothing for half axes out of the drawing's range.
  if (rx < 0 || ry < 0 || rx > (1 << 20) || ry > (1 << 20) || !room(r)) return;
  add(r, filled ? qzDrawnShape::kFilledEllipse : qzDrawnShape::kEllipse, colour, cx, cy, rx, ry);
}

void qzrecord_text(qzDrawingRecord& r, int x, int y, int width, int height, uint32_t colour,
                   const std::string& text) {
  if (text.empty() || !room(r)) return;
  add(r, qzDrawnShape::kText, colour, x, y, width, height);
  r.shapes.back().index = static_cast<uint32_t>(r.texts.size());
  r.texts.push_back(text);
}

void qzrecord_pixels(qzDrawingRecord& r, const qzPixmap& canvas, int x, int y, int width, int height) {
  if (!room(r)) return;
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = static_cast<int>(std::min<int64_t>(int64_t{x} + width, canvas.width));
  const int y1 = static_cast<int>(std::min<int64_t>(int64_t{y} + height, canvas.height));
  if (x1 <= x0 || y1 <= y0) return;
  qzPixmap part;
  if (!qzpxmap_duplicate(canvas, part, x0, y0, x1 - x0, y1 - y0)) {
    qzrecord_abandon(r);
    return;
  }
  add(r, qzDrawnShape::kImage, 0, x0, y0, x1 - x0, y1 - y0);
  r.shapes.back().index = static_cast<uint32_t>(r.images.size());
  r.images.push_back(std::move(part));
}
