// Ending a module before its end on the headless backend: Escape and the
// close box in every kind of dialog, the three ways to quit while a
// dialog waits, the keyboard focus of the menu page, and what the dialogs
// show (the choice's question, whole numbers, a value put in range).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/file_choice.h"
#include "app/main_window.h"
#include "app/modules.h"
#include "app/module_files.h"
#include "app/output.h"
#include "app/testing.h"
#include "data/open_dialogs.h"
#include "qzk/events.h"
#include "qzk/lineinput.h"
#include "qzk/platform/headless.h"
#include "qzk/simpletext.h"
#include "qzk/updown.h"
#include "qzk/window.h"
#include "read_file.h"

namespace {

void Click(qzWidget& w) {
  const qzRect& r = w.rect();
  qzheadless_click(w.window()->nativeHandle(), r.x + r.w / 2, r.y + r.h / 2);
}

void ClickAt(qzWindow& window, const qzRect& r) {
  qzheadless_click(window.nativeHandle(), r.x + r.w / 2, r.y + r.h / 2);
}

// The test module: asks the dialog of `kind`, then one more question,
// writes a working file and prints that it got to its end.
DialogKind askedKind = DialogKind::Int;
int askedAfter = 0;
const char* const kToyFile = "toy-result.txt";

void ToyModule() {
  TextOutput(2);
  ClearOutput();
  PrintOut("toy begins\n");
  double values[2] = {1, 2};
  int a = 1, b = 2, c = 2000, h = 0, m = 0, s = 0;
  std::string path;
  switch (askedKind) {
    case DialogKind::Int: InputInt("How many?", 1, 10, 5); break;
    case DialogKind::YesNo: InputYesNo("Really?", 1); break;
    case DialogKind::Double: InputDouble("Factor?", 1.5); break;
    case DialogKind::Array: InputArray("Weights", values, {"Sun", "Moon"}); break;
    case DialogKind::Choice: InputChoice("Which one?", {"First", "Second"}); break;
    case DialogKind::DateTime: InputDateTime("When?", a, b, c, h, m, s); break;
    case DialogKind::File: ChooseFile(path, "filter=*.txt"); break;
    default: break;
  }
  if (InputYesNo("And then?", 1) >= 0) ++askedAfter;
  KeepFileBeforeWrite(kToyFile);
  FILE* f = std::fopen(kToyFile, "wb");
  std::fputs("new\n", f);
  std::fclose(f);
  PrintOut("toy ends\n");
}

class EndingEarly : public testing::Test {
 protected:
  void SetUp() override { askedAfter = 0; }
  void TearDown() override { qzheadless_set_idle_hook({}); }

  // Presses the menu button `label` and runs the main loop's events while
  // `act` handles each dialog as it opens (once per dialog).
  static void RunActing(const std::string& label, std::function<void(OpenDialog&)> act) {
    MainWindow& m = *Shell();
    auto done = std::make_shared<int>(0);
    qzheadless_set_idle_hook([act, done] {
      OpenDialog* d = TopOpenDialog();
      if (d && d->serial != *done) {
        *done = d->serial;
        act(*d);
      }
    });
    ClickAt(m.window, m.tabs.tabRect(0));
    qzdispatch_pending();
    Click(m.modules[static_cast<size_t>(MenuButtonIndex(label))]);
    for (int event; (event = qzpoll_event()) != 0;)
      if (!HandleMainEvent(event)) break;
    qzheadless_set_idle_hook({});
  }
};

const char* const kToy = "9- Team-analysis";

TEST_F(EndingEarly, EscapeInEveryKindOfDialogCancelsTheModule) {
  const DialogKind kinds[] = {DialogKind::Int,    DialogKind::YesNo,    DialogKind::Double, DialogKind::Array,
                              DialogKind::Choice, DialogKind::DateTime, DialogKind::File};
  for (DialogKind kind : kinds) {
    WorkbenchSession s({{kToy, ToyModule}});
    { FILE* f = std::fopen(kToyFile, "wb"); std::fputs("old\n", f); std::fclose(f); }
    askedKind = kind;
    askedAfter = 0;
    int dialogs = 0;
    RunActing(kToy, [&](OpenDialog& d) {
      ++dialogs;
      // The file dialog is the toolkit's own window, the newest one.
      qzWindow* window = d.window ? d.window : qzWindow::all().back();
      qzheadless_key(window->nativeHandle(), QZ_KEY_ESCAPE);
    });
    const int k = static_cast<int>(kind);
    EXPECT_EQ(dialogs, 1) << "kind " << k << ": the question after the cancelled one is never shown";
    EXPECT_EQ(askedAfter, 0) << "kind " << k;
    EXPECT_NE(s.Text(2).find("toy begins\n\n cancelled \n"), std::string::npos) << "kind " << k << s.Text(2);
    EXPECT_EQ(s.Text(2).find("toy ends"), std::string::npos) << "kind " << k;
    EXPECT_EQ(ReadFile(kToyFile), "old\n") << "kind " << k << ": the working file is as it was";
    EXPECT_TRUE(s.Window().modules[0].enabled()) << "kind " << k << ": the menu works again";
    EXPECT_TRUE(qzrunning()) << "kind " << k << ": a cancel does not end the program";
    EXPECT_EQ(TopOpenDialog(), nullptr);
  }
}

TEST_F(EndingEarly, TheDialogsCloseBoxCancelsAndTheNextRunIsWhole) {
  WorkbenchSession s({{kToy, ToyModule}});
  std::remove(kToyFile);
  askedKind = DialogKind::Int;
  RunActing(kToy, [](OpenDialog& d) { qzheadless_close(d.window->nativeHandle()); });
  EXPECT_NE(s.Text(2).find("cancelled"), std::string::npos);
  EXPECT_EQ(std::fopen(kToyFile, "rb"), nullptr) << "a file that was not there before is not there after";

  // The next run is not touched by the cancel before it.
  RunActing(kToy, [](OpenDialog& d) { Click(*d.buttons[0]); });
  EXPECT_EQ(askedAfter, 1);
  EXPECT_NE(s.Text(2).find("toy ends"), std::string::npos) << s.Text(2);
  EXPECT_EQ(s.Text(2).find("cancelled"), std::string::npos);
  EXPECT_EQ(ReadFile(kToyFile), "new\n");
}

TEST_F(EndingEarly, TheThreeQuitsWorkWhileADialogWaits) {
  for (int way = 0; way < 3; ++way) {
    WorkbenchSession s({{kToy, ToyModule}});
    { FILE* f = std::fopen(kToyFile, "wb"); std::fputs("old\n", f); std::fclose(f); }
    askedKind = DialogKind::Int;
    MainWindow& m = s.Window();
    int dialogs = 0;
    RunActing(kToy, [&](OpenDialog&) {
      ++dialogs;
      if (way == 0) {
        Click(m.quit);
      } else if (way == 1) {
        qzheadless_close(m.window.nativeHandle());
      } else {
        // "&File", then its first entry "&Quit", with the mouse.
        qzWindowMenu& file = m.fileMenu;
        ClickAt(m.window, file.captionRect());
        qzdispatch_pending();
        ASSERT_TRUE(file.isOpen()) << "the menu opens under the dialog";
        const qzRect list = file.listRect();
        int y = list.y;
        while (y < list.y + list.h && file.entryAt(list.x + 5, y) != 0) ++y;
        ASSERT_LT(y, list.y + list.h) << "the menu has its Quit entry";
        qzheadless_click(m.window.nativeHandle(), list.x + 5, y + 2);
      }
    });
    EXPECT_EQ(dialogs, 1) << "way " << way;
    EXPECT_FALSE(qzrunning()) << "way " << way << ": the program ends";
    EXPECT_EQ(askedAfter, 0) << "way " << way;
    EXPECT_EQ(ReadFile(kToyFile), "old\n") << "way " << way;
    EXPECT_EQ(TopOpenDialog(), nullptr);
  }
}

TEST_F(EndingEarly, OtherClicksOnTheMainWindowStayBlockedUnderADialog) {
  WorkbenchSession s({{kToy, ToyModule}});
  askedKind = DialogKind::Int;
  MainWindow& m = s.Window();
  RunActing(kToy, [&](OpenDialog& d) {
    if (d.question == "How many?") {
      Click(m.help);
      Click(m.modules[0]);
      ClickAt(m.window, m.tabs.tabRect(8));
      qzdispatch_pending();
      EXPECT_EQ(m.tabs.shownPage(), 8) << "the module's page stays in front";
    }
    Click(*d.buttons[0]);
  });
  EXPECT_EQ(askedAfter, 1);
  EXPECT_EQ(s.Text(0).find("WELCOME"), std::string::npos);
  EXPECT_TRUE(qzrunning());
}

TEST_F(EndingEarly, FocusStartsOnTheFirstModuleAndTabWalksTheMenuPage) {
  WorkbenchSession s;
  MainWindow& m = s.Window();
  int native = m.window.nativeHandle();
  EXPECT_EQ(m.window.focus().focused(), &m.modules[0]) << "Return after the start runs the welcome";
  for (size_t i = 1; i < m.modules.size(); ++i) {
    qzheadless_key(native, QZ_KEY_TAB);
    qzdispatch_pending();
    EXPECT_EQ(m.window.focus().focused(), &m.modules[i]) << "Tab to button " << i;
  }
  qzheadless_key(native, QZ_KEY_TAB);
  qzdispatch_pending();
  EXPECT_EQ(m.window.focus().focused(), &m.help);
  for (size_t i = m.modules.size(); i-- > 0;) {
    qzheadless_key(native, QZ_KEY_TAB, QZ_MOD_SHIFT);
    qzdispatch_pending();
    EXPECT_EQ(m.window.focus().focused(), &m.modules[i]) << "Shift-Tab to button " << i;
  }
  // After a module the focus is never left on "quit".
  askedKind = DialogKind::Int;
  SetModuleTable({{kToy, ToyModule}});
  s.Answer("How many -> 3");
  s.Answer("And then -> yes");
  ASSERT_TRUE(s.Run(kToy)) << s.Error();
  EXPECT_NE(m.window.focus().focused(), &m.quit);
}

TEST_F(EndingEarly, ChoiceShowsItsQuestionInsideTheDialog) {
  WorkbenchSession s({{kToy, ToyModule}});
  askedKind = DialogKind::Choice;
  std::string shown;
  int top = -1, firstButton = -1;
  RunActing(kToy, [&](OpenDialog& d) {
    if (d.kind == DialogKind::Choice) {
      for (qzWidget* w : d.window->container().widgets())
        if (std::string(w->kind()) == "simple text display") {
          shown = static_cast<qzSimpleTextDisplay*>(w)->text();
          top = w->rect().y + w->rect().h;
        }
      firstButton = d.buttons[0]->rect().y;
    }
    Click(*d.buttons[0]);
  });
  EXPECT_EQ(shown, "Which one?");
  EXPECT_LE(top, firstButton) << "the question stands above the buttons";
}

TEST_F(EndingEarly, FieldsShowLongValuesFromTheirStart) {
  WorkbenchSession s({{kToy, ToyModule}});
  askedKind = DialogKind::Array;
  std::vector<int> scroll;
  std::vector<int> fits;
  RunActing(kToy, [&](OpenDialog& d) {
    if (d.kind == DialogKind::Array) {
      auto* row = static_cast<qzLineInput*>(d.fields[0]);
      row->setText("1.00396");
      qzdispatch_pending();
      scroll.push_back(row->viewScroll());
      row->takeFocus();
      qzdispatch_pending();
      scroll.push_back(row->viewScroll());
      fits.push_back(row->rect().w >= 7 * 12 + 8);
    }
    Click(*d.buttons[0]);
  });
  EXPECT_EQ(scroll, (std::vector<int>{0, 0})) << "shown from the first character, also with the focus";
  EXPECT_EQ(fits, (std::vector<int>{1})) << "1.00396 fits the field whole";
}

TEST_F(EndingEarly, AValueOutsideTheRangeIsNamedWithTheValueTaken) {
  WorkbenchSession s({{kToy, ToyModule}});
  askedKind = DialogKind::Int;
  RunActing(kToy, [&](OpenDialog& d) {
    if (d.kind == DialogKind::Int) {
      int window = d.window->nativeHandle();
      qzheadless_key(window, QZ_KEY_END);
      for (int i = 0; i < 4; ++i) qzheadless_key(window, QZ_KEY_BACKSPACE);
      qzheadless_text(window, "99");
    }
    Click(*d.buttons[0]);
  });
  EXPECT_NE(s.Text(2).find("\n 99 is outside 1 to 10: 10 taken \n"), std::string::npos) << s.Text(2);
  // A value in range says nothing.
  RunActing(kToy, [&](OpenDialog& d) { Click(*d.buttons[0]); });
  EXPECT_EQ(s.Text(2).find("outside"), std::string::npos) << s.Text(2);
}

}  // namespace
