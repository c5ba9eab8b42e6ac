#pragma once
// Answers for the dialogs when no person is at the screen (batch runs and
// end-to-end tests), and the formats in which they are written:
//
//   InputInt        a whole number within the dialog's range ("17")
//   InputYesNo      yes / no / y / n / ja / nein / j / 1 / 0
//   InputDouble     the text typed into the field, as a user would ("0.25";
//                   text that is no number gives 0, as in the dialog)
//   InputArray      one value per row, separated by blanks or ";";
//                   "-" keeps the value shown ("57.2 10.24 - - 1")
//   InputChoice     the number of the button (1 = first) or its label
//   InputDateTime   "D.M.Y h:m:s" (time optional, seconds optional);
//                   "-" keeps a field; fields the dialog shows disabled
//                   keep their value whatever the answer says
//   file dialog     the path, relative to the current directory
//   person entry    "ok" / "cancel", or a person file whose values are
//                   entered into the dialog before "&OK" is pressed
#include <optional>
#include <string>
#include <vector>

#include "app/batch_script.h"

// The answers of one module (or of one test) in order.
class AnswerQueue {
 public:
  void Reset(const std::vector<ScriptAnswer>& answers, int endLine, const std::string& source);
  void Push(const ScriptAnswer& answer) { answers_.push_back(answer); }
  void Clear() { answers_.clear(); next_ = 0; }
  bool Empty() const { return next_ >= answers_.size(); }
  size_t Left() const { return answers_.size() - next_; }
  // The next answer if its prefix (if any) starts `question`; otherwise
  // false with a message that names the script line.
  bool Take(const std::string& question, ScriptAnswer& answer, std::string& error);
  // The line of the next unused answer (for "not used" messages), or 0.
  int NextLine() const { return Empty() ? 0 : answers_[next_].line; }
  const std::string& Source() const { return source_; }

 private:
  std::vector<ScriptAnswer> answers_;
  size_t next_ = 0;
  int endLine_ = 0;
  std::string source_;
};

// Question texts compared without case, with runs of blanks, tabs and line
// breaks as one blank and none at either end.
std::string NormaliseQuestion(const std::string& text);
bool QuestionStartsWith(const std::string& question, const std::string& prefix);

// The value parsers; each returns false for text it cannot read.
bool ParseWholeAnswer(const std::string& text, long& value);
// 1 yes, 0 no, -1 unreadable.
int ParseYesNoAnswer(const std::string& text);
// n values; an empty optional keeps the shown value.
bool ParseArrayAnswer(const std::string& text, size_t n, std::vector<std::optional<std::string>>& values);
// 1-based button number from a number or a label (case-insensitive, whole label).
int ParseChoiceAnswer(const std::string& text, const std::vector<std::string>& labels);
// day, month, year, hour, minute, second; an empty optional keeps the field.
bool ParseDateTimeAnswer(const std::string& text, std::optional<int> fields[6]);
