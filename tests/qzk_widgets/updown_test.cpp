// The up/down control driven through the headless backend: its arrows,
// typed values and the repeat of a held arrow.
#include "qzk/updown.h"

#include "widget_test_util.h"

using UpDown = WidgetTest;

TEST_F(UpDown, NeverShowsOrReturnsAValueOutsideItsRange) {
  qzUpDownControl ud;
  ASSERT_TRUE(ud.create("x=10,y=10,xs=120,min=1,max=31,start=30"));
  qzdrive_click(ud.upArrow());
  qzdrive_click(ud.upArrow());
  qzdrive_click(ud.upArrow());
  EXPECT_EQ(ud.intValue(), 31);
  EXPECT_EQ(ud.text(), "31");
  // Typed values are clamped when taken, on Return...
  qzdrive_click(ud);
  key(QZ_KEY_END);
  key(QZ_KEY_BACKSPACE);
  key(QZ_KEY_BACKSPACE);
  type("99");
  EXPECT_EQ(ud.text(), "99");  // still being typed
  key(QZ_KEY_RETURN);
  EXPECT_EQ(ud.text(), "31");
  EXPECT_EQ(ud.intValue(), 31);
  // ... and when the value is read before Return was pressed.
  key(QZ_KEY_HOME);
  key(QZ_KEY_END, QZ_MOD_SHIFT);
  type("-40");
  EXPECT_EQ(ud.intValue(), 1);
  EXPECT_EQ(ud.text(), "1");
  for (int i = 0; i < 5; ++i) qzdrive_click(ud.downArrow());
  EXPECT_EQ(ud.doubleValue(), 1.0);
  // A text that is no number brings the old value back.
  key(QZ_KEY_HOME);
  key(QZ_KEY_END, QZ_MOD_SHIFT);
  type("abc");
  key(QZ_KEY_RETURN);
  EXPECT_EQ(ud.text(), "1");
  ud.setValue(1e9);
  EXPECT_EQ(ud.intValue(), 31);
}

TEST_F(UpDown, DisplayFollowsDigitsAndStep) {
  qzUpDownControl minute, half, plain;
  ASSERT_TRUE(minute.create("x=10,y=10,xs=80,min=0,max=59,start=7,digits=2"));
  ASSERT_TRUE(half.create("x=10,y=50,xs=80,min=0,max=10,step=0.5,start=2.2,digits=1"));
  ASSERT_TRUE(plain.create("x=10,y=90,xs=80,min=0,max=10,step=0.25,start=2.3"));
  EXPECT_EQ(minute.text(), "07");
  EXPECT_EQ(half.text(), "2.0");
  EXPECT_EQ(plain.text(), "2.25");
  qzdrive_click(half.upArrow());
  EXPECT_EQ(half.text(), "2.5");
  EXPECT_DOUBLE_EQ(half.doubleValue(), 2.5);
  qzdrive_click(minute.downArrow());
  EXPECT_EQ(minute.text(), "06");
}

TEST_F(UpDown, ChangesPostTheControlsEventAndFocusChangeTakesTypedValue) {
  qzUpDownControl a, b;
  ASSERT_TRUE(a.create("x=10,y=10,xs=80,min=0,max=100,start=5"));
  ASSERT_TRUE(b.create("x=10,y=50,xs=80,min=0,max=100,start=5"));
  drain();
  qzdrive_click(a.upArrow());
  EXPECT_EQ(count(drain(), a.eventId()), 1);
  qzdrive_click(a);
  key(QZ_KEY_END);
  key(QZ_KEY_BACKSPACE);
  type("42");
  EXPECT_TRUE(drain().empty());
  qzdrive_click(b);  // the focus moves on: the typed value is taken
  EXPECT_EQ(a.text(), "42");
  EXPECT_EQ(count(drain(), a.eventId()), 1);
  // Keys step while the field has the focus.
  key(QZ_KEY_UP);
  key(QZ_KEY_PAGEUP);
  EXPECT_EQ(b.intValue(), 16);
}

TEST_F(UpDown, HoldingAnArrowRepeatsAtTheTimersRate) {
  qzUpDownControl ud;
  ASSERT_TRUE(ud.create("x=10,y=10,xs=80,min=0,max=1000,start=0"));
  drain();
  qzdrive_hold(ud.upArrow(), 0.5);
  // One step at the press, one after the repeat delay, then one per period.
  int expected = 1 + 1 + static_cast<int>((0.5 - qzButton::kRepeatDelay) / qzButton::kRepeatPeriod + 1e-9);
  EXPECT_EQ(ud.intValue(), expected);
  EXPECT_EQ(count(drain(), ud.eventId()), expected);
  EXPECT_GE(qztimer_rate(), 10);
}

TEST_F(UpDown, DisabledControlIgnoresArrowsAndLooksGrey) {
  qzUpDownControl ud;
  ASSERT_TRUE(ud.create("x=10,y=10,xs=80,min=0,max=10,start=3"));
  qzdispatch_pending();
  qzRect f = ud.fieldRect();
  uint32_t before = qzpxmap_getpixel(window.pixels(), f.x + 3, f.y + 3);
  ud.setEnabled(false);
  qzdispatch_pending();
  qzdrive_click(ud.upArrow());
  EXPECT_EQ(ud.intValue(), 3);
  EXPECT_FALSE(ud.upArrow().enabled());
  EXPECT_NE(qzpxmap_getpixel(window.pixels(), f.x + 3, f.y + 3), before);
}

TEST_F(UpDown, TypingAfterTakingTheFocusReplacesTheValue) {
  qzUpDownControl ud;
  ASSERT_TRUE(ud.create("x=10,y=10,xs=80,min=1,max=12,start=3"));
  ud.takeFocus();
  type("11");
  key(QZ_KEY_RETURN);
  EXPECT_EQ(ud.intValue(), 11);
}
