#include "qzk/graphic.h"
#include "qzk/pixmap_draw.h"

#include <gtest/gtest.h>

#include <cmath>

#include "picture_test_util.h"

namespace {

int countColour(const qzPixmap& p, uint32_t colour) {
  int n = 0;
  for (uint32_t c : p.rgb) n += c == colour;
  return n;
}

struct CurrentCanvas {
  qzGraphicTarget target;
  int refreshes = 0;
  CurrentCanvas(int w, int h) {
    qzpxmap_alloc(target.canvas, w, h, QZ_PX_TRUECOLOR);
    target.owner = this;
    target.refresh = [](qzGraphicTarget&, void* owner) { ++static_cast<CurrentCanvas*>(owner)->refreshes; };
    qzgraphic_settarget(&target);
  }
  ~CurrentCanvas() { qzgraphic_settarget(nullptr); }
  uint32_t at(int x, int y) const { return qzpxmap_getpixel(target.canvas, x, y); }
};

}  // namespace

TEST(Graphic, EveryCallWithoutTargetReturnsZero) {
  qzgraphic_settarget(nullptr);
  qzPixmap p;
  EXPECT_EQ(qzgraphic_setpixel(1, 1, 1), 0);
  EXPECT_EQ(qzgraphic_fillrect(0, 0, 1, 1, 1), 0);
  EXPECT_EQ(qzgraphic_clear(1), 0);
  EXPECT_EQ(qzgraphic_text(0, 0, 1, "%d", 5), 0);
  EXPECT_EQ(qzgraphic_selectfont(1), 0);
  EXPECT_EQ(qzgraphic_textwidth("abc"), 0);
  EXPECT_EQ(qzgraphic_fontheight(), 0);
  EXPECT_EQ(qzgraphic_loadpicture(0, 0, "x.bmp"), 0);
  EXPECT_EQ(qzgraphic_savepicture("x.bmp"), 0);
  EXPECT_EQ(qzgraphic_line(0, 0, 1, 1, 1), 0);
  EXPECT_EQ(qzgraphic_moveto(0, 0), 0);
  EXPECT_EQ(qzgraphic_lineto(1, 1, 1), 0);
  EXPECT_EQ(qzgraphic_rect(0, 0, 2, 2, 1), 0);
  EXPECT_EQ(qzgraphic_circle(0, 0, 2, 1, true), 0);
  EXPECT_EQ(qzgraphic_ellipse(0, 0, 2, 1, 1, false), 0);
  EXPECT_EQ(qzgraphic_copypixmap(p, 0, 0), 0);
}

TEST(Graphic, RedrawRuleAndDrawoff) {
  CurrentCanvas c(10, 10);
  qzgraphic_setpixel(1, 1, 0xFF);
  qzgraphic_fillrect(0, 0, 3, 3, 0xFF);
  EXPECT_EQ(c.refreshes, 2);
  c.target.autoRedraw = false;
  c.target.changed = false;
  qzgraphic_line(0, 0, 9, 9, 0xFF);
  EXPECT_EQ(c.refreshes, 2);
  EXPECT_TRUE(c.target.changed);
}

TEST(Graphic, LinesIncludeBothEndsAndClipFarCoordinates) {
  CurrentCanvas c(20, 10);
  qzgraphic_line(2, 3, 12, 3, 0xFF0000);
  EXPECT_EQ(countColour(c.target.canvas, 0xFF0000), 11);
  qzgraphic_moveto(0, 0);
  qzgraphic_lineto(5, 5, 0x00FF00);
  qzgraphic_lineto(5, 9, 0x00FF00);
  EXPECT_EQ(c.at(0, 0), 0x00FF00u);
  EXPECT_EQ(c.at(3, 3), 0x00FF00u);
  EXPECT_EQ(c.at(5, 9), 0x00FF00u);
  EXPECT_EQ(countColour(c.target.canvas, 0x00FF00), 6 + 4);
  // A horizontal line from far left to far right fills exactly one row.
  qzgraphic_line(-2000000000, 7, 2000000000, 7, 0x0000FF);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(c.at(x, 7), 0x0000FFu) << x;
  EXPECT_EQ(countColour(c.target.canvas, 0x0000FF), 20);
  // A diagonal far outside the canvas draws nothing.
  qzgraphic_line(-100000, 50000, 100000, 250000, 0x123456);
  EXPECT_EQ(countColour(c.target.canvas, 0x123456), 0);
}

TEST(Graphic, RectangleOutlineAndFill) {
  CurrentCanvas c(10, 10);
  qzgraphic_rect(1, 1, 4, 3, 0xFF);
  EXPECT_EQ(countColour(c.target.canvas, 0xFF), 2 * 4 + 2 * 1);
  EXPECT_EQ(c.at(2, 2), 0u);
  qzgraphic_rect(8, 8, 5, 5, 0xAA);  // clipped: only its top-left corner shows
  EXPECT_EQ(countColour(c.target.canvas, 0xAA), 3);
  qzgraphic_clear(0x10);
  EXPECT_EQ(countColour(c.target.canvas, 0x10), 100);
}

TEST(Graphic, EllipsesAreSymmetricClosedAndFillTheirArea) {
  CurrentCanvas c(101, 61);
  qzgraphic_ellipse(50, 30, 40, 20, 0xFF, true);
  const double area = countColour(c.target.canvas, 0xFF);
  EXPECT_NEAR(area, M_PI * 40 * 20, M_PI * 40 * 20 * 0.04);
  EXPECT_EQ(c.at(10, 30), 0xFFu);
  EXPECT_EQ(c.at(90, 30), 0xFFu);
  EXPECT_EQ(c.at(50, 10), 0xFFu);
  EXPECT_EQ(c.at(50, 50), 0xFFu);
  EXPECT_EQ(c.at(9, 30), 0u);
  qzgraphic_clear(0);
  qzgraphic_circle(50, 30, 25, 0xEE, false);
  int outline = 0;
  for (int y = 0; y < 61; ++y)
    for (int x = 0; x < 101; ++x) {
      if (c.at(x, y) != 0xEE) continue;
      ++outline;
      EXPECT_EQ(c.at(100 - x, y), 0xEEu);
      EXPECT_EQ(c.at(x, 60 - y), 0xEEu);
      EXPECT_NEAR(std::hypot(x - 50, y - 30), 25.0, 0.75) << x << "," << y;
      // Closed: every outline pixel has an outline neighbour on both sides.
      int neighbours = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) neighbours += (dx || dy) && c.at(x + dx, y + dy) == 0xEE;
      EXPECT_GE(neighbours, 2);
    }
  EXPECT_GT(outline, 100);
  // Huge radii draw nothing rather than running for minutes.
  qzgraphic_circle(0, 0, 2000000000, 0x77, true);
  EXPECT_EQ(countColour(c.target.canvas, 0x77), 0);
}

TEST(Graphic, TextUsesTheCurrentFont) {
  CurrentCanvas c(200, 40);
  const int h = qzgraphic_fontheight();
  EXPECT_GT(h, 0);
  EXPECT_GT(qzgraphic_textwidth("Wave 12"), qzgraphic_textwidth("W"));
  qzgraphic_text(2, 2, 0xFFFFFF, "H=%d", 42);
  const int lit = countColour(c.target.canvas, 0xFFFFFF);
  EXPECT_GT(lit, 10);
  for (int y = 2 + h; y < 40; ++y)
    for (int x = 0; x < 200; ++x) EXPECT_NE(c.at(x, y), 0xFFFFFFu);
}

TEST(Graphic, CopyPixmapAndPicturesThroughTheTarget) {
  InTempDir dir;
  CurrentCanvas c(8, 8);
  qzPixmap pal;
  pal.palette = {0x111111, 0x222222};
  pal.transparent = 0;
  ASSERT_TRUE(qzpxmap_alloc(pal, 2, 2, QZ_PX_PALETTE8));
  qzpxmap_setpixel(pal, 1, 1, 1);
  qzgraphic_clear(0xFFFFFF);
  EXPECT_EQ(qzgraphic_copypixmap(pal, 6, 6), 1);
  EXPECT_EQ(c.at(6, 6), 0xFFFFFFu);  // transparent
  EXPECT_EQ(c.at(7, 7), 0x222222u);
  EXPECT_EQ(qzgraphic_savepicture("%s,x=6,y=6", "part.bmp"), 1);
  qzgraphic_clear(0);
  EXPECT_EQ(qzgraphic_loadpicture(1, 2, "%s", "part.bmp"), 1);
  EXPECT_EQ(c.at(1, 2), 0xFFFFFFu);
  EXPECT_EQ(c.at(2, 3), 0x222222u);
  EXPECT_EQ(c.at(3, 3), 0u);
  EXPECT_EQ(qzgraphic_loadpicture(0, 0, "missing.bmp"), 0);
}
