#pragma once
// Batch scripts: a plain text that names the modules to run and gives, in
// order, the answers to the dialogs they ask.
//
//   # comment (blank lines too are ignored)
//   run 17- Julian Date               start the module with this menu label
//   Julian Date -> Date to Julian date   an answer with the start of its question
//   1.1.2000 12:00:00                 an answer without a question
//
// Every line after a "run" line up to the next one is an answer for that
// module. "QUESTION -> ANSWER" names the start of the question (or dialog
// title) the answer is meant for; it is compared ignoring case and runs of
// blanks and line breaks, so a script that has fallen out of step stops at
// the line where it happens. The answer formats are those of the dialogs
// (see answers.h).
#include <string>
#include <vector>

struct ScriptAnswer {
  int line = 0;            // 1-based line of the script, 0 for queued answers
  std::string prefix;      // start of the question; empty: any question
  std::string value;       // the answer text, blanks at both ends removed
};

struct ScriptModule {
  int line = 0;
  std::string label;       // menu label of the module
  std::vector<ScriptAnswer> answers;
};

struct BatchScript {
  std::vector<ScriptModule> modules;
};

// Parses the script text; false with "line N: ..." in `error` for a line
// that is not part of the syntax (an answer before the first "run", a
// "run" without a label, an empty answer).
bool ParseBatchScript(const std::string& text, BatchScript& script, std::string& error);
