#include "qzk/bgrects.h"

void qzGuiBaseBGRects::subtract(const qzRect& area, const qzRect& hole, std::vector<qzRect>& out) {
  qzRect cut = area.intersection(hole);
  if (cut.empty()) {
    if (!area.empty()) out.push_back(area);
    return;
  }
  // A band above and below the hole over the full width, and the pieces
  // left and right of it within the hole's rows.
  if (cut.y > area.y) out.push_back({area.x, area.y, area.w, cut.y - area.y});
  int below = (area.y + area.h) - (cut.y + cut.h);
  if (below > 0) out.push_back({area.x, cut.y + cut.h, area.w, below});
  if (cut.x > area.x) out.push_back({area.x, cut.y, cut.x - area.x, cut.h});
  int right = (area.x + area.w) - (cut.x + cut.w);
  if (right > 0) out.push_back({cut.x + cut.w, cut.y, right, cut.h});
}

void qzGuiBaseBGRects::compute(const qzRect& area, const std::vector<qzRect>& covered) {
  rects_.clear();
  if (area.empty()) return;
  rects_.push_back(area);
  std::vector<qzRect> next;
  for (const qzRect& hole : covered) {
    if (hole.empty()) continue;
    next.clear();
    for (const qzRect& r : rects_) subtract(r, hole, next);
    rects_.swap(next);
  }
}
