// The person selection list driven by mouse: double clicks on its entries
// choose the members, in the order clicked, and it closes by itself when
// the group is complete.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyses/members_pick.h"
#include "app/testing.h"
#include "qzk/drive.h"
#include "qzk/lineinput.h"
#include "qzk/listbox.h"
#include "qzk/platform/headless.h"
#include "qzk/window.h"
#include "qzk/xbase.h"

namespace {

std::vector<int> picked;
std::vector<std::string> shownEntries;
std::string chosenLine;

template <class Widget>
Widget* FindKind(qzWindow& window, const char* kind) {
  for (qzWidget* w : window.container().widgets())
    if (std::string(w->kind()) == kind) return static_cast<Widget*>(w);
  return nullptr;
}

void DoubleClick(qzWindow& window, const qzRect& r) {
  qzheadless_click(window.nativeHandle(), r.x + 10, r.y + r.h / 2);
  qzheadless_click(window.nativeHandle(), r.x + 10, r.y + r.h / 2);
}

// A module of its own: the list of pick.dbf, entries 3 and then 1 double
// clicked, for a group of two.
void PickTwo() {
  qzXBase table;
  if (!table.open("pick.dbf", true)) return;
  const TableFieldMap map = MapTableFields(table);
  int step = 0;
  qzheadless_set_idle_hook([&step] {
    qzWindow* w = qzdrive_top_window();
    if (!w || w->title() != "Choose data") return;
    auto* list = FindKind<qzListBox>(*w, "list box");
    if (!list) return;
    if (step == 0) shownEntries = list->entries();
    if (step < 2) DoubleClick(*w, list->entryRect(step == 0 ? 2 : 0));
    if (step == 1) {
      if (auto* line = FindKind<qzLineInput>(*w, "line input")) chosenLine = line->text();
    }
    ++step;
  });
  picked = PickMembers(table, map, 2);
  qzheadless_set_idle_hook({});
}

TEST(PickList, DoubleClicksChooseTheMembers) {
  WorkbenchSession s({{"9- Team-analysis", PickTwo}});
  ASSERT_TRUE(qzXBase::create("pick.dbf", {{"LASTNAME", 'C', 20, 0},
                                           {"FIRSTNAME", 'C', 20, 0},
                                           {"YEAR", 'N', 5, 0},
                                           {"MONTH", 'N', 3, 0},
                                           {"DAY", 'N', 3, 0},
                                           {"HOUR", 'N', 3, 0},
                                           {"MINUTE", 'N', 3, 0}}));
  {
    qzXBase t;
    ASSERT_TRUE(t.open("pick.dbf"));
    const char* names[] = {"Erste", "Zweite", "Dritte", "Vierte"};
    for (int i = 0; i < 4; ++i) {
      ASSERT_GE(t.append_record(), 0);
      t.write_field(0, "%s", names[i]);
      t.write_field(1, "%s", "Anna");
      t.write_field(2, "%d", 1960 + i);
      t.write_field(3, "%d", 3);
      t.write_field(4, "%d", 10 + i);
      t.write_field(5, "%d", 9);
      t.write_field(6, "%d", 5);
    }
  }
  ASSERT_TRUE(s.Run("9- Team-analysis")) << s.Error();
  ASSERT_EQ(shownEntries.size(), 4u);
  EXPECT_EQ(shownEntries[2], "   3  Dritte, Anna  12.3.1962 09:05  ");
  EXPECT_EQ(chosenLine, "3");  // after the first double click
  EXPECT_EQ(picked, (std::vector<int>{2, 0}));
}

}  // namespace
