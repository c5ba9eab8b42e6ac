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
