#include "app/answers.h"

#include <cerrno>
#include <cstdlib>

namespace {

std::string LineName(const AnswerQueue& q, int line) {
  std::string where = q.Source().empty() ? "" : q.Source() + ", ";
  return where + "line " + std::to_string(line);
}

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

std::vector<std::string> SplitValues(const std::string& text) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == ';') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

// A field of a date or time: a whole number or "-".
bool DateField(const std::string& text, std::optional<int>& field) {
  if (text == "-") {
    field.reset();
    return true;
  }
  long v = 0;
  if (!ParseWholeAnswer(text, v) || v < -100000 || v > 100000) return false;
  field = static_cast<int>(v);
  return true;
}

std::vector<std::string> SplitAt(const std::string& text, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t at = text.find(sep, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) break;
    start = at + 1;
  }
  return parts;
}

}  // namespace

void AnswerQueue::Reset(const std::vector<ScriptAnswer>& answers, int endLine, const std::string& source) {
  answers_ = answers;
  next_ = 0;
  endLine_ = endLine;
  source_ = source;
}

bool AnswerQueue::Take(const std::string& question, ScriptAnswer& answer, std::string& error) {
  std::string shown = NormaliseQuestion(question);
  if (shown.size() > 60) shown = shown.substr(0, 57) + "...";
  if (Empty()) {
    error = (endLine_ ? LineName(*this, endLine_) + ": " : std::string()) +
            "no answer left for \"" + shown + "\"";
    return false;
  }
  const ScriptAnswer& next = answers_[next_];
  if (!next.prefix.empty() && !QuestionStartsWith(question, next.prefix)) {
    error = LineName(*this, next.line) + ": the answer is for \"" + next.prefix +
            "\" but the dialog asks \"" + shown + "\"";
    return false;
  }
  answer = next;
  ++next_;
  return true;
}

std::string NormaliseQuestion(const std::string& text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  return out;
}

bool QuestionStartsWith(const std::string& question, const std::string& prefix) {
  std::string q = NormaliseQuestion(question), p = NormaliseQuestion(prefix);
  return q.compare(0, p.size(), p) == 0;
}

bool ParseWholeAnswer(const std::string& text, long& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && end && *end == 0;
}

int ParseYesNoAnswer(const std::string& text) {
  std::string t = Lower(text);
  if (t == "yes" || t == "y" || t == "ja" || t == "j" || t == "1") return 1;
  if (t == "no" || t == "n" || t == "nein" || t == "0") return 0;
  return -1;
}

bool ParseArrayAnswer(const std::string& text, size_t n, std::vector<std::optional<std::string>>& values) {
  std::vector<std::string> parts = SplitValues(text);
  if (parts.size() != n) return false;
  values.clear();
  for (const std::string& p : parts) {
    if (p == "-")
      values.emplace_back();
    else
      values.emplace_back(p);
  }
  return true;
}

int ParseChoiceAnswer(const std::string& text, const std::vector<std::string>& labels) {
  long v = 0;
  if (ParseWholeAnswer(text, v)) return (v >= 1 && v <= static_cast<long>(labels.size())) ? static_cast<int>(v) : 0;
  std::string want = NormaliseQuestion(text);
  for (size_t i = 0; i < labels.size(); ++i)
    if (NormaliseQuestion(labels[i]) == want) return static_cast<int>(i) + 1;
  return 0;
}

bool ParseDateTimeAnswer(const std::string& text, std::optional<int> fields[6]) {
  std::vector<std::string> parts = SplitValues(text);
  if (parts.empty() || parts.size() > 2) return false;
  std::vector<std::string> date = SplitAt(parts[0], '.');
  if (date.size() != 3) return false;
  std::vector<std::string> time = parts.size() == 2 ? SplitAt(parts[1], ':') : std::vector<std::string>{"0", "0", "0"};
  if (time.size() == 2) time.push_back("0");
  if (time.size() != 3) return false;
  for (int i = 0; i < 3; ++i)
    if (!DateField(date[i], fields[i]) || !DateField(time[i], fields[3 + i])) return false;
  return true;
}
