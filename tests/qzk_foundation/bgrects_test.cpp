#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "qzk/bgrects.h"

// The background pieces must cover exactly the pixels of the area that no
// widget covers, each once: checked pixel by pixel on random layouts.
TEST(BackgroundRects, CoverTheUncoveredPixelsExactlyOnce) {
  std::mt19937 gen(7);
  const qzRect area{0, 10, 120, 90};
  for (int round = 0; round < 200; ++round) {
    std::vector<qzRect> widgets;
    int n = gen() % 8;
    for (int i = 0; i < n; ++i)
      widgets.push_back({int(gen() % 140) - 10, int(gen() % 120) - 10, int(gen() % 60), int(gen() % 60)});
    qzGuiBaseBGRects bg;
    bg.compute(area, widgets);
    for (int y = 0; y < 110; ++y)
      for (int x = -10; x < 130; ++x) {
        int pieces = 0;
        for (const qzRect& r : bg.rects()) pieces += r.contains(x, y);
        bool covered = false;
        for (const qzRect& w : widgets) covered = covered || w.contains(x, y);
        int want = area.contains(x, y) && !covered ? 1 : 0;
        ASSERT_EQ(pieces, want) << "round " << round << " at " << x << "," << y;
      }
  }
}

TEST(BackgroundRects, NoWidgetsLeaveTheWholeAreaAndAFullCoverNone) {
  qzGuiBaseBGRects bg;
  bg.compute({5, 5, 50, 40}, {});
  ASSERT_EQ(bg.rects().size(), 1u);
  EXPECT_EQ(bg.rects()[0], (qzRect{5, 5, 50, 40}));
  bg.compute({5, 5, 50, 40}, {{0, 0, 100, 100}});
  EXPECT_TRUE(bg.rects().empty());
}
