// The entry dialog driven through its widgets on the headless backend.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <memory>

#include "app/answers.h"
#include "app/script_driver.h"
#include "data/open_dialogs.h"
#include "data/person_entry.h"
#include "qzk/events.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/updown.h"
#include "qzk/window.h"

namespace {

class PersonEntryTest : public testing::Test {
 protected:
  void SetUp() override {
    static std::string dir = [] {
      std::string d = testing::TempDir() + "/person_entry_XXXXXX";
      return std::string(mkdtemp(d.data()));
    }();
    ASSERT_EQ(chdir(dir.c_str()), 0);
    qzplatform_use_headless();
    qzevents_reset();
  }
  void TearDown() override {
    StopAnswering();
    qzheadless_set_idle_hook({});
    qzevents_reset();
  }
  std::string failure;
  void Answer(AnswerQueue& q) {
    StartAnswering(q, [this](const std::string& m) {
      failure = m;
      qzquit();
    });
  }
};

PersonEntry Sample() {
  PersonEntry e = EntryFromRecord(DefaultEventRecord());
  e.familyName = "Meier";
  e.month = 3;
  return e;
}

TEST_F(PersonEntryTest, PersonFileValuesGoThroughTheFields) {
  std::ofstream("anna.person") << "first name = Anna\nmonth = 12\nday = 24\nsummer time = 1\n"
                                  "latitude degrees = -33\n";
  AnswerQueue q;
  q.Push({0, "Daten bearbeiten", "anna.person"});
  Answer(q);
  PersonEntry e = Sample();
  ASSERT_TRUE(EditPersonEntry(e)) << failure;
  EXPECT_EQ(e.familyName, "Meier") << "keys the file leaves out keep the shown values";
  EXPECT_EQ(e.firstName, "Anna");
  EXPECT_EQ(e.month, 12) << "combo index 11 is December";
  EXPECT_EQ(e.day, 24);
  EXPECT_EQ(e.summerTime, 1);
  EXPECT_EQ(e.latitudeDegrees, -33);
  EXPECT_EQ(e.timeZone, 1);
  EXPECT_EQ(e.year, 2000);
}

TEST_F(PersonEntryTest, CancelLeavesTheEntryAndRangesAreChecked) {
  AnswerQueue q;
  q.Push({0, "", "cancel"});
  Answer(q);
  PersonEntry e = Sample();
  EXPECT_FALSE(EditPersonEntry(e));
  EXPECT_EQ(e.familyName, "Meier");

  std::ofstream("old.person") << "year = 1700\n";
  AnswerQueue q2;
  q2.Reset({{4, "", "old.person"}}, 5, "p.kmwb");
  Answer(q2);
  EXPECT_FALSE(EditPersonEntry(e));
  EXPECT_EQ(failure, "p.kmwb, line 4: old.person: 1700 is outside the dialog's field range 1800..3000");
}

TEST_F(PersonEntryTest, FieldsClampWhatIsTyped) {
  // A person types 45 into the day field and presses OK.
  auto step = std::make_shared<int>(0);
  qzheadless_set_idle_hook([step] {
    OpenDialog* d = TopOpenDialog();
    if (!d || *step > 1) return;
    int w = d->window->nativeHandle();
    auto* day = static_cast<qzUpDownControl*>(d->fields[2]);
    if ((*step)++ == 0) {
      const qzRect& r = day->fieldRect();
      qzheadless_click(w, r.x + 3, r.y + r.h / 2);
      qzheadless_key(w, QZ_KEY_END);
      for (int i = 0; i < 4; ++i) qzheadless_key(w, QZ_KEY_BACKSPACE);
      qzheadless_text(w, "45");
      qzheadless_key(w, QZ_KEY_RETURN);
    } else {
      const qzRect& r = d->buttons[0]->rect();
      qzheadless_click(w, r.x + r.w / 2, r.y + r.h / 2);
    }
  });
  PersonEntry e = Sample();
  ASSERT_TRUE(EditPersonEntry(e));
  EXPECT_EQ(e.day, 31);
}

TEST(PersonEntryRecord, ConversionCutsLongTexts) {
  PersonEntry e;
  e.familyName = std::string(120, 'x');
  EventRecord r = RecordFromEntry(e);
  EXPECT_EQ(std::string(r.familyName).size(), 49u);
  EXPECT_EQ(EntryFromRecord(r).familyName, std::string(49, 'x'));
}

}  // namespace
