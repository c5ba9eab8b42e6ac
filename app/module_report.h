#pragma once
// How the running module ended. A module that reports nothing has finished
// its work. One that stops before its work is done says why, where it
// decides to stop, and then returns from its Run function as before:
//
//  - an early end: its input does not let it go on (a working file missing
//    or refused, a period that ends before it starts, a person file that
//    cannot be read, a dialog the user cancelled);
//  - a failure: it could not do its work although its input was fine (its
//    results could not be written).
//
// Reporting changes nothing on the pages: the module prints its own lines
// as it always did. PrintEndedEarly and PrintFailed print exactly as
// PrintOut does and report the printed text, for the usual case of a module
// whose message is the reason:
//
//     if (p.jdStart > p.jdEnd) {
//       PrintEndedEarly("\n ERROR! start-date >= end- date! ERROR!!   ");
//       Pause(10.0);
//       return false;
//     }
//
//     if (!WriteFileSet(files)) {                 // nothing was changed
//       ModuleFailed("the continuum's files could not be written; the old ones are kept");
//       return;
//     }
//
//     if (!dialog.Run()) {                        // the user pressed "Cancel"
//       ModuleEndedEarly("cancelled");
//       return false;
//     }
//
// The message is the module's last word: what a batch run prints on
// standard error when it stops ("kmwb: \"2- Event Analysis\" ended early:
// datdat.txt not exist or not closed : 2"), kept as its lines with the
// blanks at both ends removed and empty lines dropped. Each report is also
// written to qzk.log as it is made. Several reports of the same kind make
// one message of several lines (a module whose reason takes two printed
// lines reports both); a failure replaces an early end, and an early end
// after a failure changes nothing.
//
// A batch run stops after a module that ended early (exit status 4) or
// failed (5), with its pages saved; see app/batch_run.h.
#include <string>

enum class ModuleOutcome {
  Finished,
  EndedEarly,
  Failed,
};

struct ModuleReport {
  ModuleOutcome outcome = ModuleOutcome::Finished;
  std::string message;  // lines separated by "\n", each trimmed; "" when finished
};

void ModuleEndedEarly(const std::string& message);
void ModuleFailed(const std::string& message);
// PrintOut, then ModuleEndedEarly / ModuleFailed with the printed text.
void PrintEndedEarly(const char* format, ...) __attribute__((format(printf, 1, 2)));
void PrintFailed(const char* format, ...) __attribute__((format(printf, 1, 2)));

// What the module reported since the last call, and forgets it: whoever
// runs a module (a batch run, a test session) takes it before and after.
ModuleReport TakeModuleReport();
// What the module reported so far, kept for the one who takes it (the
// module's record reads it as the module returns).
ModuleReport PeekModuleReport();
// "ended early" or "failed" ("finished" for a module that reported nothing).
const char* ModuleOutcomeName(ModuleOutcome outcome);
