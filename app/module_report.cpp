#include "app/module_report.h"

#include <cstdarg>

#include "app/output.h"
#include "qzk/log.h"
#include "qzk/vformat.h"

namespace {

ModuleReport report;

// The message's lines, each without blanks at its ends, empty ones dropped.
std::string TidyLines(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const size_t a = line.find_first_not_of(" \t");
    if (a != std::string::npos) {
      const size_t b = line.find_last_not_of(" \t");
      if (!out.empty()) out += '\n';
      out += line.substr(a, b - a + 1);
    }
    start = end + 1;
  }
  return out;
}

void Report(ModuleOutcome outcome, const std::string& message) {
  const std::string tidy = TidyLines(message);
  qzlog("module %s: %s\n", ModuleOutcomeName(outcome), tidy.c_str());
  // A failure outranks an early end: an early end after a failure is only logged.
  if (outcome == ModuleOutcome::EndedEarly && report.outcome == ModuleOutcome::Failed) return;
  if (outcome != report.outcome) {
    report.outcome = outcome;
    report.message.clear();
  }
  if (!report.message.empty() && !tidy.empty()) report.message += '\n';
  report.message += tidy;
}

}  // namespace

void ModuleEndedEarly(const std::string& message) { Report(ModuleOutcome::EndedEarly, message); }

void ModuleFailed(const std::string& message) { Report(ModuleOutcome::Failed, message); }

void PrintEndedEarly(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = qzvformat(format, args);
  va_end(args);
  PrintOut("%s", text.c_str());
  ModuleEndedEarly(text);
}

void PrintFailed(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = qzvformat(format, args);
  va_end(args);
  PrintOut("%s", text.c_str());
  ModuleFailed(text);
}

ModuleReport PeekModuleReport() { return report; }

ModuleReport TakeModuleReport() {
  ModuleReport taken = report;
  report = ModuleReport{};
  return taken;
}

const char* ModuleOutcomeName(ModuleOutcome outcome) {
  switch (outcome) {
    case ModuleOutcome::Finished: return "finished";
    case ModuleOutcome::EndedEarly: return "ended early";
    case ModuleOutcome::Failed: return "failed";
  }
  return "finished";
}
