#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "headless_fixture.h"
#include "qzk/button.h"
#include "qzk/dialogs.h"
#include "qzk/drive.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/lifecycle.h"
#include "qzk/log.h"
#include "qzk/menu.h"
#include "qzk/widget.h"
#include "qzk/window.h"

using Windows = HeadlessTest;

namespace {
void count_call(qzWidget&, int, void* user) { ++*static_cast<int*>(user); }

std::string log_text() {
  std::ifstream in(qzlog_path());
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

TEST_F(Windows, MessageBoxReturnsOnOkAndIsGone) {
  int hookCalls = 0;
  qzheadless_set_idle_hook([&] {
    ++hookCalls;
    qzWindow* box = qzdrive_window("message");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->modal());
    EXPECT_EQ(box->width(), 250);
    EXPECT_EQ(box->height(), 200);
    EXPECT_EQ(box->left(), (1280 - 250) / 2);
    qzWidget* ok = qzdrive_find(*box, "OK");
    ASSERT_NE(ok, nullptr);
    qzdrive_click(*ok);
  });
  EXPECT_EQ(qzmessagebox("Value %d, text %s", 42, "with, commas and 50%"), 1);
  EXPECT_EQ(hookCalls, 1);
  EXPECT_EQ(qzdrive_window("message"), nullptr);
  EXPECT_TRUE(qzrunning());
}

TEST_F(Windows, MessageBoxReturnsOnCloseWithoutEndingTheApplication) {
  qzheadless_set_idle_hook([] {
    if (qzWindow* box = qzdrive_window("message")) qzdrive_close(*box);
  });
  EXPECT_EQ(qzmessagebox("close me"), 2);
  EXPECT_EQ(qzdrive_window("message"), nullptr);
  EXPECT_TRUE(qzrunning());
}

TEST_F(Windows, MessageBoxTakesReturnOnItsDefaultButton) {
  qzheadless_set_idle_hook([] {
    if (qzWindow* box = qzdrive_window("message")) qzdrive_key(*box, QZ_KEY_RETURN);
  });
  EXPECT_EQ(qzmessagebox("press Return"), 1);
}

TEST_F(Windows, MessageBoxBlocksTheWindowsBelow) {
  qzWindow main;
  ASSERT_TRUE(main.create("main,xs=300,ys=200,noquit"));
  qzButton b;
  ASSERT_TRUE(b.create("Run,x=10,y=10,xs=80,ys=30"));
  int calls = 0;
  b.setCallback(count_call, &calls);
  qzheadless_set_idle_hook([&] {
    EXPECT_TRUE(main.blocked());
    qzdrive_click(b);   // ignored: the message box is modal
    qzdrive_close(main);
    if (qzWindow* box = qzdrive_window("message")) qzdrive_click(*qzdrive_find(*box, "OK"));
  });
  EXPECT_EQ(qzmessagebox("modal"), 1);
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(main.blocked());
  EXPECT_TRUE(qzrunning());
  qzdrive_click(b);
  EXPECT_EQ(calls, 1);
}

TEST_F(Windows, WindowWithoutNoquitEndsTheApplicationWhenClosed) {
  qzWindow w;
  ASSERT_TRUE(w.create("dialog,x=50%,y=50%,xs=300,ys=200"));
  EXPECT_TRUE(w.endsApplication());
  qzdrive_close(w);
  EXPECT_FALSE(qzrunning());
  EXPECT_EQ(qzwait_event(), 0);
  // The close identifier was posted all the same, for a poll to see.
  EXPECT_EQ(qzpoll_event(), w.closeId());
}

TEST_F(Windows, WindowWithNoquitPostsItsCloseIdentifierOnly) {
  qzWindow w;
  ASSERT_TRUE(w.create("dialog,x=50%,y=50%,xs=300,ys=200,NOQUIT"));
  EXPECT_FALSE(w.endsApplication());
  qzdrive_close(w);
  EXPECT_TRUE(qzrunning());
  EXPECT_EQ(qzwait_event(), w.closeId());
  EXPECT_TRUE(w.exists());  // closing asks; the application destroys
  w.destroy();
  EXPECT_FALSE(w.exists());
  std::string log = log_text();
  EXPECT_NE(log.find("window open: 490 412 300*200 \"dialog\"   cs=\"dialog,x=50%,y=50%,xs=300,ys=200,NOQUIT\"\n"),
            std::string::npos);
  EXPECT_NE(log.find("window closed (\"dialog\")\n"), std::string::npos);
}

TEST_F(Windows, PlacementFramesAndNativeSpecs) {
  qzheadless_set_screen(1000, 800);
  qzWindow a, b, c;
  ASSERT_TRUE(a.create("A,x=50%,y=50%,xs=650,ys=300,modal,nosysmenu,noquit"));
  EXPECT_EQ(a.left(), 175);
  EXPECT_EQ(a.top(), 250);
  ASSERT_TRUE(b.create("B,xs=95%,ys=95%,noquit"));
  EXPECT_EQ(b.left(), 0);
  EXPECT_EQ(b.top(), 0);
  EXPECT_EQ(b.width(), 950);
  EXPECT_EQ(b.height(), 760);
  ASSERT_TRUE(c.create("C,fullscreen,noquit"));
  EXPECT_EQ(c.width(), 1000);
  EXPECT_EQ(c.height(), 800);
  qzNativeWindowSpec frame;
  ASSERT_TRUE(qzheadless_window_spec(a.nativeHandle(), frame));
  EXPECT_TRUE(frame.topmost);
  EXPECT_FALSE(frame.sysmenu);
  ASSERT_TRUE(qzheadless_window_spec(c.nativeHandle(), frame));
  EXPECT_TRUE(frame.frameless);
  EXPECT_FALSE(frame.topmost);
  // Every window's pixels reach the screen at once.
  std::vector<uint32_t> px;
  int w = 0, h = 0;
  ASSERT_TRUE(qzheadless_pixels(a.nativeHandle(), px, w, h));
  EXPECT_EQ(w, 650);
  EXPECT_EQ(px[0], a.background());
}

TEST_F(Windows, ButtonsPostOrCallAndIgnoreDisabledAndMissedClicks) {
  qzWindow w;
  ASSERT_TRUE(w.create("w,xs=400,ys=300,noquit"));
  qzButton a, b;
  ASSERT_TRUE(a.create("Alpha,x=10,y=10,xs=100,ys=30"));
  ASSERT_TRUE(b.create("Beta,x=10,y=50,xs=100,ys=30"));
  EXPECT_GE(a.eventId(), 1000000);
  EXPECT_EQ(b.eventId(), a.eventId() + 11);  // 11 identifiers per widget
  qzdrive_click(a);
  EXPECT_EQ(qzpoll_event(), a.eventId());
  int calls = 0;
  b.setCallback(count_call, &calls);
  qzdrive_click(b);
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(qzevents_pending());
  a.setEnabled(false);
  qzdrive_click(a);
  EXPECT_FALSE(qzevents_pending());
  a.setEnabled(true);
  // Pressed on the button, released outside it: no activation.
  qzheadless_mouse_down(w.nativeHandle(), 20, 20);
  qzheadless_mouse_move(w.nativeHandle(), 300, 200);
  qzheadless_mouse_up(w.nativeHandle(), 300, 200);
  qzdispatch_pending();
  EXPECT_FALSE(a.pressed());
  EXPECT_FALSE(qzevents_pending());
  // While a wait for one of several events runs, a plain button posts.
  qzheadless_set_idle_hook([&] { qzdrive_click(b); });
  EXPECT_EQ(qzwait_for_one_of({b.eventId()}), b.eventId());
  EXPECT_EQ(calls, 1);
}

TEST_F(Windows, KeyboardFocusDefaultButtonHotkeysAndPostedKeys) {
  qzWindow w;
  ASSERT_TRUE(w.create("keys,xs=400,ys=300,noquit"));
  qzButton one, skipped, two, def;
  ASSERT_TRUE(one.create("&One,x=10,y=10,xs=80,ys=30"));
  ASSERT_TRUE(skipped.create("Skip,x=10,y=50,xs=80,ys=30,skip"));
  ASSERT_TRUE(two.create("T&wo,x=10,y=90,xs=80,ys=30"));
  ASSERT_TRUE(def.create("Go,x=10,y=130,xs=80,ys=30,default"));
  EXPECT_EQ(one.caption(), "One");
  EXPECT_EQ(one.hotkey(), 'o');
  EXPECT_EQ(two.hotkey(), 'w');
  one.takeFocus();
  qzdrive_key(w, QZ_KEY_TAB);
  EXPECT_TRUE(two.hasFocus());  // "skip" is passed over
  qzdrive_key(w, QZ_KEY_TAB);
  EXPECT_TRUE(def.hasFocus());
  qzdrive_key(w, QZ_KEY_TAB);
  EXPECT_TRUE(one.hasFocus());  // wraps around
  qzdrive_key(w, QZ_KEY_TAB, QZ_MOD_SHIFT);
  EXPECT_TRUE(def.hasFocus());
  EXPECT_FALSE(qzevents_pending());  // Tab and its release were used

  // Return on a focused button presses it; elsewhere the default button.
  one.takeFocus();
  qzdrive_key(w, QZ_KEY_RETURN);
  EXPECT_EQ(qzpoll_event(), one.eventId());
  EXPECT_FALSE(qzevents_pending());
  one.setEnabled(false);
  EXPECT_FALSE(one.hasFocus());  // the focus moved off the disabled button
  w.focus().setFocus(nullptr);
  qzdrive_key(w, QZ_KEY_RETURN);
  EXPECT_EQ(qzpoll_event(), def.eventId());
  one.setEnabled(true);

  // Hotkeys, plain and with Alt; a disabled widget's hotkey does nothing.
  qzdrive_key(w, 'w');
  EXPECT_EQ(qzpoll_event(), two.eventId());
  EXPECT_TRUE(two.hasFocus());
  qzdrive_key(w, 'o', QZ_MOD_ALT);
  EXPECT_EQ(qzpoll_event(), one.eventId());
  two.setEnabled(false);
  qzdrive_key(w, 'w');
  EXPECT_EQ(qzpoll_event(), 'w');
  EXPECT_EQ(qzpoll_event(), 'w' + 512);

  // Keys nobody uses are posted: press as the code, release + 512.
  qzdrive_key(w, QZ_KEY_LEFT);
  qzdrive_key(w, QZ_KEY_F12);
  EXPECT_EQ(qzpoll_event(), 301);
  EXPECT_EQ(qzpoll_event(), 301 + 512);
  EXPECT_EQ(qzpoll_event(), 316);
  EXPECT_EQ(qzpoll_event(), 316 + 512);
  EXPECT_FALSE(qzevents_pending());

  // Space presses the focused button on release.
  def.takeFocus();
  qzheadless_key_down(w.nativeHandle(), ' ');
  qzdispatch_pending();
  EXPECT_TRUE(def.pressed());
  EXPECT_FALSE(qzevents_pending());
  qzheadless_key_up(w.nativeHandle(), ' ');
  qzdispatch_pending();
  EXPECT_EQ(qzpoll_event(), def.eventId());
  EXPECT_FALSE(qzevents_pending());
}

TEST_F(Windows, HeldRepeatButtonFollowsPlatformTime) {
  qzWindow w;
  ASSERT_TRUE(w.create("repeat,xs=200,ys=100,noquit"));
  qzButton r, plain;
  ASSERT_TRUE(r.create("more,x=10,y=10,xs=60,ys=30,mouserepeat"));
  ASSERT_TRUE(plain.create("once,x=100,y=10,xs=60,ys=30"));
  qzdrive_hold(r, 0.5);  // at 0, 0.3, 0.4 and 0.5 seconds
  EXPECT_EQ(qzevents_count(), 4);
  while (qzevents_pending()) EXPECT_EQ(qzpoll_event(), r.eventId());
  qzdrive_hold(r, 0.1);
  EXPECT_EQ(qzevents_count(), 1);
  qzpoll_event();
  // A plain button held for a second still activates once, on release.
  qzdrive_hold(plain, 1.0);
  EXPECT_EQ(qzevents_count(), 1);
  EXPECT_EQ(qzpoll_event(), plain.eventId());
  EXPECT_GE(qztimer_rate(), 10);
}

TEST_F(Windows, MenuEntriesPostTheirIdentifiers) {
  qzWindow w;
  ASSERT_TRUE(w.create("menu,xs=300,ys=200,noquit"));
  qzButton below;
  ASSERT_TRUE(below.create("below,x=0,y=0,xs=50,ys=20"));
  qzWindowMenu file;
  ASSERT_TRUE(file.create(w, "&File"));
  int open = file.addEntry(nullptr, nullptr, "&Open");
  int quit = file.addEntry(nullptr, nullptr, "&Quit");
  EXPECT_NE(open, quit);
  int bar = w.menuHeight();
  EXPECT_EQ(bar, qzfont_height(w.font()) + 6);
  EXPECT_EQ(w.height(), 200 + bar);  // the bar comes on top of the client size
  EXPECT_EQ(below.rect().y, bar);    // widgets stay below it
  qzRect c = file.captionRect();
  qzdrive_click_at(w, c.x + 2, c.y + 2);
  ASSERT_TRUE(file.isOpen());
  qzRect list = file.listRect();
  int line = qzfont_height(w.font()) + 4;
  qzdrive_click_at(w, list.x + 5, list.y + 2 + line + line / 2);
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ(qzpoll_event(), quit);
  // From the keyboard: Alt+F opens, the entry's hotkey chooses.
  qzdrive_key(w, 'f', QZ_MOD_ALT);
  EXPECT_TRUE(file.isOpen());
  qzdrive_key(w, 'o');
  EXPECT_EQ(qzpoll_event(), open);
  EXPECT_FALSE(qzevents_pending());
}

TEST_F(Windows, WidgetsOnAHiddenPageGetNoInput) {
  qzWindow w;
  ASSERT_TRUE(w.create("pages,xs=300,ys=200,noquit"));
  qzWidgetPage page;
  page.window = &w;
  w.setCurrentPage(&page);
  qzButton onPage;
  ASSERT_TRUE(onPage.create("p,x=10,y=10,xs=50,ys=20"));
  w.setCurrentPage(nullptr);
  EXPECT_EQ(onPage.page(), &page);
  onPage.takeFocus();
  page.shown = false;
  page.changed();
  EXPECT_FALSE(onPage.shown());
  EXPECT_FALSE(onPage.hasFocus());
  qzdrive_click(onPage);
  EXPECT_FALSE(qzevents_pending());
  page.shown = true;
  page.changed();
  qzdrive_click(onPage);
  EXPECT_EQ(qzpoll_event(), onPage.eventId());
}

TEST_F(Windows, DestroyingAWindowDetachesItsWidgets) {
  qzButton b;
  {
    qzWindow w;
    ASSERT_TRUE(w.create("short,xs=100,ys=100,noquit"));
    ASSERT_TRUE(b.create("b"));
    EXPECT_TRUE(b.exists());
  }
  EXPECT_FALSE(b.exists());
  EXPECT_EQ(b.window(), nullptr);
  b.destroy();  // harmless
  // Without a window a widget is refused, with a log line.
  EXPECT_FALSE(b.create("orphan"));
}

TEST_F(Windows, DeferredBuildingOpensWindowsPaintedAtTheEnd) {
  qzwindow_build_begin();
  qzWindow w;
  ASSERT_TRUE(w.create("later,xs=200,ys=100,noquit"));
  qzButton b;
  ASSERT_TRUE(b.create("b,x=10,y=10,xs=50,ys=20"));
  EXPECT_TRUE(qzwindow_building());
  EXPECT_EQ(w.nativeHandle(), 0);
  qzwindow_build_end();
  ASSERT_NE(w.nativeHandle(), 0);
  std::vector<uint32_t> px;
  int pw = 0, ph = 0;
  ASSERT_TRUE(qzheadless_pixels(w.nativeHandle(), px, pw, ph));
  EXPECT_EQ(px[10 * pw + 10], 0xFFFFFFu);  // the button's lit corner is there at once
}

TEST_F(Windows, InformationBoxReturnsAtOnceAndIsReplaced) {
  qzWindow main;
  ASSERT_TRUE(main.create("main,xs=300,ys=200,noquit"));
  qzinfobox("working on %d", 1);
  qzWindow* info = qzdrive_window("info");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->width(), 200);
  EXPECT_EQ(info->height(), 100);
  EXPECT_FALSE(main.blocked());          // the program goes on under it
  EXPECT_EQ(qzWindow::current(), &main);  // and builds in its own window
  qzinfobox("working on %d", 2);
  int infos = 0;
  for (qzWindow* w : qzWindow::all()) infos += w->title() == "info";
  EXPECT_EQ(infos, 1);
  qzinfobox_close();
  EXPECT_EQ(qzdrive_window("info"), nullptr);
}

TEST_F(Windows, AboutBoxWaitsForDismiss) {
  bool seen = false;
  qzheadless_set_idle_hook([&] {
    qzWindow* about = qzdrive_window("about qzk");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->width(), 550);
    EXPECT_FALSE(about->endsApplication());
    seen = true;
    qzdrive_key(*about, QZ_KEY_RETURN);  // "Dismiss" is the default button
  });
  qzk_about();
  EXPECT_TRUE(seen);
  EXPECT_EQ(qzdrive_window("about qzk"), nullptr);
  EXPECT_TRUE(qzrunning());
}

TEST_F(Windows, OnlyChangedPartsArePresentedAndTheScreenMatchesThePixmap) {
  qzWindow w;
  ASSERT_TRUE(w.create("present,xs=300,ys=200,noquit"));
  qzButton a, b;
  ASSERT_TRUE(a.create("a,x=10,y=10,xs=60,ys=30"));
  ASSERT_TRUE(b.create("b,x=100,y=10,xs=60,ys=30"));
  qzdispatch_pending();
  auto screen = [&](int x, int y) {
    std::vector<uint32_t> px;
    int pw = 0, ph = 0;
    EXPECT_TRUE(qzheadless_pixels(w.nativeHandle(), px, pw, ph));
    return px[static_cast<size_t>(y) * pw + x];
  };
  EXPECT_EQ(screen(10, 10), 0xFFFFFFu);
  qzheadless_mouse_down(w.nativeHandle(), 20, 20);
  qzdispatch_pending();
  EXPECT_EQ(screen(10, 10), 0x404040u);   // pressed: dark outer edge
  EXPECT_EQ(screen(100, 10), 0xFFFFFFu);  // the other button untouched
  qzheadless_mouse_up(w.nativeHandle(), 20, 20);
  qzdispatch_pending();
  EXPECT_EQ(screen(10, 10), 0xFFFFFFu);
  std::vector<uint32_t> px;
  int pw = 0, ph = 0;
  ASSERT_TRUE(qzheadless_pixels(w.nativeHandle(), px, pw, ph));
  EXPECT_EQ(px, w.pixels().rgb);
}

namespace {
class SelfRemoving : public qzButton {
 public:
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override {
    qzButton::mouseDown(x, y, button, clicks, modifiers);
    destroy();
    return true;
  }
};
}  // namespace

TEST_F(Windows, AWidgetThatGoesAwayInItsHandlerIsNotKeptCaptured) {
  qzWindow w;
  ASSERT_TRUE(w.create("gone,xs=200,ys=100,noquit"));
  SelfRemoving b;
  ASSERT_TRUE(b.create("bye,x=10,y=10,xs=60,ys=30"));
  qzheadless_mouse_down(w.nativeHandle(), 20, 20);
  qzdispatch_pending();
  EXPECT_FALSE(b.exists());
  EXPECT_EQ(w.container().captured(), nullptr);
  qzheadless_mouse_up(w.nativeHandle(), 20, 20);
  qzdispatch_pending();
  EXPECT_FALSE(qzevents_pending());
}
