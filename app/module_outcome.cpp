#include "app/module_outcome.h"

#include "qzk/log.h"

namespace {
bool failed = false;
std::string reason;

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \n") - first + 1);
}
}  // namespace

void ReportModuleFailure(const std::string& why) {
  qzlog("module failed: %s\n", Trimmed(why).c_str());
  if (failed) return;
  failed = true;
  reason = Trimmed(why);
}

bool ModuleFailed() { return failed; }

const std::string& ModuleFailureReason() { return reason; }

void ClearModuleOutcome() {
  failed = false;
  reason.clear();
}
