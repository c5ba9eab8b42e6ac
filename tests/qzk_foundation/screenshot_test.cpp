// The demo window rendered headless, saved by the demo itself, read back
// here with a reader of our own and checked where its layout is known
// from the option strings.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "headless_fixture.h"
#include "qzk/font.h"

namespace {
struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

// A binary PPM (P6, maxval 255) with plain header fields.
bool read_ppm(const std::string& path, Image& out) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  in >> magic >> out.width >> out.height >> maxval;
  if (!in || magic != "P6" || maxval != 255 || out.width <= 0 || out.height <= 0) return false;
  in.get();
  std::vector<unsigned char> bytes(static_cast<size_t>(out.width) * out.height * 3);
  in.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
  if (!in) return false;
  out.rgb.resize(bytes.size() / 3);
  for (size_t i = 0; i < out.rgb.size(); ++i)
    out.rgb[i] = (uint32_t(bytes[3 * i]) << 16) | (uint32_t(bytes[3 * i + 1]) << 8) | bytes[3 * i + 2];
  return true;
}
}  // namespace

using DemoScreenshot = HeadlessTest;

TEST_F(DemoScreenshot, ButtonFramesAndCaptionsWhereTheOptionsPutThem) {
  std::string shot = dir_ + "/demo.ppm";
  std::string cmd = std::string(BINARY_DIR) + "/tools/qzk_demo --headless --screenshot " + shot + " > /dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  Image im;
  ASSERT_TRUE(read_ppm(shot, im));

  // Client 480 x 320 plus the menu bar of the default font.
  int bar = qzfont_height(qzfont_default()) + 6;
  ASSERT_EQ(im.width, 480);
  ASSERT_EQ(im.height, 320 + bar);

  // "&Hello,x=20,y=20,xs=120,ys=30": raised frame, lit outside top-left,
  // dark outside bottom-right, the window background just outside.
  int x = 20, y = 20 + bar, w = 120, h = 30;
  EXPECT_EQ(im.at(x, y), 0xFFFFFFu);
  EXPECT_EQ(im.at(x + w - 1, y + h - 1), 0x404040u);
  EXPECT_EQ(im.at(x + w - 1, y), 0x404040u);
  EXPECT_EQ(im.at(x - 1, y), 0xC0C0C0u);
  EXPECT_EQ(im.at(x + w, y + h), 0xC0C0C0u);
  // The caption's text pixels: black inside the face, centred, none in
  // the outer quarters.
  int black = 0, outer = 0;
  for (int yy = y + 3; yy < y + h - 3; ++yy)
    for (int xx = x + 3; xx < x + w - 3; ++xx)
      if (im.at(xx, yy) == 0x000000u) {
        bool inCentre = xx > x + w / 4 && xx < x + 3 * w / 4;
        (inCentre ? black : outer)++;
      }
  EXPECT_GT(black, 20);
  // The dotted focus mark runs along the face's edge; nothing else is
  // black near the ends.
  int focusRow = 0;
  for (int xx = x + 3; xx < x + w - 3; ++xx) focusRow += im.at(xx, y + 3) == 0x000000u;
  EXPECT_GT(focusRow, 20);  // "Hello" holds the focus

  // "&Quit,x=84%,y=90%,xs=30%" in a 480 x 320 client: the percent
  // arithmetic gives left 331, width 144; top 288 - 21 / 2 = 278 for the
  // natural height of 13 + 8.
  int qh = qzfont_height(qzfont_default()) + 8;
  int qx = 331, qy = 288 - qh / 2 + bar;
  EXPECT_EQ(im.at(qx, qy), 0xFFFFFFu);
  EXPECT_EQ(im.at(qx - 1, qy), 0xC0C0C0u);
  EXPECT_EQ(im.at(qx + 143, qy + qh - 1), 0x404040u);
  EXPECT_EQ(im.at(qx + 144, qy + qh - 1), 0xC0C0C0u);

  // The menu bar: "File" in black near the left, a grey rule under it.
  int menuText = 0;
  for (int yy = 0; yy < bar - 1; ++yy)
    for (int xx = 0; xx < 40; ++xx) menuText += im.at(xx, yy) == 0x000000u;
  EXPECT_GT(menuText, 10);
  EXPECT_EQ(im.at(200, bar - 1), 0x808080u);
}

TEST_F(DemoScreenshot, RefusesAnUnwritablePath) {
  std::string cmd = std::string(BINARY_DIR) +
                    "/tools/qzk_demo --headless --screenshot /nonexistent-dir/x.ppm > /dev/null 2>&1";
  int rc = std::system(cmd.c_str());
  EXPECT_NE(rc, 0);
}
