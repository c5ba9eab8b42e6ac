// The menu bar's own handling of the mouse and the keys, driven through a
// real window: while a list is open, keys, typed text and the wheel stay
// in the bar; a click outside the list closes it and goes on as a click.
#include <gtest/gtest.h>

#include "headless_fixture.h"
#include "qzk/button.h"
#include "qzk/drive.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/lineinput.h"
#include "qzk/menu.h"
#include "qzk/platform/headless.h"
#include "qzk/window.h"

namespace {

class MenuBar : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    ASSERT_TRUE(w.create("bar,xs=400,ys=200,noquit"));
    ASSERT_TRUE(input.create("x=10,y=60,xs=200,ys=20"));
    ASSERT_TRUE(button.create("b,x=300,y=150,xs=60,ys=20"));
    ASSERT_TRUE(file.create(w, "&File"));
    open = file.addEntry(nullptr, nullptr, "&Open");
    save = file.addEntry(nullptr, nullptr, "&Save");
    quit = file.addEntry(nullptr, nullptr, "&Quit");
    ASSERT_TRUE(help.create(w, "&Help,rightaligned"));
    about = help.addEntry(nullptr, nullptr, "&About");
    line = qzfont_height(w.font()) + 4;
  }
  // The middle of entry `index` of an open list.
  void entryPoint(const qzWindowMenu& menu, int index, int& x, int& y) const {
    qzRect list = menu.listRect();
    x = list.x + 5;
    y = list.y + 2 + index * line + line / 2;
  }
  void clickCaption(const qzWindowMenu& menu) {
    qzRect c = menu.captionRect();
    qzdrive_click_at(w, c.x + 2, c.y + 2);
  }

  qzWindow w;
  qzLineInput input;
  qzButton button;
  qzWindowMenu file, help;
  int open = 0, save = 0, quit = 0, about = 0, line = 0;
};

}  // namespace

TEST_F(MenuBar, CaptionsFromTheLeftAndRightAlignedFromTheRightEnd) {
  EXPECT_EQ(file.captionRect().x, 4);
  qzRect h = help.captionRect();
  EXPECT_EQ(h.x + h.w, w.width() - 4);
  EXPECT_EQ(h.w, qzfont_textwidth(w.font(), "Help") + 12);
  EXPECT_EQ(file.captionRect().h, w.menuHeight() - 2);
}

TEST_F(MenuBar, ArrowsWrapReturnChoosesEscapeCloses) {
  qzdrive_key(w, 'f', QZ_MOD_ALT);
  ASSERT_TRUE(file.isOpen());
  EXPECT_EQ(file.highlighted(), 0);
  qzdrive_key(w, QZ_KEY_UP);
  EXPECT_EQ(file.highlighted(), 2);  // up from the first wraps to the last
  qzdrive_key(w, QZ_KEY_DOWN);
  EXPECT_EQ(file.highlighted(), 0);
  qzdrive_key(w, QZ_KEY_DOWN);
  qzdrive_key(w, QZ_KEY_RETURN);
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(qzpoll_event(), save);

  qzdrive_key(w, 'H', QZ_MOD_ALT);  // capital hotkeys open as well
  ASSERT_TRUE(help.isOpen());
  qzdrive_key(w, QZ_KEY_ESCAPE);
  EXPECT_FALSE(help.isOpen());
  // Every key the open list took, its release included, stays in the bar.
  EXPECT_FALSE(qzevents_pending());
  // Alt with a letter no caption has goes on as a key.
  qzdrive_key(w, 'z', QZ_MOD_ALT);
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(qzpoll_event(), 'z');
  EXPECT_EQ(qzpoll_event(), 'z' + QZ_KEY_RELEASE);
}

TEST_F(MenuBar, OpenListKeepsTextKeysAndWheelFromTheWidgets) {
  qzdrive_click_at(w, 20, input.rect().y + 5);
  ASSERT_TRUE(input.hasFocus());
  qzdrive_type(w, "ab");
  ASSERT_EQ(input.text(), "ab");
  clickCaption(file);
  ASSERT_TRUE(file.isOpen());
  qzdrive_type(w, "cd");
  qzdrive_key(w, 'x');  // no entry's hotkey: the list stays open
  qzheadless_wheel(w.nativeHandle(), 20, input.rect().y + 5, 3);
  qzdispatch_pending();
  EXPECT_EQ(input.text(), "ab");
  EXPECT_TRUE(file.isOpen());
  EXPECT_FALSE(qzevents_pending());
  qzdrive_key(w, 'q');
  EXPECT_EQ(qzpoll_event(), quit);
  qzdrive_type(w, "e");
  EXPECT_EQ(input.text(), "abe");
}

TEST_F(MenuBar, MouseHighlightsChoosesOnReleaseAndClosesElsewhere) {
  clickCaption(file);
  ASSERT_TRUE(file.isOpen());
  int x, y;
  entryPoint(file, 1, x, y);
  qzheadless_mouse_move(w.nativeHandle(), x, y);
  qzdispatch_pending();
  EXPECT_EQ(file.highlighted(), 1);
  // Pressed on the caption, released on an entry: chosen.
  qzRect c = file.captionRect();
  qzdrive_click_at(w, c.x + 2, c.y + 2);  // the open menu's caption only closes it
  EXPECT_FALSE(file.isOpen());
  EXPECT_FALSE(qzevents_pending());
  qzheadless_mouse_down(w.nativeHandle(), c.x + 2, c.y + 2);
  qzdispatch_pending();
  ASSERT_TRUE(file.isOpen());
  entryPoint(file, 0, x, y);
  qzheadless_mouse_up(w.nativeHandle(), x, y);
  qzdispatch_pending();
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(qzpoll_event(), open);

  // A click outside the list closes it and reaches the widget there.
  clickCaption(file);
  qzdrive_click(button);
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(qzpoll_event(), button.eventId());
  // A click on another caption moves the list there.
  clickCaption(file);
  clickCaption(help);
  EXPECT_FALSE(file.isOpen());
  EXPECT_TRUE(help.isOpen());
  entryPoint(help, 0, x, y);
  qzdrive_click_at(w, x, y);
  EXPECT_EQ(qzpoll_event(), about);
}
