// What all widgets share: the disabled look, and the up/down arrows and
// list choices still working while a dialog waits for one of its events.
#include <functional>
#include <memory>

#include "qzk/button.h"
#include "qzk/combobox.h"
#include "qzk/lineinput.h"
#include "qzk/listbox.h"
#include "qzk/progressbar.h"
#include "qzk/scrollbar.h"
#include "qzk/simpletext.h"
#include "qzk/tabcontrol.h"
#include "qzk/updown.h"
#include "widget_test_util.h"

using Widgets = WidgetTest;

namespace {
int differing_pixels(const qzPixmap& a, const std::vector<uint32_t>& before, const qzRect& r) {
  int n = 0;
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x) n += qzpxmap_getpixel(a, x, y) != before[static_cast<size_t>(y) * a.width + x];
  return n;
}
}  // namespace

TEST_F(Widgets, EveryKindLooksDifferentWhenDisabled) {
  qzComboBox combo;
  qzLineInput line;
  qzListBox list;
  qzUpDownControl updown;
  qzTabControl tabs;
  qzProgressBar progress;
  qzSimpleTextDisplay text;
  qzScrollBarWidget bar;
  combo.create("x=10,y=10,xs=120,entries=eins|zwei");
  line.create("x=150,y=10,xs=120,default=text");
  list.create("x=10,y=50,xs=120,ys=80,entries=a|b|c");
  list.select(1);
  updown.create("x=150,y=50,xs=120,start=5");
  tabs.create("x=300,y=10,xs=200,ys=120,tabs=One|Two");
  progress.create("x=10,y=150,xs=200,ys=16");
  progress.setFraction(0.5);
  text.create("x=10,y=180,xs=200,ys=40");
  text.setText("Some words");
  bar.create("hor,x=10,y=240,xs=200");
  bar.setRange(100, 10);
  qzWidget* all[] = {&combo, &line, &list, &updown, &tabs, &progress, &text, &bar};
  qzdispatch_pending();
  for (qzWidget* w : all) {
    std::vector<uint32_t> before = window.pixels().rgb;
    w->setEnabled(false);
    qzdispatch_pending();
    EXPECT_GT(differing_pixels(window.pixels(), before, w->rect()), 0) << w->kind();
    before = window.pixels().rgb;
    w->setEnabled(true);
    qzdispatch_pending();
    EXPECT_GT(differing_pixels(window.pixels(), before, w->rect()), 0) << w->kind();
  }
}

TEST_F(Widgets, ArrowsWorkWhileADialogWaitsForItsButton) {
  // The way an integer question waits: for its OK button or its close box.
  qzUpDownControl ud;
  ud.create("x=10,y=10,xs=100,min=1,max=12,start=3");
  qzButton ok;
  ok.create("OK,x=10,y=60,xs=80,default");
  int step = 0;
  qzheadless_set_idle_hook([&] {
    if (step == 0) qzheadless_click(window.nativeHandle(), ud.upArrow().rect().x + 2, ud.upArrow().rect().y + 2);
    if (step == 1) qzheadless_click(window.nativeHandle(), ok.rect().x + 5, ok.rect().y + 5);
    ++step;
  });
  int e = qzwait_for_one_of({ok.eventId(), window.closeId()});
  qzheadless_set_idle_hook({});
  EXPECT_EQ(e, ok.eventId());
  EXPECT_EQ(ud.intValue(), 4);
}

TEST_F(Widgets, StandaloneScrollBarPostsAndDragsItsThumb) {
  qzScrollBarWidget bar;
  ASSERT_TRUE(bar.create("vert,x=10,y=10,ys=200"));
  EXPECT_TRUE(bar.vertical());
  EXPECT_EQ(bar.rect().w, qzScrollBarWidget::kWidth);
  bar.setRange(50, 10, 2);
  drain();
  qzdrive_click(bar);  // on the track below the thumb: one page
  EXPECT_EQ(bar.position(), 8);
  qzRect down = bar.highArrowRect();
  qzdrive_click_at(window, down.x + 3, down.y + 3);
  EXPECT_EQ(bar.position(), 10);
  EXPECT_EQ(count(drain(), bar.eventId()), 2);
  // Dragging the thumb to the end of the track reaches the last position.
  qzRect thumb = bar.thumbRect();
  int handle = window.nativeHandle();
  qzheadless_mouse_down(handle, thumb.x + 3, thumb.y + 3);
  qzheadless_mouse_move(handle, thumb.x + 3, bar.trackRect().y + bar.trackRect().h + 50);
  qzheadless_mouse_up(handle, thumb.x + 3, bar.trackRect().y + bar.trackRect().h + 50);
  qzdispatch_pending();
  EXPECT_EQ(bar.position(), 40);
  // Held on an arrow, it repeats on the platform clock.
  qzRect up = bar.lowArrowRect();
  qzheadless_mouse_down(handle, up.x + 3, up.y + 3);
  qzdispatch_pending();
  qzdrive_wait(0.5 + 1e-9);
  qzheadless_mouse_up(handle, up.x + 3, up.y + 3);
  qzdispatch_pending();
  EXPECT_EQ(bar.position(), 40 - 2 * 4);
  // A shrinking content pulls the position back within range.
  bar.setRange(20, 10, 1);
  EXPECT_EQ(bar.position(), 10);
}

TEST_F(Widgets, LabelsWithoutSizeFitTheirText) {
  qzSimpleTextDisplay centred, corner, boxed;
  ASSERT_TRUE(centred.create("x=50%,y=100"));
  ASSERT_TRUE(corner.create("x=10,y=10"));
  ASSERT_TRUE(boxed.create("x=10,y=200,xs=300,ys=40"));
  int centre = centred.rect().x + centred.rect().w / 2;
  int w = qzfont_textwidth(centred.font(), "month:");
  centred.setText("month:");
  corner.setText("two\nlines");
  boxed.setText("month:");
  EXPECT_EQ(centred.rect().w, w + 4);
  EXPECT_NEAR(centred.rect().x + centred.rect().w / 2, centre, 1);
  EXPECT_EQ(corner.rect().x, 10);
  EXPECT_EQ(corner.rect().y, 10 + window.widgetArea().y);
  EXPECT_EQ(corner.rect().h, 2 * qzfont_height(corner.font()) + 4);
  EXPECT_EQ(boxed.rect().w, 300);
  // The text is drawn: black pixels inside the label.
  qzdispatch_pending();
  int black = 0;
  const qzRect& r = centred.rect();
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x) black += qzpxmap_getpixel(window.pixels(), x, y) == 0x000000u;
  EXPECT_GT(black, 10);
}
