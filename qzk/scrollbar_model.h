#pragma once
// The arithmetic of a scroll bar: a content of `total` units of which
// `page` are visible from `pos` on, and the thumb that shows it on a track
// of some pixels. Plain data so that lists, text pages and canvases share it.
#include "qzk/geometry_rect.h"

struct qzScrollRange {
  int total = 0;  // content length (lines, pixels)
  int page = 1;   // visible length
  int pos = 0;    // first visible unit, 0..qzscroll_maxpos()
  int line = 1;   // units moved by an arrow
};

int qzscroll_maxpos(const qzScrollRange& r);
// Sets pos, clamped; returns true when it changed.
bool qzscroll_set(qzScrollRange& r, int pos);
bool qzscroll_by(qzScrollRange& r, int delta);

struct qzThumb {
  int start = 0;   // pixels from the start of the track
  int length = 0;  // 0: nothing to scroll, no thumb
};

qzThumb qzscroll_thumb(const qzScrollRange& r, int track, int minThumb);
// The position that puts the thumb's start at `thumbStart` pixels.
int qzscroll_pos_for_thumb(const qzScrollRange& r, int track, int minThumb, int thumbStart);

// The parts of a bar drawn in `bar`: an arrow at each end (square, or
// shorter when the bar is short), the track between them and the thumb on
// it (empty when there is nothing to scroll). All empty for an empty bar.
struct qzScrollBarParts {
  qzRect low, high, track, thumb;
};

qzScrollBarParts qzscroll_parts(const qzRect& bar, bool vertical, const qzScrollRange& range, int minThumb);
