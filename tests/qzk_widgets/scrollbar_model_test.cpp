// Scroll arithmetic: clamping and the thumb's place on its track.
#include <gtest/gtest.h>

#include "qzk/scrollbar_model.h"

TEST(ScrollModel, PositionStaysWithinContent) {
  qzScrollRange r{100, 30, 0, 1};
  EXPECT_EQ(qzscroll_maxpos(r), 70);
  EXPECT_TRUE(qzscroll_set(r, 500));
  EXPECT_EQ(r.pos, 70);
  EXPECT_FALSE(qzscroll_by(r, 1));
  EXPECT_TRUE(qzscroll_by(r, -2147483647));
  EXPECT_EQ(r.pos, 0);
  qzScrollRange small{10, 30, 0, 1};  // all of it visible
  EXPECT_FALSE(qzscroll_set(small, 5));
  EXPECT_EQ(qzscroll_thumb(small, 100, 8).length, 0);
}

TEST(ScrollModel, ThumbShowsThePageAndDragsBack) {
  qzScrollRange r{100, 25, 0, 1};
  qzThumb t = qzscroll_thumb(r, 200, 8);
  EXPECT_EQ(t.length, 50);
  EXPECT_EQ(t.start, 0);
  r.pos = 75;
  EXPECT_EQ(qzscroll_thumb(r, 200, 8).start, 150);
  for (int pos = 0; pos <= 75; ++pos) {
    r.pos = pos;
    EXPECT_EQ(qzscroll_pos_for_thumb(r, 200, 8, qzscroll_thumb(r, 200, 8).start), pos);
  }
  // A huge content still gets a thumb that can be grabbed.
  qzScrollRange big{1000000, 10, 0, 1};
  EXPECT_EQ(qzscroll_thumb(big, 200, 8).length, 8);
}

TEST(ScrollModel, BarPartsArrowsTrackAndThumb) {
  qzScrollRange r{100, 25, 75, 1};
  qzScrollBarParts v = qzscroll_parts({10, 20, 16, 232}, true, r, 8);
  EXPECT_EQ(v.low, (qzRect{10, 20, 16, 16}));
  EXPECT_EQ(v.high, (qzRect{10, 236, 16, 16}));
  EXPECT_EQ(v.track, (qzRect{10, 36, 16, 200}));
  EXPECT_EQ(v.thumb, (qzRect{10, 186, 16, 50}));  // the last page: the thumb ends on the track's end
  qzScrollBarParts h = qzscroll_parts({0, 0, 232, 16}, false, r, 8);
  EXPECT_EQ(h.track, (qzRect{16, 0, 200, 16}));
  EXPECT_EQ(h.thumb, (qzRect{166, 0, 50, 16}));
  // A bar shorter than two square arrows splits itself between them.
  qzScrollBarParts shortBar = qzscroll_parts({0, 0, 16, 20}, true, r, 8);
  EXPECT_EQ(shortBar.low.h, 10);
  EXPECT_TRUE(shortBar.track.empty());
  EXPECT_TRUE(shortBar.thumb.empty());
  // Nothing to scroll: no thumb; no bar: no parts.
  EXPECT_TRUE(qzscroll_parts({0, 0, 16, 232}, true, {10, 25, 0, 1}, 8).thumb.empty());
  qzScrollBarParts none = qzscroll_parts({5, 5, 0, 100}, true, r, 8);
  EXPECT_TRUE(none.low.empty() && none.high.empty() && none.track.empty());
}
