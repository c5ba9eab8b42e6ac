#include "app/run_state.h"

#include <cstdio>

namespace {
bool echo = false;
bool lineOpen = false;
int shown = -1;
std::string label;
}  // namespace

void SetProgressEcho(bool on) { echo = on; }
bool ProgressEcho() { return echo; }

void BeginProgressLine(const std::string& module) {
  EndProgressLine();
  label = module;
  shown = -1;
  if (!echo) return;
  std::fprintf(stderr, "%s:   0%%", label.c_str());
  std::fflush(stderr);
  lineOpen = true;
  shown = 0;
}

void EndProgressLine() {
  if (lineOpen) std::fprintf(stderr, "\n");
  lineOpen = false;
}

void ReportProgress(double percent) {
  if (!echo || !lineOpen) return;
  int p = static_cast<int>(percent);
  if (p == shown) return;
  shown = p;
  std::fprintf(stderr, "\r%s: %3d%%", label.c_str(), p);
  std::fflush(stderr);
}
