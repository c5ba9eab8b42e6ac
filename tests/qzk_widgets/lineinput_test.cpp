// The line input driven through the headless backend.
#include "qzk/lifecycle.h"
#include "qzk/lineinput.h"
#include "widget_test_util.h"

using LineInput = WidgetTest;

TEST_F(LineInput, DefaultMaxlenAndTyping) {
  qzLineInput in;
  ASSERT_TRUE(in.create("x=10,y=10,xs=200,maxlen=5,default=Hans Meier"));
  EXPECT_EQ(in.text(), "Hans ");
  qzdrive_click(in);
  key(QZ_KEY_END);
  type("xyz");
  EXPECT_EQ(in.text(), "Hans ");
  key(QZ_KEY_BACKSPACE);
  type("Äb");
  EXPECT_EQ(in.text(), "HansÄ");
  in.setText("abc");
  EXPECT_EQ(in.text(), "abc");
}

TEST_F(LineInput, CutCopyPasteGoThroughTheClipboard) {
  qzLineInput a, b;
  ASSERT_TRUE(a.create("x=10,y=10,xs=200,default=Länge 7"));
  ASSERT_TRUE(b.create("x=10,y=50,xs=200"));
  qzdrive_click(a);
  key(QZ_KEY_HOME);
  key(QZ_KEY_RIGHT, QZ_MOD_SHIFT);
  key(QZ_KEY_RIGHT, QZ_MOD_SHIFT);
  key('x', QZ_MOD_CTRL);
  EXPECT_EQ(qzclipboard_get(), "Lä");
  EXPECT_EQ(a.text(), "nge 7");
  qzdrive_click(b);
  key('v', QZ_MOD_CTRL);
  key(QZ_KEY_INSERT, QZ_MOD_SHIFT);
  EXPECT_EQ(b.text(), "LäLä");
  key('a', QZ_MOD_CTRL);
  key('c', QZ_MOD_CTRL);
  EXPECT_EQ(qzclipboard_get(), "LäLä");
  // A pasted line end does not break the one-line field.
  qzclipboard_set("1\n2");
  key(QZ_KEY_END);
  key('v', QZ_MOD_CTRL);
  EXPECT_EQ(b.text(), "LäLä1 2");
}

TEST_F(LineInput, ReturnMovesTheFocusOnUnlessKeepfocus) {
  qzLineInput first, keep, last;
  ASSERT_TRUE(first.create("x=10,y=10,xs=200"));
  ASSERT_TRUE(keep.create("x=10,y=50,xs=200,keepfocus"));
  ASSERT_TRUE(last.create("x=10,y=90,xs=200,align=right"));
  EXPECT_TRUE(last.rightAligned());
  first.takeFocus();
  drain();
  key(QZ_KEY_RETURN);
  EXPECT_TRUE(keep.hasFocus());
  EXPECT_EQ(count(drain(), first.eventId()), 1);
  key(QZ_KEY_RETURN);
  EXPECT_TRUE(keep.hasFocus());
}

TEST_F(LineInput, CaretFollowsClicksAndDisabledInputTakesNothing) {
  qzLineInput in;
  ASSERT_TRUE(in.create("x=10,y=10,xs=200,default=abcdef"));
  qzdispatch_pending();
  int cw = qzfont_textwidth(in.font(), "a");
  // A click just right of the third character puts the caret after it.
  qzRect inner = in.rect().inset(2);
  qzdrive_click_at(window, inner.x + 2 + 3 * cw, in.rect().y + in.rect().h / 2);
  EXPECT_EQ(in.editState().caret, 3u);
  type("X");
  EXPECT_EQ(in.text(), "abcXdef");
  qzdispatch_pending();
  uint32_t field = qzpxmap_getpixel(window.pixels(), inner.x + inner.w - 3, inner.y + 1);
  in.setEnabled(false);
  type("Y");
  EXPECT_EQ(in.text(), "abcXdef");
  EXPECT_FALSE(in.hasFocus());
  qzdispatch_pending();
  EXPECT_NE(qzpxmap_getpixel(window.pixels(), inner.x + inner.w - 3, inner.y + 1), field);
}
