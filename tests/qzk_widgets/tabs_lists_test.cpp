// Tab pages, combo boxes and list boxes driven through the headless backend.
#include "qzk/button.h"
#include "qzk/combobox.h"
#include "qzk/listbox.h"
#include "qzk/tabcontrol.h"
#include "widget_test_util.h"

using TabsAndLists = WidgetTest;

TEST_F(TabsAndLists, OneBarGivesTwoPagesAndWidgetsFollowTheirPage) {
  qzTabControl tabs;
  ASSERT_TRUE(tabs.create("x=0,y=0,xs=600,ys=400,tabs=Menu|Text 1"));
  EXPECT_EQ(tabs.pageCount(), 2);
  EXPECT_EQ(tabs.label(1), "Text 1");
  qzTabControl single;
  ASSERT_TRUE(single.create("x=0,y=410,xs=100,ys=60,tabs=Only"));
  EXPECT_EQ(single.pageCount(), 1);

  ASSERT_TRUE(tabs.selectPage(0));
  qzButton onMenu;
  onMenu.create("On menu,x=20,y=60,xs=100");
  ASSERT_TRUE(tabs.selectPage(1));
  qzButton onText;
  onText.create("On text,x=20,y=60,xs=100");
  tabs.selectPage(-1);
  qzButton outside;
  outside.create("Outside,x=300,y=440,xs=100");
  EXPECT_EQ(outside.page(), nullptr);

  EXPECT_TRUE(onMenu.shown());
  EXPECT_FALSE(onText.shown());
  EXPECT_EQ(qzdrive_find(window, "On text"), nullptr);
  drain();
  // The click lands where both buttons lie: only the shown one gets it.
  qzdrive_click_at(window, 70, 70);
  EXPECT_EQ(count(drain(), onMenu.eventId()), 1);

  qzdrive_click_at(window, tabs.tabRect(1).x + 5, tabs.tabRect(1).y + 5);
  EXPECT_EQ(tabs.shownPage(), 1);
  EXPECT_FALSE(onMenu.shown());
  EXPECT_TRUE(onText.shown());
  EXPECT_TRUE(outside.shown());
  std::vector<int> events = drain();
  EXPECT_EQ(count(events, tabs.eventId()), 1);
  qzdrive_click_at(window, 70, 70);
  EXPECT_EQ(count(drain(), onText.eventId()), 1);

  // Hiding the whole control hides its pages' widgets.
  tabs.setVisible(false);
  EXPECT_FALSE(onText.shown());
  EXPECT_FALSE(tabs.showPage(2));
}

TEST_F(TabsAndLists, ComboEntriesAndChoicePostTheEvent) {
  qzComboBox one, months;
  ASSERT_TRUE(one.create("x=10,y=10,xs=100,entries=alone"));
  ASSERT_EQ(one.count(), 1);
  EXPECT_EQ(one.selectedText(), "alone");
  ASSERT_TRUE(months.create("x=200,y=10,xs=120,entries=Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|November|Dezember"));
  EXPECT_EQ(months.count(), 12);
  EXPECT_EQ(months.selectedIndex(), 0);
  EXPECT_EQ(months.rect().h, qzfont_height(months.font()) + 4);
  drain();

  qzdrive_click(months);
  ASSERT_TRUE(months.isOpen());
  qzRect r = months.popup().entryRect(2);
  ASSERT_FALSE(r.empty());
  qzdrive_click_at(window, r.x + 5, r.y + r.h / 2);
  EXPECT_FALSE(months.isOpen());
  EXPECT_EQ(months.selectedIndex(), 2);
  EXPECT_EQ(months.selectedText(), "März");
  EXPECT_EQ(count(drain(), months.eventId()), 1);

  // The list scrolls to entries beyond its rows; a click outside dismisses.
  qzdrive_click(months);
  for (int i = 0; i < 9; ++i) key(QZ_KEY_DOWN);
  EXPECT_EQ(months.popup().hot(), 11);
  EXPECT_FALSE(months.popup().entryRect(11).empty());
  qzdrive_click_at(window, 600, 400);
  EXPECT_FALSE(months.isOpen());
  EXPECT_EQ(months.selectedIndex(), 2);
  EXPECT_TRUE(drain().empty());
  // Keys on the closed box select directly.
  key(QZ_KEY_UP);
  EXPECT_EQ(months.selectedIndex(), 1);
  EXPECT_EQ(count(drain(), months.eventId()), 1);

  months.setEnabled(false);
  qzdrive_click(months);
  EXPECT_FALSE(months.isOpen());
}

TEST_F(TabsAndLists, ListSelectsByClickAndKeysAndPostsOnDoubleClick) {
  qzListBox list;
  ASSERT_TRUE(list.create("x=10,y=10,xs=200,ys=100"));
  for (int i = 0; i < 30; ++i) list.addEntry("entry " + std::to_string(i));
  EXPECT_LT(list.visibleRows(), 30);
  EXPECT_TRUE(list.bars().vertical().shown());
  drain();

  qzRect r = list.entryRect(1);
  qzdrive_click_at(window, r.x + 5, r.y + 2);
  EXPECT_EQ(list.selectedIndex(), 1);
  std::vector<int> events = drain();
  EXPECT_EQ(count(events, list.id(qzListBox::kSelected)), 1);
  EXPECT_EQ(count(events, list.eventId()), 0);
  // A second click soon after on the same place chooses the entry.
  qzdrive_click_at(window, r.x + 5, r.y + 2);
  EXPECT_EQ(count(drain(), list.eventId()), 1);
  // A later click is a single click again.
  qzdrive_wait(1.0);
  qzdrive_click_at(window, r.x + 5, r.y + 2);
  EXPECT_EQ(count(drain(), list.eventId()), 0);

  key(QZ_KEY_END);
  EXPECT_EQ(list.selectedIndex(), 29);
  EXPECT_EQ(list.firstVisible(), 30 - list.visibleRows());
  key(QZ_KEY_RETURN);
  EXPECT_EQ(count(drain(), list.eventId()), 1);
  key(QZ_KEY_HOME);
  EXPECT_EQ(list.firstVisible(), 0);

  // Wheel and bar scroll without changing the selection.
  qzdrive_click(list.bars().vertical());  // on the track below the thumb: a page
  EXPECT_GT(list.firstVisible(), 0);
  EXPECT_EQ(list.selectedIndex(), 0);
  qzheadless_wheel(window.nativeHandle(), r.x + 5, r.y + 2, 5);
  qzdispatch_pending();
  EXPECT_EQ(list.firstVisible(), 0);

  list.clear();
  EXPECT_EQ(list.selectedIndex(), -1);
  EXPECT_FALSE(list.bars().vertical().shown());
}
