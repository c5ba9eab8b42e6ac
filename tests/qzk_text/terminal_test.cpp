// The terminal widget on a headless window.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "qzk/drive.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/terminal.h"
#include "qzk/window.h"

static std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class TerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qzplatform_use_headless();
    qzevents_reset();
    ASSERT_TRUE(window.create("terminal,x=0,y=0,xs=700,ys=500,noquit"));
  }
  void TearDown() override { window.destroy(); }
  qzWindow window;
};

TEST_F(TerminalTest, ScrollBackOfTwoHundredKeepsTheLastTwoHundredLines) {
  qzTerminal t;
  ASSERT_TRUE(t.create("x=0,y=0,lines=10,columns=40,scrollback=200"));
  for (int i = 1; i <= 1000; ++i) t.print("line %d\n", i);
  const qzTxtMemFixed& m = t.memory();
  EXPECT_EQ(m.scrollbackCapacity(), 200);
  EXPECT_EQ(m.scrollbackUsed(), 200);
  // The grid holds 992..1000 and the cursor line; above it 792..991.
  EXPECT_EQ(m.rowText(0), "line 992");
  EXPECT_EQ(m.rowText(-1), "line 991");
  EXPECT_EQ(m.rowText(-200), "line 792");
  EXPECT_NE(read_file("qzk.log").find("terminal open, cs=\"x=0,y=0,lines=10,columns=40,scrollback=200\"\n"),
            std::string::npos);
  t.clear();
  EXPECT_EQ(t.text(), "");
  EXPECT_EQ(m.scrollbackUsed(), 0);
}

TEST_F(TerminalTest, NaturalSizeAndScrollbackFlag) {
  qzTerminal t;
  ASSERT_TRUE(t.create("x=0,y=0,lines=5,columns=20,scrollback"));
  EXPECT_EQ(t.memory().scrollbackCapacity(), 300);
  int blank = qzfont_glyphwidth(t.font(), ' ');
  EXPECT_EQ(t.rect().w, 20 * blank + 4 + qzTerminal::kBarWidth);
  EXPECT_EQ(t.rect().h, 5 * qzfont_height(t.font()) + 4);
  qzTerminal plain;
  ASSERT_TRUE(plain.create("x=0,y=200,lines=5,columns=20"));
  EXPECT_FALSE(plain.hasScrollBar());
  EXPECT_EQ(plain.rect().w, 20 * blank + 4);
}

TEST_F(TerminalTest, ColoursUtf8AndWordBreak) {
  qzTerminal t;
  ASSERT_TRUE(t.create("x=0,y=0,lines=4,columns=10,wordbreak,textcol=0x112233,bgcol=white"));
  EXPECT_EQ(t.textColour(), 0x112233u);
  EXPECT_EQ(t.backgroundColour(), 0xFFFFFFu);
  t.print("\x1b[31;44mM\xC3\xA4rz\x1b[m ok");
  const qzTxtMemFixed& m = t.memory();
  EXPECT_EQ(m.character(0, 1), 0xE4);
  EXPECT_EQ(m.textColour(0, 0), 1);
  EXPECT_EQ(m.backgroundColour(0, 3), 4);
  EXPECT_EQ(m.textColour(0, 5), QZ_TXT_DEFAULT_COLOUR);
  EXPECT_EQ(m.rowText(0), "M\xC3\xA4rz ok");
  t.print(" wordy");  // does not fit behind "ok": moves to the next line whole
  EXPECT_EQ(m.rowText(0), "M\xC3\xA4rz ok");
  EXPECT_EQ(m.rowText(1), "wordy");
  t.print(" abcdefghijkl");  // longer than a line: cut
  EXPECT_EQ(m.rowText(2), "abcdefghij");
}

TEST_F(TerminalTest, LogFileGetsEveryByte) {
  qzTerminal t;
  ASSERT_TRUE(t.create("x=0,y=0,lines=4,columns=20,logfile=term log.txt"));
  t.print("one\n");
  t.print("\x1b[1mtwo\n");
  EXPECT_EQ(read_file("term log.txt"), "one\n\x1b[1mtwo\n");
  qzTerminal broken;
  ASSERT_TRUE(broken.create("x=0,y=100,lines=4,columns=20,logfile=no/such/dir/x.txt"));
  broken.print("still printed");
  EXPECT_EQ(broken.memory().rowText(0), "still printed");
}

TEST_F(TerminalTest, HeldArrowScrollsOnTheTimerTicks) {
  qzTerminal t;
  ASSERT_TRUE(t.create("x=0,y=0,lines=5,columns=20,scrollback=100,cursor"));
  for (int i = 0; i < 60; ++i) t.print("%d\n", i);
  qzdispatch_pending();
  ASSERT_EQ(t.viewOffset(), 0);
  qzRect up = t.upArrowRect();
  ASSERT_FALSE(up.empty());
  int native = window.nativeHandle();
  qzheadless_mouse_down(native, up.x + up.w / 2, up.y + up.h / 2);
  qzdispatch_pending();
  EXPECT_EQ(t.viewOffset(), 1);  // the press itself
  qzdrive_wait(1.05);
  int held = t.viewOffset();
  EXPECT_GE(held, 10);
  EXPECT_LE(held, 12);
  qzheadless_mouse_up(native, up.x + up.w / 2, up.y + up.h / 2);
  qzdispatch_pending();
  qzdrive_wait(1.0);
  EXPECT_EQ(t.viewOffset(), held);  // released: no more scrolling
  std::string log = read_file("qzk.log");
  size_t first = log.find("terminal-scrolltimer started: 10 ticks/sec.\n");
  EXPECT_NE(first, std::string::npos);
  // Only the first hold of a run starts the timer.
  qzheadless_mouse_down(native, up.x + up.w / 2, up.y + up.h / 2);
  qzdispatch_pending();
  qzheadless_mouse_up(native, up.x + up.w / 2, up.y + up.h / 2);
  qzdispatch_pending();
  EXPECT_EQ(read_file("qzk.log").find("terminal-scrolltimer started", first + 1), std::string::npos);
  t.print("new\n");
  EXPECT_EQ(t.viewOffset(), 0);
}

TEST_F(TerminalTest, NarrowTerminalScrollsSideways) {
  qzTerminal t;
  ASSERT_TRUE(t.create("x=0,y=0,xs=200,lines=5,columns=100,scrollback=10"));
  ASSERT_TRUE(t.hasHorizontalBar());
  qzRect h = t.horizontalBarRect();
  qzRect v = t.scrollBarRect();
  EXPECT_EQ(h.y + h.h, t.rect().y + t.rect().h);
  EXPECT_EQ(v.h + h.h, t.rect().h);  // they meet at the corner
  qzdispatch_pending();
  qzdrive_click_at(window, h.x + h.w - 3, h.y + h.h / 2);  // the right arrow
  EXPECT_EQ(t.firstColumn(), 1);
  t.setFirstColumn(1000);
  int blank = qzfont_glyphwidth(t.font(), ' ');
  EXPECT_EQ(t.firstColumn(), 100 - (200 - qzTerminal::kBarWidth - 4) / blank);
  qzTerminal wide;
  ASSERT_TRUE(wide.create("x=0,y=200,lines=5,columns=20"));
  EXPECT_FALSE(wide.hasHorizontalBar());
}
