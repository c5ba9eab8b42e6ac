#include "core/core_print.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {

void PrintToStandardError(const char* text) { std::fputs(text, stderr); }

std::atomic<CorePrintFunction> g_printer{PrintToStandardError};
thread_local std::string* t_capture = nullptr;

}  // namespace

void SetCorePrinter(CorePrintFunction print) {
  g_printer.store(print ? print : PrintToStandardError, std::memory_order_release);
}

void CorePrint(const char* text) {
  if (t_capture)
    t_capture->append(text);
  else
    g_printer.load(std::memory_order_acquire)(text);
}

void CorePrintf(const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  CorePrint(line);
}

CoreLineCapture::CoreLineCapture(std::string& into) : previous_(t_capture) { t_capture = &into; }

CoreLineCapture::~CoreLineCapture() { t_capture = previous_; }
