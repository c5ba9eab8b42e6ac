#include "qzk/geometry_rect.h"

#include <algorithm>

qzRect qzRect::intersection(const qzRect& o) const {
  int l = std::max(x, o.x), t = std::max(y, o.y);
  int r = std::min(x + w, o.x + o.w), b = std::min(y + h, o.y + o.h);
  if (r <= l || b <= t) return {};
  return {l, t, r - l, b - t};
}

qzRect qzRect::united(const qzRect& o) const {
  if (empty()) return o;
  if (o.empty()) return *this;
  int l = std::min(x, o.x), t = std::min(y, o.y);
  int r = std::max(x + w, o.x + o.w), b = std::max(y + h, o.y + o.h);
  return {l, t, r - l, b - t};
}
