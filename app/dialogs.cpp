#include "app/dialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/output.h"
#include "data/open_dialogs.h"
#include "data/run_journal.h"
#include "data/separator.h"
#include "qzk/button.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/lineinput.h"
#include "qzk/log.h"
#include "qzk/platform/platform.h"
#include "qzk/simpletext.h"
#include "qzk/updown.h"
#include "qzk/window.h"

namespace {

int DialogFont() { return qzfont_builtin("builtin 12x24"); }

// A typed value the field did not take as it was (outside its range) is
// named on the current text page with the value taken instead, before the
// module uses it.
void SayRefused(qzUpDownControl& field, const char* what) {
  double typed = 0;
  std::string text;
  if (!field.refused(typed, text)) return;
  const qzUpDownRule& r = field.rule();
  PrintOut("\n %s%s is outside %g to %g: %d taken \n", what, text.c_str(), std::min(r.min, r.max),
           std::max(r.min, r.max), field.intValue());
}

// An item 0 (title or caption) cannot hold a comma: the option string is
// cut there. The dialogs create with a comma-free copy and set the real
// text afterwards.
std::string CaptionSafe(const std::string& text) {
  std::string out = text;
  std::replace(out.begin(), out.end(), ',', ' ');
  return out.empty() ? std::string(" ") : out;
}

std::string Formatted(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

// Waits until one of the buttons is pressed and returns its index, or -1
// when the program is ending. Keys that reach the dialog go to `key`.
template <class KeyHandler>
int WaitForButton(const std::vector<qzButton*>& buttons, KeyHandler key) {
  for (;;) {
    int event = qzwait_event();
    if (event == 0) {
      if (qzwaits_over()) return -1;
      continue;
    }
    for (size_t i = 0; i < buttons.size(); ++i)
      if (buttons[i]->eventId() == event) return static_cast<int>(i);
    key(event);
  }
}

int WaitForButton(const std::vector<qzButton*>& buttons) {
  return WaitForButton(buttons, [](int) {});
}

// A choice as a script names it: its label, or its number where the label
// would be read as a number or another button has the same label.
std::string ChoiceAnswerText(const std::vector<std::string>& labels, int pressed) {
  const std::string& label = labels[static_cast<size_t>(pressed)];
  bool plain = !label.empty() && label.find_first_not_of(" \t") != std::string::npos &&
               std::strtol(label.c_str(), nullptr, 10) == 0 && label.find_first_of("0123456789") == std::string::npos;
  for (int i = 0; plain && i < static_cast<int>(labels.size()); ++i)
    if (i != pressed && labels[static_cast<size_t>(i)] == label) plain = false;
  return plain ? label : std::to_string(pressed + 1);
}

}  // namespace

int InputInt(const char* question, int min, int max, int start) {
  int font = DialogFont();
  qzWindow window;
  window.create("InputInt,x=50%,y=50%,xs=400,ys=280,noquit,nosysmenu,modal,fontid=%d", font);
  qzButton ok;
  ok.create("OK,x=50%,y=93%,xs=20%,default,fontid=%d", font);
  DialogSeparator separator;
  separator.create("x=50%,y=80%,xs=100%");
  qzSimpleTextDisplay text;
  text.create("x=50%,y=18%,xs=80%,ys=30%,fontid=%d", font);
  text.setText(question);
  qzUpDownControl value;
  value.create("x=50%,y=60%,xs=40%,min=%d,max=%d,start=%d,fontid=%d", min, max, start, font);
  value.takeFocus();

  OpenDialog dialog{DialogKind::Int, question, &window, {&value}, {&ok}, {}, min, max, "", 0};
  OpenDialogScope scope(dialog);
  WaitForButton({&ok});
  int result = value.intValue();
  SayRefused(value, "");
  // The control clamps; this only guards a caller that swapped min and max.
  if (min <= max) result = std::clamp(result, min, max);
  JournalNoteAnswer(question, std::to_string(result));

  value.destroy();
  text.destroy();
  separator.destroy();
  ok.destroy();
  window.destroy();
  return result;
}

int InputYesNo(const char* question, int defaultAnswer) {
  int font = DialogFont();
  qzWindow window;
  window.create("InputYesNo,x=50%,y=50%,xs=300,ys=200,noquit,nosysmenu,modal,fontid=%u", font);
  qzButton yes, no;
  yes.create("Yes,x=25%,y=90%,xs=20%,fontid=%u", font);
  no.create("No,x=75%,y=90%,xs=20%,fontid=%u", font);
  qzSimpleTextDisplay text;
  text.create("x=50%,y=40%,xs=80%,ys=55%,fontid=%u", font);
  text.setText(question);
  (defaultAnswer ? yes : no).takeFocus();

  OpenDialog dialog{DialogKind::YesNo, question, &window, {}, {&yes, &no}, {"Yes", "No"}, 0, 0, "", 0};
  OpenDialogScope scope(dialog);
  int pressed = WaitForButton({&yes, &no}, [&](int event) {
    if (event == QZ_KEY_RIGHT) no.takeFocus();
    if (event == QZ_KEY_LEFT) yes.takeFocus();
  });

  text.destroy();
  no.destroy();
  yes.destroy();
  window.destroy();
  if (pressed >= 0) JournalNoteAnswer(question, pressed == 0 ? "yes" : "no");
  return pressed < 0 ? -1 : (pressed == 0 ? 1 : 0);
}

double InputDouble(const char* question, double defaultValue) {
  int font = DialogFont();
  qzWindow window;
  window.create("InputDouble,x=50%,y=50%,xs=500,ys=300,noquit,nosysmenu,modal,fontid=%u", font);
  qzButton ok;
  ok.create("OK,x=50%,y=93%,xs=20%,default,fontid=%u", font);
  DialogSeparator separator;
  separator.create("x=50%,y=85%,xs=100%,fontid=%u", font);
  qzSimpleTextDisplay text;
  text.create("x=50%,y=40%,xs=80%,ys=55%,fontid=%u", font);
  text.setText(question);
  qzLineInput line;
  line.create("x=50%,y=75%,xs=40%,fontid=%u", font);
  line.setText(Formatted(defaultValue));
  line.takeFocus();

  OpenDialog dialog{DialogKind::Double, question, &window, {&line}, {&ok}, {}, 0, 0, "", 0};
  OpenDialogScope scope(dialog);
  WaitForButton({&ok});
  double result = std::strtod(line.text().c_str(), nullptr);
  JournalNoteAnswer(question, ShortestNumberText(result));

  line.destroy();
  text.destroy();
  separator.destroy();
  ok.destroy();
  window.destroy();
  return result;
}

void InputArray(const char* title, double* values, const std::vector<std::string>& labels) {
  constexpr size_t kMaxRows = 24;
  size_t n = std::clamp<size_t>(labels.size(), 1, kMaxRows);
  int font = DialogFont();
  unsigned height = static_cast<unsigned>(36 * n + 120);
  qzWindow window;
  // Wider than the fields' values need at four characters: a weight such
  // as 1.00396 is seen whole.
  window.create("InputArray,x=50%,y=50%,xs=400,ys=%u,noquit,nosysmenu,modal", height);
  qzButton ok;
  ok.create("OK,x=50%,y=%u,xs=20%,default,fontid=%u", static_cast<unsigned>(36 * n + 80), font);
  qzSimpleTextDisplay text;
  text.create("x=50%,y=10,xs=90%,ys=30,fontid=%d", font);
  text.setText(title);
  DialogSeparator separator;
  separator.create("x=50%,y=%u,xs=100%", static_cast<unsigned>(36 * n + 70));
  std::vector<std::unique_ptr<qzSimpleTextDisplay>> rowLabels;
  std::vector<std::unique_ptr<qzLineInput>> rowInputs;
  OpenDialog dialog{DialogKind::Array, title, &window, {}, {&ok}, {}, 0, 0, "", 0};
  for (size_t i = 0; i < n; ++i) {
    unsigned y = static_cast<unsigned>(36 * i + 50);
    rowLabels.push_back(std::make_unique<qzSimpleTextDisplay>());
    rowLabels.back()->create("x=10,xs=50%,y=%u,fontid=%u", y, font);
    rowLabels.back()->setText(i < labels.size() ? labels[i] : "");
    rowInputs.push_back(std::make_unique<qzLineInput>());
    rowInputs.back()->create("x=75%,xs=30%,y=%u,fontid=%u", y, font);
    rowInputs.back()->setText(Formatted(values[i]));
    dialog.fields.push_back(rowInputs.back().get());
    dialog.labels.push_back(i < labels.size() ? labels[i] : "");
  }
  if (!rowInputs.empty()) rowInputs.front()->takeFocus();

  OpenDialogScope scope(dialog);
  WaitForButton({&ok});
  std::string answer;
  for (size_t i = 0; i < n; ++i) {
    values[i] = std::strtod(rowInputs[i]->text().c_str(), nullptr);
    answer += (i ? " " : "") + ShortestNumberText(values[i]);
  }
  JournalNoteAnswer(title, answer);

  for (size_t i = n; i-- > 0;) {
    rowInputs[i]->destroy();
    rowLabels[i]->destroy();
  }
  separator.destroy();
  text.destroy();
  ok.destroy();
  window.destroy();
}

int InputChoice(const char* title, const std::vector<std::string>& labels) {
  if (labels.empty()) {
    // A dialog without buttons could never be left.
    qzlog("InputChoice \"%s\": no choices\n", title);
    return -1;
  }
  int font = DialogFont();
  int n = static_cast<int>(labels.size());
  // The question stands above the buttons as well as in the title, which
  // a window manager may not show (or there may be none).
  const int lines = 1 + static_cast<int>(std::count(title, title + std::strlen(title), '\n'));
  const int question = 28 * lines + 8;
  qzWindow window;
  window.create("%s,x=50%,y=50%,xs=400,ys=%d,noquit,nosysmenu,modal,fontid=%u", CaptionSafe(title).c_str(),
                42 * n + 20 + question, font);
  window.setTitle(title);
  qzSimpleTextDisplay text;
  text.create("x=50%,y=4,xs=90%,ys=%d,fontid=%u", question - 4, font);
  text.setText(title);
  std::vector<std::unique_ptr<qzButton>> buttons;
  std::vector<qzButton*> pointers;
  for (int i = 0; i < n; ++i) {
    buttons.push_back(std::make_unique<qzButton>());
    buttons.back()->create("%s,x=50%,y=%d,xs=80%,fontid=%u", CaptionSafe(labels[i]).c_str(),
                           question + 42 * i + 10, font);
    if (labels[i].find(',') != std::string::npos) buttons.back()->setCaption(labels[i]);
    pointers.push_back(buttons.back().get());
  }
  pointers.front()->takeFocus();

  OpenDialog dialog{DialogKind::Choice, title, &window, {}, pointers, labels, 0, 0, "", 0};
  OpenDialogScope scope(dialog);
  int pressed = WaitForButton(pointers);

  for (int i = n; i-- > 0;) buttons[i]->destroy();
  text.destroy();
  window.destroy();
  if (pressed >= 0) JournalNoteAnswer(title, ChoiceAnswerText(labels, pressed));
  return pressed < 0 ? -1 : pressed + 1;
}

void InputDateTime(const char* title, int& day, int& month, int& year, int& hour, int& minute, int& second) {
  int font = DialogFont();
  qzWindow window;
  window.create("%s,x=50%,y=50%,xs=500,ys=400,noquit,nosysmenu,modal,fontid=%u", CaptionSafe(title).c_str(), font);
  window.setTitle(title);
  qzButton ok;
  ok.create("OK,x=50%,y=93%,xs=20%,fontid=%u", font);
  DialogSeparator separator;
  separator.create("x=50%,y=85%,xs=100%");
  qzSimpleTextDisplay dayLabel, monthLabel, yearLabel, hourLabel, minuteLabel, secondLabel;
  dayLabel.create("x=12.5%,y=20%,fontid=%u", font);
  dayLabel.setText("day:");
  monthLabel.create("x=40%,y=20%,fontid=%u", font);
  monthLabel.setText("month:");
  yearLabel.create("x=65%,y=20%,fontid=%u", font);
  yearLabel.setText("year:");
  qzUpDownControl dayField, monthField, yearField, hourField, minuteField, secondField;
  dayField.create("x=20%,y=35%,xs=15%,min=1,max=31,fontid=%u", font);
  monthField.create("x=47.5%,y=35%,xs=15%,min=1,max=12,fontid=%u", font);
  yearField.create("x=75%,y=35%,xs=20%,min=1000,max=10000,start=2000,fontid=%u", font);
  hourField.create("x=20%,y=65%,xs=12%,min=0,max=23,digits=2,fontid=%u", font);
  hourLabel.create("x=27%,y=65%,fontid=%u", font);
  hourLabel.setText("h");
  minuteField.create("x=40%,y=65%,xs=12%,min=0,max=59,digits=2,fontid=%u", font);
  minuteLabel.create("x=47%,y=65%,fontid=%u", font);
  minuteLabel.setText("m");
  secondField.create("x=60%,y=65%,xs=12%,min=0,max=59,digits=2,fontid=%u", font);
  secondLabel.create("x=67%,y=65%,fontid=%u", font);
  secondLabel.setText("s");

  struct Field {
    int& value;
    qzUpDownControl& control;
    int defaultValue;
  };
  Field fields[] = {{day, dayField, 1},       {month, monthField, 1},   {year, yearField, 0},
                    {hour, hourField, 0},     {minute, minuteField, 0}, {second, secondField, 0}};
  bool focused = false;
  for (Field& f : fields) {
    if (f.value == -1) {
      f.control.setValue(f.defaultValue);  // clamped to the control's range
      f.control.setEnabled(false);
    } else {
      f.control.setValue(f.value);
      if (!focused) f.control.takeFocus();
      focused = true;
    }
  }

  OpenDialog dialog{DialogKind::DateTime, title, &window,
                    {&dayField, &monthField, &yearField, &hourField, &minuteField, &secondField},
                    {&ok}, {}, 0, 0, "", 0};
  OpenDialogScope scope(dialog);
  WaitForButton({&ok});
  std::string answer;
  for (int i = 0; i < 6; ++i) {
    Field& f = fields[i];
    const bool keep = f.value == -1;  // a disabled field: "-" keeps it
    f.value = f.control.intValue();
    answer += (i == 0 ? "" : i == 3 ? " " : i < 3 ? "." : ":") + (keep ? std::string("-") : std::to_string(f.value));
  }
  JournalNoteAnswer(title, answer);
  const char* names[] = {"day ", "month ", "year ", "hour ", "minute ", "second "};
  for (size_t i = 0; i < std::size(fields); ++i) SayRefused(fields[i].control, names[i]);

  secondLabel.destroy();
  secondField.destroy();
  minuteLabel.destroy();
  minuteField.destroy();
  hourLabel.destroy();
  hourField.destroy();
  yearField.destroy();
  monthField.destroy();
  dayField.destroy();
  yearLabel.destroy();
  monthLabel.destroy();
  dayLabel.destroy();
  separator.destroy();
  ok.destroy();
  window.destroy();
}
