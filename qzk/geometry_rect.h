#pragma once
// A rectangle in pixels: the place of a widget in its window's client
// area, a dirty region, a background piece.

struct qzRect {
  int x = 0, y = 0, w = 0, h = 0;

  bool empty() const { return w <= 0 || h <= 0; }
  bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
  bool intersects(const qzRect& o) const {
    return !empty() && !o.empty() && x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
  }
  qzRect intersection(const qzRect& o) const;
  qzRect united(const qzRect& o) const;  // the smallest rectangle holding both
  qzRect inset(int d) const { return {x + d, y + d, w - 2 * d, h - 2 * d}; }
  bool operator==(const qzRect&) const = default;
};
