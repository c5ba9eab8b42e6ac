#pragma once
// Where the core's printed lines go: the body names and the computation
// diagnostics ("Test tafeln", "error MC!"). The workbench points it at the
// current text page once at start-up; until then lines go to standard
// error. The printer is an output only: no result of the core depends on
// it. Setting it is not synchronised with computations on other threads;
// set it before starting them.
#include <string>

using CorePrintFunction = void (*)(const char* text);

// nullptr restores the default (standard error).
void SetCorePrinter(CorePrintFunction print);

// Prints a text through the current printer.
void CorePrint(const char* text);

// printf-style convenience (messages of at most 255 bytes).
void CorePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// While a capture lives, the lines the core prints on its thread are
// appended to `into` instead of going to the printer; the worker pool
// keeps a block's lines so and prints them on the calling thread. Captures
// nest: the innermost one of a thread takes the lines.
class CoreLineCapture {
 public:
  explicit CoreLineCapture(std::string& into);
  ~CoreLineCapture();
  CoreLineCapture(const CoreLineCapture&) = delete;
  CoreLineCapture& operator=(const CoreLineCapture&) = delete;

 private:
  std::string* previous_;
};
