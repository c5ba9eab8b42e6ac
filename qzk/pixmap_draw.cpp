#include "qzk/pixmap_draw.h"

#include "qzk/pixmap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int64_t kMaxRadius = int64_t{1} << 20;
// Lines whose ends lie this far outside are clipped before stepping.
constexpr int64_t kMargin = 1 << 15;

void span(qzPixmap& p, int64_t x0, int64_t x1, int64_t y, uint32_t colour) {
  if (y < 0 || y >= p.height) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, int64_t{p.width} - 1);
  if (x0 > x1) return;
  qzpxmap_fillrect(p, static_cast<int>(x0), static_cast<int>(y), static_cast<int>(x1 - x0 + 1), 1, colour);
}

void plot(qzPixmap& p, int64_t x, int64_t y, uint32_t colour) {
  if (x >= 0 && y >= 0 && x < p.width && y < p.height) qzpxmap_setpixel(p, static_cast<int>(x), static_cast<int>(y), colour);
}

// Cuts the segment to the box [lo, hi] in both axes (Liang-Barsky);
// false when nothing of it is inside.
bool clipToBox(double& x0, double& y0, double& x1, double& y1, double lo, double hiX, double hiY) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - lo, hiX - x0, y0 - lo, hiY - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = ax;
  y0 = ay;
  return true;
}

}  // namespace

void qzpxmap_line(qzPixmap& p, int x0, int y0, int x1, int y1, uint32_t colour) {
  int64_t ax = x0, ay = y0, bx = x1, by = y1;
  auto far = [&](int64_t v, int size) { return v < -kMargin || v > size + kMargin; };
  if (far(ax, p.width) || far(bx, p.width) || far(ay, p.height) || far(by, p.height)) {
    double fx0 = ax, fy0 = ay, fx1 = bx, fy1 = by;
    if (!clipToBox(fx0, fy0, fx1, fy1, -1, p.width, p.height)) return;
    ax = std::llround(fx0);
    ay = std::llround(fy0);
    bx = std::llround(fx1);
    by = std::llround(fy1);
  }
  const int64_t dx = std::llabs(bx - ax), dy = -std::llabs(by - ay);
  const int64_t sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
  int64_t err = dx + dy;
  while (true) {
    plot(p, ax, ay, colour);
    if (ax == bx && ay == by) break;
    const int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      ax += sx;
    }
    if (e2 <= dx) {
      err += dx;
      ay += sy;
    }
  }
}

void qzpxmap_rect(qzPixmap& p, int x, int y, int width, int height, uint32_t colour) {
  if (width <= 0 || height <= 0) return;
  const int64_t x1 = int64_t{x} + width - 1, y1 = int64_t{y} + height - 1;
  span(p, x, x1, y, colour);
  span(p, x, x1, y1, colour);
  for (int64_t row = std::max<int64_t>(int64_t{y} + 1, 0); row < std::min<int64_t>(y1, p.height); ++row) {
    plot(p, x, row, colour);
    plot(p, x1, row, colour);
  }
}

void qzpxmap_ellipse(qzPixmap& p, int cx, int cy, int rx, int ry, uint32_t colour, bool filled) {
  if (rx < 0 || ry < 0 || rx > kMaxRadius || ry > kMaxRadius) return;
  const int64_t a = rx, b = ry, x0 = cx, y0 = cy;
  // The four mirrored points (or the spans between them) of (x, y).
  auto put = [&](int64_t x, int64_t y) {
    if (filled) {
      span(p, x0 - x, x0 + x, y0 + y, colour);
      if (y != 0) span(p, x0 - x, x0 + x, y0 - y, colour);
      return;
    }
    plot(p, x0 + x, y0 + y, colour);
    plot(p, x0 - x, y0 + y, colour);
    plot(p, x0 + x, y0 - y, colour);
    plot(p, x0 - x, y0 - y, colour);
  };
  if (a == 0 || b == 0) {
    qzpxmap_line(p, static_cast<int>(x0 - a), static_cast<int>(y0 - b), static_cast<int>(x0 + a),
                 static_cast<int>(y0 + b), colour);
    return;
  }
  // Midpoint algorithm in two regions, with doubled terms to stay integral.
  const int64_t a2 = a * a, b2 = b * b;
  int64_t x = 0, y = b;
  int64_t px = 0, py = 2 * a2 * y;
  int64_t d = 4 * b2 - 4 * a2 * b + a2;  // 4 times the decision value
  while (px < py) {
    if (!filled) put(x, y);
    ++x;
    px += 2 * b2;
    if (d < 0) {
      d += 4 * b2 + 4 * px;
    } else {
      if (filled) put(x - 1, y);
      --y;
      py -= 2 * a2;
      d += 4 * b2 + 4 * px - 4 * py;
    }
  }
  d = b2 * (2 * x + 1) * (2 * x + 1) + 4 * a2 * (y - 1) * (y - 1) - 4 * a2 * b2;
  while (y >= 0) {
    put(x, y);
    --y;
    py -= 2 * a2;
    if (d > 0) {
      d += 4 * a2 - 4 * py;
    } else {
      ++x;
      px += 2 * b2;
      d += 4 * a2 - 4 * py + 4 * px;
    }
  }
}
