#pragma once
// Where the core's printed lines go: the body names and the computation
// diagnostics ("Test tafeln", "error MC!"). The workbench points it at the
// current text page once at start-up; until then lines go to standard
// error. The printer is an output only: no result of the core depends on
// it. Setting it is not synchronised with computations on other threads;
// set it before starting them.

using CorePrintFunction = void (*)(const char* text);

// nullptr restores the default (standard error).
void SetCorePrinter(CorePrintFunction print);

// Prints a text through the current printer.
void CorePrint(const char* text);

// printf-style convenience (messages of at most 255 bytes).
void CorePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
