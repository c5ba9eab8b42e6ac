// Person files with a zone name or a place to look up, and the entry
// dialog's place look-up, on the real places database.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "app/answers.h"
#include "app/script_driver.h"
#include "data/open_dialogs.h"
#include "data/person_entry.h"
#include "data/person_file.h"
#include "places_test_util.h"
#include "qzk/combobox.h"
#include "qzk/events.h"
#include "qzk/lineinput.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/updown.h"
#include "qzk/window.h"

using namespace places_test;

namespace {

class WithPlaces : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(RealPlacesDir().empty());
    ASSERT_EQ(chdir(RealPlacesDir().c_str()), 0);
  }
};

using PersonFilePlaces = WithPlaces;

TEST_F(PersonFilePlaces, ZoneNameGivesZoneAndSummerTimeForTheDate) {
  EventRecord r = DefaultEventRecord();
  std::string error;
  PersonTextNotes notes;
  ASSERT_TRUE(ParsePersonText("day = 1\nmonth = 7\nyear = 1990\nhour = 12\nzone name = Europe/Berlin\n", r, error,
                              &notes))
      << error;
  EXPECT_EQ(r.timeZone, 1);
  EXPECT_EQ(r.summerTime, 1);
  EXPECT_EQ(notes.zoneName, "Europe/Berlin");
  EXPECT_EQ(r.longitudeDegrees, 10) << "no place look-up with a zone alone";

  // The zone is taken after all lines: the date may come after it.
  r = DefaultEventRecord();
  ASSERT_TRUE(ParsePersonText("zone name = Asia/Kolkata\nhour = 12\nminute = 0\nday = 1\nmonth = 7\nyear = 1990\n",
                              r, error))
      << error;
  EXPECT_EQ(r.timeZone, 6);
  EXPECT_EQ(r.hour, 12);
  EXPECT_EQ(r.minute, 30) << "+5:30 stored in zone 6";
}

TEST_F(PersonFilePlaces, PlaceWithoutCoordinatesIsLookedUp) {
  EventRecord r = DefaultEventRecord();
  std::string error;
  PersonTextNotes notes;
  ASSERT_TRUE(ParsePersonText("place = Zurich\nday = 17\nmonth = 3\nyear = 1955\nhour = 23\nminute = 59\n", r, error,
                              &notes))
      << error;
  EXPECT_STREQ(r.place, "Zurich") << "the text stays as the file gives it";
  EXPECT_EQ(r.longitudeDegrees, 8);
  EXPECT_EQ(r.longitudeMinutes, 33);
  EXPECT_EQ(r.latitudeDegrees, 47);
  EXPECT_EQ(r.latitudeMinutes, 22);
  EXPECT_EQ(r.timeZone, 1);
  EXPECT_EQ(r.summerTime, 0) << "Switzerland had no summer time in 1955";
  EXPECT_EQ(notes.foundPlace, "Z\xc3\xbcrich (CH, Zurich)");
  EXPECT_EQ(notes.zoneName, "Europe/Zurich");

  // South and west: both parts negative; the file's own zone wins.
  r = DefaultEventRecord();
  ASSERT_TRUE(ParsePersonText("place = Buenos Aires\ntime zone = -3\nsummer time = 0\n", r, error)) << error;
  EXPECT_LT(r.longitudeDegrees, 0);
  EXPECT_LE(r.longitudeMinutes, 0);
  EXPECT_EQ(r.latitudeDegrees, -34);
  EXPECT_LE(r.latitudeMinutes, 0);
  EXPECT_EQ(r.timeZone, -3);

  // Coordinates given: no look-up.
  r = DefaultEventRecord();
  ASSERT_TRUE(ParsePersonText("place = Zurich\nlongitude degrees = 9\n", r, error)) << error;
  EXPECT_EQ(r.longitudeDegrees, 9);
  EXPECT_EQ(r.latitudeDegrees, 10);
  EXPECT_EQ(r.timeZone, 1);
}

TEST_F(PersonFilePlaces, UnknownPlacesAndZonesAreBadLines) {
  const std::pair<const char*, const char*> cases[] = {
      {"day = 1\nplace = Qwxyzzyville\n", "line 2: \"Qwxyzzyville\" is not in the places database"},
      {"day = 1\nzone name = Mars/Olympus\n", "line 2: \"Mars/Olympus\" is no zone name"},
      {"zone name = Europe/Berlin\ntime zone = 1\n", "line 2: give either \"zone name\" or"},
      {"zone name = \n", "line 1: no zone name"},
      {"year = 1500\nzone name = Europe/Berlin\n", "line 2: the year 1500 is outside 1583..9999"},
  };
  for (const auto& [text, message] : cases) {
    EventRecord r = DefaultEventRecord();
    r.day = 7;
    std::string error;
    EXPECT_FALSE(ParsePersonText(text, r, error)) << text;
    EXPECT_EQ(error.rfind(message, 0), 0u) << error;
    EXPECT_EQ(r.day, 7);
  }
}

class EntryLookUp : public WithPlaces {
 protected:
  void SetUp() override {
    WithPlaces::SetUp();
    qzplatform_use_headless();
    qzevents_reset();
  }
  void TearDown() override {
    StopAnswering();
    qzheadless_set_idle_hook({});
    qzevents_reset();
  }
};

// A person types a place and presses Return, then OK.
TEST_F(EntryLookUp, TypedPlaceFillsCoordinatesAndZone) {
  auto step = std::make_shared<int>(0);
  auto shown = std::make_shared<std::vector<std::string>>();
  qzheadless_set_idle_hook([step, shown] {
    OpenDialog* d = TopOpenDialog();
    if (!d || *step > 1) return;
    const int w = d->window->nativeHandle();
    if ((*step)++ == 0) {
      auto* place = static_cast<qzLineInput*>(d->fields[9]);
      const qzRect& r = place->rect();
      qzheadless_click(w, r.x + 3, r.y + r.h / 2);
      qzheadless_text(w, "Kolkata");
      qzheadless_key(w, QZ_KEY_RETURN);
    } else {
      for (qzWidget* widget : d->window->container().widgets())
        if (std::string(widget->kind()) == "combo box") *shown = static_cast<qzComboBox*>(widget)->entries();
      const qzRect& r = d->buttons[0]->rect();
      qzheadless_click(w, r.x + r.w / 2, r.y + r.h / 2);
    }
  });
  PersonEntry e = EntryFromRecord(DefaultEventRecord());
  e.place.clear();
  e.day = 1, e.month = 7, e.year = 1990, e.hour = 12, e.minute = 0;
  ASSERT_TRUE(EditPersonEntry(e));
  ASSERT_FALSE(shown->empty());
  EXPECT_EQ(shown->front(), "Kolkata, IN, West Bengal");
  EXPECT_EQ(e.place, "Kolkata");
  EXPECT_EQ(e.longitudeDegrees, 88);
  EXPECT_EQ(e.latitudeDegrees, 22);
  EXPECT_EQ(e.zoneName, "Asia/Kolkata");
  EXPECT_EQ(e.timeZone, 6);
  EXPECT_EQ(e.summerTime, 0);
  EXPECT_EQ(e.hour, 12);
  EXPECT_EQ(e.minute, 30) << "kept in zone 6, the clock 30 minutes on";
}

TEST(EntryLookUpParts, ZoneFollowsTheDateAndHandValuesWin) {
  Place berlin;
  berlin.name = "Berlin";
  berlin.country = "DE";
  berlin.latitude = 52.52437;
  berlin.longitude = 13.41053;
  berlin.zone = "Europe/Berlin";
  PersonEntry e;
  e.year = 1990, e.month = 1, e.day = 1, e.hour = 12;
  std::string note;
  ASSERT_TRUE(TakePlace(e, berlin, note)) << note;
  EXPECT_EQ(e.longitudeDegrees, 13);
  EXPECT_EQ(e.longitudeMinutes, 25);
  EXPECT_EQ(e.latitudeMinutes, 31);
  EXPECT_EQ(e.timeZone, 1);
  EXPECT_EQ(e.summerTime, 0);
  EXPECT_EQ(note, "Europe/Berlin +1 h");
  e.month = 7;
  ASSERT_TRUE(TakeZone(e, note));
  EXPECT_EQ(e.summerTime, 1);
  EXPECT_EQ(note, "Europe/Berlin +1 h, Sommerzeit +1 h");
  std::string error;
  ASSERT_TRUE(FinishZone(e, error));
  EXPECT_EQ(e.hour, 12);
  berlin.zone = "Nowhere/Else";
  PersonEntry f;
  EXPECT_FALSE(TakePlace(f, berlin, note));
  EXPECT_EQ(f.longitudeDegrees, 13) << "the coordinates are taken all the same";
  EXPECT_EQ(f.zoneName, "");
}

}  // namespace
