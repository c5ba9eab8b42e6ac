#include "app/batch_script.h"

#include <sstream>

namespace {

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

// "run" followed by a blank (or a tab) and the label.
bool IsRunLine(const std::string& t, std::string& label) {
  if (t.size() < 3 || t.compare(0, 3, "run") != 0) return false;
  if (t.size() > 3 && t[3] != ' ' && t[3] != '\t') return false;
  label = Trim(t.substr(3));
  return true;
}

}  // namespace

bool ParseBatchScript(const std::string& text, BatchScript& script, std::string& error) {
  BatchScript result;
  // A byte-order mark, as some editors write, is not part of the first line.
  std::istringstream in(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
  std::string raw;
  int line = 0;
  while (std::getline(in, raw)) {
    ++line;
    std::string t = Trim(raw);
    if (t.empty() || t[0] == '#') continue;
    std::string label;
    if (IsRunLine(t, label)) {
      if (label.empty()) {
        error = "line " + std::to_string(line) + ": \"run\" needs the menu label of a module";
        return false;
      }
      result.modules.push_back({line, label, {}});
      continue;
    }
    if (result.modules.empty()) {
      error = "line " + std::to_string(line) + ": an answer before the first \"run\" line";
      return false;
    }
    ScriptAnswer answer;
    answer.line = line;
    size_t arrow = t.find("->");
    if (arrow == std::string::npos) {
      answer.value = t;
    } else {
      answer.prefix = Trim(t.substr(0, arrow));
      answer.value = Trim(t.substr(arrow + 2));
    }
    if (answer.value.empty()) {
      error = "line " + std::to_string(line) + ": the answer after \"->\" is empty";
      return false;
    }
    result.modules.back().answers.push_back(answer);
  }
  script = std::move(result);
  error.clear();
  return true;
}
