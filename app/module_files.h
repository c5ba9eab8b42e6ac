#pragma once
// The files a module replaces, kept as they were before it started: a
// module that is cancelled, stopped or ended by quitting leaves every
// working file as it found it. The writers of working files call
// KeepFileBeforeWrite before they replace one; the module frame begins
// and ends the keeping around each module.
#include <string>

// Remembers the file's bytes (or that it does not exist) the first time it
// is named during a module; does nothing outside a module.
void KeepFileBeforeWrite(const std::string& path);
// Starts keeping (ModuleBegin); forgets what an earlier module kept.
void BeginKeepingFiles();
// Puts every kept file back as it was (removes one that did not exist);
// false when one could not be put back (logged).
bool RestoreKeptFiles();
// Ends keeping without restoring (a module that ran to its end).
void ForgetKeptFiles();
// The number of files kept so far in this module.
int KeptFileCount();
