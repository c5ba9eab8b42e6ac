#include "qzk/screengraphic.h"

#include <gtest/gtest.h>

#include "picture_test_util.h"
#include "qzk/drive.h"
#include "qzk/events.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/window.h"

namespace {

class ScreenGraphicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qzplatform_use_headless();
    qzevents_reset();
    ASSERT_TRUE(window.create("graphics,x=0,y=0,xs=400,ys=300,noquit"));
  }
  void TearDown() override {
    qzgraphic_settarget(nullptr);
    window.destroy();
  }
  // The window's shown pixel at (x, y) in client coordinates.
  uint32_t shown(int x, int y) {
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    if (!qzheadless_pixels(window.nativeHandle(), px, w, h) || x >= w || y >= h) return 0xDEADBEEF;
    return px[static_cast<size_t>(y) * w + x] & 0xFFFFFF;
  }
  InTempDir dir;
  qzWindow window;
};

}  // namespace

TEST_F(ScreenGraphicTest, LogsItsOpeningAndThePainterOnce) {
  LogWatch log;
  qzScreenGraphic a, b;
  ASSERT_TRUE(a.create("x=0,y=0,xs=50,ys=50,bgcol=0x123456"));
  ASSERT_TRUE(b.create("x=60,y=0,xs=50,ys=50"));
  EXPECT_TRUE(log.has("screen graphic open: cs=\"x=0,y=0,xs=50,ys=50,bgcol=0x123456\"\n"));
  const std::string all = wholeLog();
  const size_t first = all.find("lopriopaint init. 10 refreshes/sec.\n");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(all.find("lopriopaint init.", first + 1), std::string::npos);
  EXPECT_EQ(a.canvas().width, 50);  // the inner size without "pxs="
  EXPECT_EQ(a.background(), 0x123456u);
  EXPECT_EQ(qzpxmap_getpixel(a.canvas(), 10, 10), 0x123456u);
}

TEST_F(ScreenGraphicTest, LargeCanvasScrollsAndDrawingShowsAtOnce) {
  qzScreenGraphic g;
  ASSERT_TRUE(g.create("x=0,y=0,xs=200,ys=100,noborder,pxs=2304,pys=1500,background=white"));
  EXPECT_EQ(g.canvas().width, 2304);
  EXPECT_EQ(g.canvas().height, 1500);
  qzdispatch_pending();
  EXPECT_LT(g.view().w, 200);  // room taken by the vertical bar
  EXPECT_LT(g.view().h, 100);
  qzgraphic_settarget(g);
  qzgraphic_fillrect(0, 0, 3, 3, 0xFF0000);
  EXPECT_EQ(shown(1, 1), 0xFF0000u);  // refreshed without a dispatch round
  qzgraphic_fillrect(1000, 500, 10, 10, 0x0000FF);
  g.scrollTo(1000, 500);
  qzdispatch_pending();
  EXPECT_EQ(g.scrollX(), 1000);
  EXPECT_EQ(g.scrollY(), 500);
  EXPECT_EQ(shown(g.view().x + 5, g.view().y + 5), 0x0000FFu);
  EXPECT_EQ(shown(g.view().x + 15, g.view().y + 5), 0xFFFFFFu);
  g.scrollTo(100000, 100000);  // clamped to the canvas
  qzdispatch_pending();
  EXPECT_EQ(g.scrollX() + g.view().w, 2304);
  qzheadless_wheel(window.nativeHandle(), 50, 50, 1);
  qzdispatch_pending();
  EXPECT_LT(g.scrollY() + g.view().h, 1500);
}

TEST_F(ScreenGraphicTest, DrawoffWaitsForTheLowPriorityPainter) {
  qzScreenGraphic g;
  ASSERT_TRUE(g.create("x=0,y=0,xs=100,ys=100,noborder,drawoff"));
  EXPECT_FALSE(g.autoRedraw());
  qzdispatch_pending();
  qzgraphic_settarget(g);
  qzgraphic_fillrect(0, 0, 100, 100, 0x00FF00);
  EXPECT_TRUE(g.target().changed);
  qzdispatch_pending();
  EXPECT_NE(shown(50, 50), 0x00FF00u);
  qzdrive_wait(0.25);
  EXPECT_EQ(shown(50, 50), 0x00FF00u);
  EXPECT_FALSE(g.target().changed);
}

TEST_F(ScreenGraphicTest, StretchFactorsAndAutomaticStretch) {
  qzScreenGraphic two, fit;
  ASSERT_TRUE(two.create("x=0,y=0,xs=100,ys=60,noborder,pxs=50,pys=30,stretch=2"));
  ASSERT_TRUE(fit.create("x=150,y=0,xs=100,ys=50,noborder,pxs=400,pys=200,stretch=auto"));
  qzgraphic_settarget(two);
  qzgraphic_clear(0);
  qzgraphic_setpixel(10, 5, 0xFF00FF);
  qzgraphic_settarget(fit);
  qzgraphic_clear(0);
  qzgraphic_fillrect(200, 100, 4, 4, 0xFFFF00);
  qzdispatch_pending();
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx) EXPECT_EQ(shown(20 + dx, 10 + dy), 0xFF00FFu);
  EXPECT_EQ(shown(22, 10), 0u);
  EXPECT_EQ(shown(19, 10), 0u);
  EXPECT_DOUBLE_EQ(fit.shownXStretch(), 0.25);
  EXPECT_EQ(fit.view().w, 100);  // no scroll bars when the canvas is fitted
  EXPECT_EQ(shown(150 + 50, 25), 0xFFFF00u);
  EXPECT_EQ(shown(150 + 49, 25), 0u);
}

TEST_F(ScreenGraphicTest, PaletteCanvasShowsItsColoursAndResizeKeepsPixels) {
  qzScreenGraphic g;
  ASSERT_TRUE(g.create("x=0,y=0,xs=40,ys=40,noborder,palette,colors=16"));
  EXPECT_EQ(g.canvas().format, QZ_PX_PALETTE8);
  EXPECT_EQ(g.canvas().palette.size(), 16u);
  qzgraphic_settarget(g);
  qzgraphic_fillrect(0, 0, 5, 5, 12);  // index 12: light red
  qzdispatch_pending();
  EXPECT_EQ(shown(2, 2), 0xFF0000u);

  qzScreenGraphic t;
  ASSERT_TRUE(t.create("x=50,y=0,xs=40,ys=40,pxs=20,pys=20,bgcol=0x0000FF"));
  qzgraphic_settarget(t);
  qzgraphic_setpixel(19, 19, 0xFFFFFF);
  ASSERT_TRUE(t.setCanvasSize(30, 25));
  EXPECT_EQ(qzpxmap_getpixel(t.canvas(), 19, 19), 0xFFFFFFu);
  EXPECT_EQ(qzpxmap_getpixel(t.canvas(), 29, 24), 0x0000FFu);
  EXPECT_FALSE(t.setCanvasSize(-1, 5));
  EXPECT_EQ(t.canvas().width, 30);
}

TEST_F(ScreenGraphicTest, DestroyedGraphicIsNoLongerTheTarget) {
  {
    qzScreenGraphic g;
    ASSERT_TRUE(g.create("x=0,y=0,xs=40,ys=40"));
    qzgraphic_settarget(g);
    EXPECT_EQ(qzgraphic_target(), &g.target());
  }
  EXPECT_EQ(qzgraphic_target(), nullptr);
  EXPECT_EQ(qzgraphic_setpixel(1, 1, 1), 0);
}
