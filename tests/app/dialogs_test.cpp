// The standard dialogs driven through their widgets on the headless backend.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <unistd.h>

#include "app/answers.h"
#include "app/dialogs.h"
#include "app/file_choice.h"
#include <fstream>
#include "app/script_driver.h"
#include "data/open_dialogs.h"
#include "qzk/button.h"
#include "qzk/events.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/updown.h"
#include "qzk/window.h"
#include "temp_folder.h"

namespace {

class DialogTest : public testing::Test {
 protected:
  void SetUp() override {
    static const std::string dir = MakeTempFolder("app_dialogs_");
    ASSERT_EQ(chdir(dir.c_str()), 0);
    qzplatform_use_headless();
    qzevents_reset();
  }
  void TearDown() override {
    qzheadless_set_idle_hook({});
    StopAnswering();
    qzevents_reset();
  }
  // Runs `step` once per idle wait while a dialog is open: the test acts
  // like a person at the screen who looks at the dialog and answers.
  void WhenIdle(std::function<void(OpenDialog&)> step) {
    // The backend may call a copy of the hook: keep the state outside it.
    auto done = std::make_shared<int>(0);
    qzheadless_set_idle_hook([step, done] {
      OpenDialog* d = TopOpenDialog();
      if (d && d->serial != *done) {
        *done = d->serial;
        step(*d);
      }
    });
  }
  static void Click(qzWidget& w) {
    const qzRect& r = w.rect();
    qzheadless_click(w.window()->nativeHandle(), r.x + r.w / 2, r.y + r.h / 2);
  }
};

TEST_F(DialogTest, InputIntNeverLeavesItsRange) {
  for (auto [typed, want] : {std::pair{"500", 100}, std::pair{"-7", 1}, std::pair{"42", 42}}) {
    WhenIdle([typed = std::string(typed)](OpenDialog& d) {
      ASSERT_EQ(d.kind, DialogKind::Int);
      int window = d.window->nativeHandle();
      qzheadless_key(window, QZ_KEY_END);
      for (int i = 0; i < 8; ++i) qzheadless_key(window, QZ_KEY_BACKSPACE);
      qzheadless_text(window, typed);
      Click(*d.buttons[0]);
    });
    EXPECT_EQ(InputInt("How many?", 1, 100, 10), want) << "typed " << typed;
  }
}

TEST_F(DialogTest, InputArrayWithOneLabelIs156PixelsHigh) {
  int height = 0;
  WhenIdle([&](OpenDialog& d) {
    height = d.window->height();
    EXPECT_EQ(d.fields.size(), 1u);
    Click(*d.buttons[0]);
  });
  double values[24] = {2.5};
  InputArray("Weights", values, {"Sun"});
  EXPECT_EQ(height, 156);
  EXPECT_EQ(values[0], 2.5) << "the shown value is read back";
}

TEST_F(DialogTest, InputDateTimeShowsADisabledYearAtItsMinimum) {
  bool yearEnabled = true;
  double yearShown = 0;
  WhenIdle([&](OpenDialog& d) {
    auto* year = static_cast<qzUpDownControl*>(d.fields[2]);
    yearEnabled = year->enabled();
    yearShown = year->doubleValue();
    EXPECT_TRUE(d.fields[0]->hasFocus()) << "the first editable field has the focus";
    Click(*d.buttons[0]);
  });
  int day = 3, month = 4, year = -1, hour = 5, minute = 6, second = -1;
  InputDateTime("Date", day, month, year, hour, minute, second);
  EXPECT_FALSE(yearEnabled);
  EXPECT_EQ(yearShown, 1000);
  EXPECT_EQ(year, 1000);
  EXPECT_EQ(second, 0);
  EXPECT_EQ(day, 3);
  EXPECT_EQ(minute, 6);
}

TEST_F(DialogTest, InputDoubleReadsTextThatIsNoNumberAsZero) {
  AnswerQueue answers;
  answers.Push({0, "", "abc"});
  answers.Push({0, "", "0.25"});
  StartAnswering(answers, [](const std::string& m) { ADD_FAILURE() << m; });
  EXPECT_EQ(InputDouble("Factor?", 1.5), 0.0);
  EXPECT_EQ(InputDouble("Factor?", 1.5), 0.25);
}

TEST_F(DialogTest, InputYesNoCursorKeysMoveTheFocus) {
  // One key per idle wait, as a person presses them one after the other.
  auto keys = [](std::vector<int> sequence) {
    auto next = std::make_shared<size_t>(0);
    qzheadless_set_idle_hook([sequence, next] {
      OpenDialog* d = TopOpenDialog();
      if (d && *next < sequence.size()) qzheadless_key(d->window->nativeHandle(), sequence[(*next)++]);
    });
  };
  keys({QZ_KEY_RIGHT, QZ_KEY_SPACE});
  EXPECT_EQ(InputYesNo("Continue?", 1), 0) << "right arrow: focus to No";
  keys({QZ_KEY_RIGHT, QZ_KEY_LEFT, QZ_KEY_SPACE});
  EXPECT_EQ(InputYesNo("Continue?", 0), 1) << "left arrow: focus back to Yes";
  keys({QZ_KEY_SPACE});
  EXPECT_EQ(InputYesNo("Continue?", 0), 0) << "default 0: focus on No";
}

TEST_F(DialogTest, DialogsReturnMinusOneWhenTheProgramEnds) {
  qzheadless_set_idle_hook({});  // nobody answers: the headless run comes to a stop
  EXPECT_EQ(InputYesNo("Continue?", 1), -1);
  qzevents_reset();
  EXPECT_EQ(InputChoice("Which?", {"a", "b"}), -1);
  qzevents_reset();
  EXPECT_EQ(InputInt("How many?", 1, 9, 4), 4) << "InputInt returns what its control holds";
  qzevents_reset();
  EXPECT_EQ(InputChoice("Which?", {}), -1) << "no buttons: no dialog that could never end";
}

TEST_F(DialogTest, ScriptAnswersChoicesByLabelAndStopsOutOfStep) {
  AnswerQueue answers;
  answers.Reset({{7, "Which", "Second, with comma"}, {8, "Weights", "1"}}, 9, "test.kmwb");
  std::string failure;
  StartAnswering(answers, [&](const std::string& m) {
    failure = m;
    qzquit();
  });
  EXPECT_EQ(InputChoice("Which one?", {"First", "Second, with comma"}), 2);
  EXPECT_EQ(failure, "");
  EXPECT_EQ(InputYesNo("Continue?", 1), -1);
  EXPECT_EQ(failure, "test.kmwb, line 8: the answer is for \"Weights\" but the dialog asks \"continue?\"");
}

TEST_F(DialogTest, ScriptValueOutsideTheRangeIsAnErrorNotAClamp) {
  AnswerQueue answers;
  answers.Reset({{3, "", "101"}}, 4, "s.kmwb");
  std::string failure;
  StartAnswering(answers, [&](const std::string& m) {
    failure = m;
    qzquit();
  });
  InputInt("How many?", 1, 100, 10);
  EXPECT_EQ(failure, "s.kmwb, line 3: 101 is outside 1..100");
}

TEST_F(DialogTest, FileDialogTakesAPathFromTheScript) {
  std::ofstream("members.dbf") << "x";
  AnswerQueue answers;
  answers.Reset({{2, "Open", "members.dbf"}, {3, "Open", "absent.dbf"}}, 4, "f.kmwb");
  std::string failure;
  StartAnswering(answers, [&](const std::string& m) {
    failure = m;
    qzquit();
  });
  std::string path;
  ASSERT_TRUE(ChooseFile(path, "filter=*.dbf"));
  EXPECT_EQ(path.substr(path.size() - 12), "/members.dbf") << path;
  EXPECT_EQ(failure, "");
  // An open dialog wants a file that exists: it stays open, and the run stops.
  EXPECT_FALSE(ChooseFile(path, "filter=*.dbf"));
  EXPECT_EQ(failure, "f.kmwb, line 3: the dialog \"open\" did not take the answer \"absent.dbf\"");
}

}  // namespace
