#include "app/script_driver.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <optional>

#include "data/open_dialogs.h"
#include "data/person_file.h"
#include "qzk/combobox.h"
#include "qzk/button.h"
#include "qzk/drive.h"
#include "qzk/filedialog.h"
#include "qzk/lineinput.h"
#include "qzk/log.h"
#include "qzk/platform/headless.h"
#include "qzk/simpletext.h"
#include "qzk/updown.h"
#include "qzk/widget.h"
#include "qzk/window.h"

namespace {

AnswerQueue* activeQueue = nullptr;
ScriptFailHandler failHandler;
int lastAnsweredSerial = 0;
ScriptAnswer lastAnswer;
bool failed = false;

// The press of a button as a user's click in its middle; delivered when
// the toolkit next takes input.
void Press(qzWidget& button) {
  qzWindow* w = button.window();
  if (!w) return;
  const qzRect& r = button.rect();
  qzheadless_click(w->nativeHandle(), r.x + r.w / 2, r.y + r.h / 2);
}

std::string Where(const ScriptAnswer& a, const AnswerQueue& q) {
  std::string where = q.Source().empty() ? "" : q.Source() + ", ";
  return a.line ? where + "line " + std::to_string(a.line) + ": " : where;
}

bool Bad(const ScriptAnswer& a, const AnswerQueue& q, const std::string& what, std::string& error) {
  error = Where(a, q) + what;
  return false;
}

bool AnswerInt(OpenDialog& d, const ScriptAnswer& a, const AnswerQueue& q, std::string& error) {
  long v = 0;
  if (!ParseWholeAnswer(a.value, v)) return Bad(a, q, "\"" + a.value + "\" is not a whole number", error);
  if (v < d.min || v > d.max)
    return Bad(a, q, a.value + " is outside " + std::to_string(d.min) + ".." + std::to_string(d.max), error);
  static_cast<qzUpDownControl*>(d.fields[0])->setValue(static_cast<double>(v));
  Press(*d.buttons[0]);
  return true;
}

bool AnswerYesNo(OpenDialog& d, const ScriptAnswer& a, const AnswerQueue& q, std::string& error) {
  int yes = ParseYesNoAnswer(a.value);
  if (yes < 0) return Bad(a, q, "\"" + a.value + "\" is neither yes nor no", error);
  Press(*d.buttons[yes ? 0 : 1]);
  return true;
}

bool AnswerDouble(OpenDialog& d, const ScriptAnswer& a, std::string&) {
  static_cast<qzLineInput*>(d.fields[0])->setText(a.value);
  Press(*d.buttons[0]);
  return true;
}

bool AnswerArray(OpenDialog& d, const ScriptAnswer& a, const AnswerQueue& q, std::string& error) {
  std::vector<std::optional<std::string>> values;
  if (!ParseArrayAnswer(a.value, d.fields.size(), values))
    return Bad(a, q, "the dialog has " + std::to_string(d.fields.size()) + " rows; give one value per row", error);
  for (size_t i = 0; i < values.size(); ++i)
    if (values[i]) static_cast<qzLineInput*>(d.fields[i])->setText(*values[i]);
  Press(*d.buttons[0]);
  return true;
}

bool AnswerChoice(OpenDialog& d, const ScriptAnswer& a, const AnswerQueue& q, std::string& error) {
  int choice = ParseChoiceAnswer(a.value, d.labels);
  if (choice < 1) {
    std::string list;
    for (const std::string& l : d.labels) list += (list.empty() ? "" : " | ") + l;
    return Bad(a, q, "\"" + a.value + "\" is none of the choices (" + list + ")", error);
  }
  Press(*d.buttons[choice - 1]);
  return true;
}

bool AnswerDateTime(OpenDialog& d, const ScriptAnswer& a, const AnswerQueue& q, std::string& error) {
  std::optional<int> fields[6];
  if (!ParseDateTimeAnswer(a.value, fields))
    return Bad(a, q, "\"" + a.value + "\" is not a date and time (D.M.Y h:m:s)", error);
  for (int i = 0; i < 6; ++i) {
    auto* control = static_cast<qzUpDownControl*>(d.fields[i]);
    if (fields[i] && control->enabled()) control->setValue(*fields[i]);
  }
  Press(*d.buttons[0]);
  return true;
}

bool AnswerFile(const ScriptAnswer& a, const AnswerQueue& q, std::string& error) {
  qzFileDialog* fd = qzFileDialog::current();
  if (!fd) return Bad(a, q, "the file dialog did not open", error);
  fd->name.setText(a.value);
  Press(fd->accept);
  return true;
}

// The entry dialog: "ok", "cancel", or a person file whose values go into
// the fields (keys it leaves out keep what the dialog shows) before "&OK".
bool AnswerPersonEntry(OpenDialog& d, const ScriptAnswer& a, const AnswerQueue& q, std::string& error) {
  std::string word = NormaliseQuestion(a.value);
  if (word == "ok") {
    Press(*d.buttons[0]);
    return true;
  }
  if (word == "cancel" || word == "abbrechen") {
    Press(*d.buttons[1]);
    return true;
  }
  std::ifstream in(a.value, std::ios::binary);
  if (!in) return Bad(a, q, "the person file " + a.value + " cannot be read", error);
  std::stringstream text;
  text << in.rdbuf();
  auto line = [&](int i) { return static_cast<qzLineInput*>(d.fields[i]); };
  auto number = [&](int i) { return static_cast<qzUpDownControl*>(d.fields[i]); };
  auto* month = static_cast<qzComboBox*>(d.fields[3]);
  // The record the dialog shows now, then the file over it.
  EventRecord r{};
  CopyRecordText(r.familyName, sizeof r.familyName, line(0)->text().c_str());
  CopyRecordText(r.firstName, sizeof r.firstName, line(1)->text().c_str());
  CopyRecordText(r.place, sizeof r.place, line(9)->text().c_str());
  int32_t* numbers[] = {&r.day, nullptr, &r.year, &r.hour, &r.minute, &r.second, &r.summerTime, nullptr,
                        &r.longitudeDegrees, &r.longitudeMinutes, &r.latitudeDegrees, &r.latitudeMinutes,
                        &r.timeZone};
  for (int i = 2; i < 15; ++i)
    if (i != 3 && i != 9) *numbers[i - 2] = number(i)->intValue();
  r.month = month->selectedIndex() + 1;
  std::string problem;
  if (!ParsePersonText(text.str(), r, problem)) return Bad(a, q, a.value + ", " + problem, error);
  for (int i = 2; i < 15; ++i) {
    if (i == 3 || i == 9) continue;
    int v = *numbers[i - 2];
    const qzUpDownRule& rule = number(i)->rule();
    if (v < rule.min || v > rule.max)
      return Bad(a, q, a.value + ": " + std::to_string(v) + " is outside the dialog's field range " +
                           std::to_string(static_cast<int>(rule.min)) + ".." + std::to_string(static_cast<int>(rule.max)),
                 error);
  }
  line(0)->setText(r.familyName);
  line(1)->setText(r.firstName);
  line(9)->setText(r.place);
  for (int i = 2; i < 15; ++i)
    if (i != 3 && i != 9) number(i)->setValue(*numbers[i - 2]);
  month->select(r.month - 1);
  Press(*d.buttons[0]);
  return true;
}

// The save dialog's question before it replaces a file: a yes/no answer.
bool AnswerReplace(qzWindow& window, AnswerQueue& queue, std::string& error) {
  ScriptAnswer a;
  if (!queue.Take("file exists", a, error)) return false;
  int yes = ParseYesNoAnswer(a.value);
  if (yes < 0) return Bad(a, queue, "\"" + a.value + "\" is neither yes nor no", error);
  qzWidget* button = qzdrive_find(window, yes ? "Yes" : "No");
  if (!button) return Bad(a, queue, "the \"file exists\" window has no such button", error);
  Press(*button);
  return true;
}

// The toolkit's message box: confirm it, keeping its text.
bool ConfirmMessageBox(qzWindow& window) {
  if (window.title() != "message") return false;
  std::string text;
  qzWidget* ok = nullptr;
  for (qzWidget* w : window.container().widgets()) {
    if (std::string(w->kind()) == "simple text display") text = static_cast<qzSimpleTextDisplay*>(w)->text();
    if (std::string(w->kind()) == "button") ok = w;
  }
  if (!ok) return false;
  qzlog("message box: %s\n", text.c_str());
  std::fprintf(stderr, "message: %s\n", text.c_str());
  Press(*ok);
  return true;
}

void IdleHook() {
  if (!activeQueue || failed) return;
  std::string error;
  if (!AnswerOpenDialog(*activeQueue, error)) {
    failed = true;
    qzlog("batch: %s\n", error.c_str());
    if (failHandler) failHandler(error);
  }
}

}  // namespace

bool AnswerOpenDialog(AnswerQueue& queue, std::string& error) {
  OpenDialog* d = TopOpenDialog();
  qzWindow* top = qzdrive_top_window();
  if (top && top->title() == "file exists") return AnswerReplace(*top, queue, error);
  qzWindow* own = d ? d->window : nullptr;
  if (d && d->kind == DialogKind::File && qzFileDialog::current()) own = &qzFileDialog::current()->window;
  if (top && (!d || own != top) && ConfirmMessageBox(*top)) return true;
  // No dialog of ours: a pause or a module's own wait. The toolkit ends
  // the run if nothing can ever arrive.
  if (!d) return true;
  if (d->serial == lastAnsweredSerial) {
    error = Where(lastAnswer, queue) + "the dialog \"" + NormaliseQuestion(d->question) +
            "\" did not take the answer \"" + lastAnswer.value + "\"";
    return false;
  }
  ScriptAnswer answer;
  if (!queue.Take(d->question, answer, error)) return false;
  lastAnsweredSerial = d->serial;
  lastAnswer = answer;
  qzlog("batch: line %d: \"%s\"\n", answer.line, answer.value.c_str());
  switch (d->kind) {
    case DialogKind::Int: return AnswerInt(*d, answer, queue, error);
    case DialogKind::YesNo: return AnswerYesNo(*d, answer, queue, error);
    case DialogKind::Double: return AnswerDouble(*d, answer, error);
    case DialogKind::Array: return AnswerArray(*d, answer, queue, error);
    case DialogKind::Choice: return AnswerChoice(*d, answer, queue, error);
    case DialogKind::DateTime: return AnswerDateTime(*d, answer, queue, error);
    case DialogKind::File: return AnswerFile(answer, queue, error);
    case DialogKind::PersonEntry: return AnswerPersonEntry(*d, answer, queue, error);
  }
  return Bad(answer, queue, "this dialog cannot be answered from a script", error);
}

void StartAnswering(AnswerQueue& queue, ScriptFailHandler onFail) {
  activeQueue = &queue;
  failHandler = std::move(onFail);
  failed = false;
  qzheadless_set_idle_hook(IdleHook);
}

void StopAnswering() {
  activeQueue = nullptr;
  failHandler = nullptr;
  qzheadless_set_idle_hook({});
}

bool Answering() { return activeQueue != nullptr; }
