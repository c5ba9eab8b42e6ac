// The rectangle arithmetic of widgets and windows.
#include <gtest/gtest.h>

#include "qzk/options.h"

static qzGeometry widget(const char* text, int W, int H) {
  qzOptionList list = qzopt_from_string(text);
  qzGeometry g;
  qzopt_geometry(list, 0, g);
  qzgeom_place(g, W, H);
  return g;
}

TEST(OptionGeometry, BlankInsideAValueChangesNothing) {
  qzGeometry a = widget("x=10,y= 5%,xs=100,ys=20", 800, 600);
  qzGeometry b = widget("x=10,y=5%,xs=100,ys=20", 800, 600);
  EXPECT_EQ(a.top, b.top);
  EXPECT_EQ(a.top, 30 - 10);
  EXPECT_FALSE(a.y_pixel);
  EXPECT_FALSE(a.y_centre);
}

TEST(OptionGeometry, PercentNeighboursMeetWithoutGaps) {
  qzGeometry g = widget("x=84%,xs=30%,y=0,ys=10", 1000, 100);
  EXPECT_EQ(g.left, 690);
  EXPECT_EQ(g.width, 300);
  // Four quarters of 90 pixels cover it exactly, whatever the rounding.
  int edge = 0;
  for (const char* text : {"x=12.5%,xs=25%", "x=37.5%,xs=25%", "x=62.5%,xs=25%", "x=87.5%,xs=25%"}) {
    qzGeometry q = widget(text, 90, 10);
    EXPECT_EQ(q.left, edge) << text;
    edge = q.left + q.width;
  }
  EXPECT_EQ(edge, 90);
  // A span cut by its maximum stays centred on its position.
  g = widget("x=50%,xs=50%,maxxs=100", 1000, 10);
  EXPECT_EQ(g.left, 450);
}

// Found by fuzzing: percentages far beyond the parent clamp both edges of
// a span, and their difference (or the centred start of a span raised to
// its minimum) overflowed an int.
TEST(OptionGeometry, HugePercentagesClampWithoutOverflow) {
  qzGeometry g = widget("x=50%,y=1x=0,xs=90e8%", 640, 480);
  EXPECT_EQ(g.width, 640);  // cut to the parent, centred on 50 %
  EXPECT_EQ(g.left, 0);
  g = widget("x=-1e9%,xs=1%,minxs=1000000000", 640, 480);
  EXPECT_EQ(g.width, 1000000000);
  EXPECT_EQ(g.left, -2000000000);
}

TEST(OptionGeometry, PercentPositionIsTheCentre) {
  qzGeometry g = widget("x=50%,y=50%,xs=650,ys=300", 1920, 1080);
  EXPECT_EQ(g.left, 635);
  EXPECT_EQ(g.top, 390);
  EXPECT_EQ(g.width, 650);
  // Odd width: half is truncated.
  g = widget("x=50%,xs=101", 1000, 10);
  EXPECT_EQ(g.left, 450);
}

TEST(OptionGeometry, TableOrderLimitsAndUnits) {
  qzGeometry g = widget("width=2000,height=40pix,minys=50,maxxsize=300", 1000, 100);
  EXPECT_EQ(g.width, 300);   // cut to W, then limited to maxxs
  EXPECT_EQ(g.height, 50);   // raised to minys
  g = widget("xs=50%,x=10,sizepixel", 400, 100);
  EXPECT_TRUE(g.xs_pixel);
  EXPECT_EQ(g.width, 50);
  g = widget("xs=-20,ys=10", 400, 100);
  EXPECT_EQ(g.width, 0);
  g = widget("xs=60%", 0, 0);  // parent without size yet
  EXPECT_EQ(g.width, 0);
}

TEST(OptionGeometry, NaturalSizeOnlyWhereNoneWasGiven) {
  qzOptionList list = qzopt_from_string("xs=40%,x=5");
  qzGeometry g;
  qzopt_geometry(list, 0, g);
  qzgeom_natural(g, qzgeom_button_width(36), qzgeom_button_height(13));
  qzgeom_place(g, 200, 100);
  EXPECT_EQ(g.width, 80);
  EXPECT_EQ(g.height, 21);
  EXPECT_EQ(qzgeom_terminal_width(80, 6, 16), 80 * 6 + 4 + 16);
  EXPECT_EQ(qzgeom_terminal_height(25, 13), 25 * 13 + 4);
  EXPECT_EQ(qzgeom_combo_height(13), 17);
}

TEST(OptionGeometry, WindowWithoutPositionOpensAtTheWorkAreaCorner) {
  qzOptionList list = qzopt_from_string("Main,xs=95%,ys=90%");
  qzopt_caption(list);
  qzGeometry g;
  qzopt_window_geometry(list, 1, g);
  qzgeom_place_window(g, 1280, 1024, 0, 30);
  EXPECT_EQ(g.left, 0);
  EXPECT_EQ(g.top, 30);
  EXPECT_EQ(g.width, 1216);
  EXPECT_EQ(g.height, 921);

  list = qzopt_from_string("message,x=50%,y=50%,xs=250,ys=200");
  qzopt_caption(list);
  g = {};
  qzopt_window_geometry(list, 1, g);
  qzgeom_place_window(g, 1280, 1024, 0, 30);
  EXPECT_EQ(g.left, 515);
  EXPECT_EQ(g.top, 412);
}
