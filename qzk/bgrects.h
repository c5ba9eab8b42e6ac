#pragma once
// The background of a window: the parts of its client area that no widget
// covers. The window fills only these, so widgets are never painted over
// twice in one round and nothing flickers.
#include <vector>

#include "qzk/geometry_rect.h"

class qzGuiBaseBGRects {
 public:
  // Recomputes the pieces of `area` not covered by any of `covered`.
  void compute(const qzRect& area, const std::vector<qzRect>& covered);
  const std::vector<qzRect>& rects() const { return rects_; }

  // `area` minus `hole` as up to four disjoint rectangles.
  static void subtract(const qzRect& area, const qzRect& hole, std::vector<qzRect>& out);

 private:
  std::vector<qzRect> rects_;
};
