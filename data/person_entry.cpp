#include "data/person_entry.h"

#include <memory>
#include <vector>

#include "data/open_dialogs.h"
#include "data/person_file.h"
#include "data/run_journal.h"
#include "data/places.h"
#include "data/separator.h"
#include "qzk/button.h"
#include "qzk/combobox.h"
#include "qzk/events.h"
#include "qzk/lineinput.h"
#include "qzk/simpletext.h"
#include "qzk/updown.h"
#include "qzk/window.h"

namespace {

// The labels of the dialog, in creation order: text and option string.
struct LabelPlace {
  const char* text;
  const char* options;
};

constexpr LabelPlace kLabels[] = {
    {"Name:", "x=10%,y=10%"},           {"Vorname:", "x=10%,y=20%"},
    {"Datum:", "x=10%,y=30%"},          {".", "x=42%,y=30%,font=6x13"},
    {"Zeit:", "x=10%,y=40%"},           {":", "x=42.5%,y=40%,font=6x13"},
    {":", "x=58.5%,y=40%,font=6x13"},   {"(sec)", "x=75%,y=40%"},
    {"Sommerzeit:", "x=10%,y=50%"},     {"Erläuterungen zur Sommerzeit", "x=65%,y=50%,xs=40%"},
    {"Ort:", "x=10%,y=60%"},            {"Länge:", "x=15%,y=68%"},
    {"°", "x=41%,y=68%"},               {"'", "x=57%,y=68%"},
    {"Breite:", "x=15%,y=76%"},         {"°", "x=41%,y=76%"},
    {"'", "x=57%,y=76%"},               {"Zeitzone:", "x=15%,y=84%"},
};

// The entry's answer as a script gives it: "ok" when the values are those
// the dialog showed, else the values as a person file the record keeps.
void NoteEntryAnswer(const std::string& question, const PersonEntry& shown, const PersonEntry& taken) {
  const std::string text = FormatPersonText(RecordFromEntry(taken));
  if (text == FormatPersonText(RecordFromEntry(shown)) && taken.zoneName == shown.zoneName) {
    JournalNoteAnswer(question, "ok");
    return;
  }
  JournalNoteAnswer(JournalAnswer{question, "", text, true});
}

}  // namespace

PersonEntry EntryFromRecord(const EventRecord& r) {
  PersonEntry e;
  e.familyName = r.familyName;
  e.firstName = r.firstName;
  e.day = r.day;
  e.month = r.month;
  e.year = r.year;
  e.hour = r.hour;
  e.minute = r.minute;
  e.second = r.second;
  e.summerTime = r.summerTime;
  e.timeZone = r.timeZone;
  e.place = r.place;
  e.longitudeDegrees = r.longitudeDegrees;
  e.longitudeMinutes = r.longitudeMinutes;
  e.latitudeDegrees = r.latitudeDegrees;
  e.latitudeMinutes = r.latitudeMinutes;
  return e;
}

EventRecord RecordFromEntry(const PersonEntry& e) {
  EventRecord r{};
  CopyRecordText(r.familyName, sizeof r.familyName, e.familyName.c_str());
  CopyRecordText(r.firstName, sizeof r.firstName, e.firstName.c_str());
  CopyRecordText(r.place, sizeof r.place, e.place.c_str());
  r.day = e.day;
  r.month = e.month;
  r.year = e.year;
  r.hour = e.hour;
  r.minute = e.minute;
  r.second = e.second;
  r.summerTime = e.summerTime;
  r.timeZone = e.timeZone;
  r.longitudeDegrees = e.longitudeDegrees;
  r.longitudeMinutes = e.longitudeMinutes;
  r.latitudeDegrees = e.latitudeDegrees;
  r.latitudeMinutes = e.latitudeMinutes;
  return r;
}

bool EditPersonEntry(PersonEntry& entry) {
  qzWindow window;
  window.create("Daten bearbeiten / eingeben,x=50%,y=50%,xs=400,ys=600,modal,nosysmenu,noquit");
  DialogSeparator separator;
  separator.create("x=50%,xs=100%,y=90%");
  std::vector<std::unique_ptr<qzSimpleTextDisplay>> labels;
  auto label = [&](size_t i) {
    labels.push_back(std::make_unique<qzSimpleTextDisplay>());
    labels.back()->create("%s", kLabels[i].options);
    labels.back()->setText(kLabels[i].text);
  };
  qzLineInput family, first, place;
  qzUpDownControl day, year, hour, minute, second, summer, lonDeg, lonMin, latDeg, latMin, zone;
  qzComboBox month;

  label(0);
  family.create("x=60%,y=10%,xs=60%,maxlen=999");
  label(1);
  first.create("x=60%,y=20%,xs=60%,maxlen=999");
  label(2);
  day.create("x=35%,y=30%,xs=10%,min=1,max=31");
  label(3);
  month.create("x=60%,y=30%,xs=25%,entries=Januar|Februar|März|April|Mai|Juni|Juli|August|September|Oktober|"
               "November|Dezember");
  year.create("x=84%,y=30%,xs=12%,min=1800,max=3000,start=2000");
  label(4);
  hour.create("x=35%,y=40%,xs=10%,min=0,max=23,start=12,digits=2");
  label(5);
  minute.create("x=51%,y=40%,xs=10%,min=0,max=59,start=0,digits=2");
  label(6);
  second.create("x=67%,y=40%,xs=10%,min=0,max=59,start=0,digits=2");
  label(7);
  label(8);
  summer.create("x=35%,y=50%,xs=10%,min=-24,max=24,start=0");
  label(9);
  label(10);
  place.create("x=60%,y=60%,xs=60%,maxlen=999");
  label(11);
  lonDeg.create("x=35%,y=68%,xs=10%,min=-360,max=360");
  lonMin.create("x=50%,y=68%,xs=10%,min=-360,max=360");
  label(12);
  label(13);
  label(14);
  latDeg.create("x=35%,y=76%,xs=10%,min=-360,max=360");
  latMin.create("x=50%,y=76%,xs=10%,min=-360,max=360");
  label(15);
  label(16);
  label(17);
  zone.create("x=35%,y=84%,xs=10%,min=-24,max=24");
  qzButton ok, cancel;
  ok.create("&OK,x=20%,y=95%,xs=30%");
  cancel.create("&Abbrechen,x=80%,y=95%,xs=30%");
  // The place look-up: its matches and the zone taken.
  qzComboBox matches;
  matches.create("x=79%,y=68%,xs=38%");
  qzSimpleTextDisplay zoneNote;
  zoneNote.create("x=79%,y=81%,xs=38%,ys=12%");

  family.setText(entry.familyName);
  first.setText(entry.firstName);
  day.setValue(entry.day);
  month.select(entry.month >= 1 && entry.month <= 12 ? entry.month - 1 : 0);
  year.setValue(entry.year);
  hour.setValue(entry.hour);
  minute.setValue(entry.minute);
  second.setValue(entry.second);
  summer.setValue(entry.summerTime);
  place.setText(entry.place);
  lonDeg.setValue(entry.longitudeDegrees);
  lonMin.setValue(entry.longitudeMinutes);
  latDeg.setValue(entry.latitudeDegrees);
  latMin.setValue(entry.latitudeMinutes);
  zone.setValue(entry.timeZone);
  family.takeFocus();

  OpenDialog dialog;
  dialog.kind = DialogKind::PersonEntry;
  dialog.question = "Daten bearbeiten / eingeben";
  dialog.window = &window;
  dialog.fields = {&family, &first, &day,  &month,  &year,   &hour,   &minute, &second,
                   &summer, &place, &lonDeg, &lonMin, &latDeg, &latMin, &zone};
  dialog.buttons = {&ok, &cancel};
  OpenDialogScope scope(dialog);

  // What the widgets hold, and putting an entry's numbers into them.
  auto read = [&] {
    PersonEntry e = entry;
    e.familyName = family.text();
    e.firstName = first.text();
    e.day = day.intValue();
    e.month = month.selectedIndex() + 1;
    e.year = year.intValue();
    e.hour = hour.intValue();
    e.minute = minute.intValue();
    e.second = second.intValue();
    e.summerTime = summer.intValue();
    e.place = place.text();
    e.longitudeDegrees = lonDeg.intValue();
    e.longitudeMinutes = lonMin.intValue();
    e.latitudeDegrees = latDeg.intValue();
    e.latitudeMinutes = latMin.intValue();
    e.timeZone = zone.intValue();
    return e;
  };
  auto show = [&](const PersonEntry& e) {
    place.setText(e.place);
    lonDeg.setValue(e.longitudeDegrees);
    lonMin.setValue(e.longitudeMinutes);
    latDeg.setValue(e.latitudeDegrees);
    latMin.setValue(e.latitudeMinutes);
    zone.setValue(e.timeZone);
    summer.setValue(e.summerTime);
  };
  // The zone the look-up took and the values it put in, to see whether
  // the person changed them by hand since.
  std::string zoneName = entry.zoneName;
  int takenZone = entry.timeZone, takenSummer = entry.summerTime;
  std::vector<const Place*> found;
  auto takeFound = [&](int i) {
    if (i < 0 || i >= static_cast<int>(found.size())) return;
    PersonEntry e = read();
    std::string note;
    TakePlace(e, *found[i], note);
    zoneName = e.zoneName;
    takenZone = e.timeZone;
    takenSummer = e.summerTime;
    show(e);
    zoneNote.setText(note);
  };
  auto byHand = [&] { return zone.intValue() != takenZone || summer.intValue() != takenSummer; };

  bool accepted = false;
  for (;;) {
    int event = qzwait_event();
    if (event == 0 && qzwaits_over()) break;
    if (event == ok.eventId()) {
      PersonEntry e = read();
      e.zoneName = byHand() ? std::string() : zoneName;
      std::string error;
      if (!FinishZone(e, error)) {
        zoneNote.setText(error);
        continue;
      }
      NoteEntryAnswer(dialog.question, entry, e);
      entry = e;
      accepted = true;
      break;
    }
    if (event == cancel.eventId() || event == window.closeId()) {
      if (event == cancel.eventId()) JournalNoteAnswer(dialog.question, "cancel");
      break;
    }
    if (event == place.eventId()) {
      std::string error;
      const PlaceIndex* places = WorkingPlaces(error);
      found = places ? places->Find(place.text(), 12) : std::vector<const Place*>();
      std::vector<std::string> texts;
      for (const Place* p : found) texts.push_back(PlaceChoiceText(*p));
      matches.setEntries(texts);
      if (found.empty()) {
        zoneNote.setText(places ? "\"" + place.text() + "\" nicht gefunden" : error);
        continue;
      }
      matches.select(0);
      takeFound(0);
    } else if (event == matches.eventId()) {
      takeFound(matches.selectedIndex());
    } else if (!zoneName.empty() && (event == day.eventId() || event == month.eventId() ||
                                     event == year.eventId() || event == hour.eventId() ||
                                     event == minute.eventId() || event == second.eventId())) {
      // A new date or time: the zone's values for it, unless changed by hand.
      if (byHand()) continue;
      PersonEntry e = read();
      e.zoneName = zoneName;
      std::string note;
      if (TakeZone(e, note)) {
        takenZone = e.timeZone;
        takenSummer = e.summerTime;
        show(e);
      }
      zoneNote.setText(note);
    }
  }
  zoneNote.destroy();
  matches.destroy();
  cancel.destroy();
  ok.destroy();
  zone.destroy();
  latMin.destroy();
  latDeg.destroy();
  lonMin.destroy();
  lonDeg.destroy();
  place.destroy();
  summer.destroy();
  second.destroy();
  minute.destroy();
  hour.destroy();
  year.destroy();
  month.destroy();
  day.destroy();
  first.destroy();
  family.destroy();
  for (size_t i = labels.size(); i-- > 0;) labels[i]->destroy();
  separator.destroy();
  window.destroy();
  return accepted;
}
