#include "qzk/log.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
std::string g_path;
bool g_first = true;
}

std::string qzlog_path() { return g_path; }

void qzlog(const char* format, ...) {
  if (g_first) {
    char cwd[4096];
    g_path = std::string(getcwd(cwd, sizeof cwd) ? cwd : ".") + "/qzk.log";
    std::remove(g_path.c_str());
  }
  FILE* f = std::fopen(g_path.c_str(), g_first ? "wb" : "ab");
  g_first = false;
  if (!f) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(f, format, args);
  va_end(args);
  std::fclose(f);
}
