#pragma once
// Batch runs: the script's modules run through the real menu and dialogs
// on the headless backend, then every page is saved.
#include <string>
#include <vector>

// The exit statuses of kmwb, of a batch run in particular.
enum BatchStatus {
  kBatchDone = 0,
  kBatchPagesNotSaved = 1,  // the run was complete, but not every page could be written
  kBatchBadArguments = 2,   // the command line, or a script path that names no file to read
  kBatchOutOfStep = 3,      // the script does not fit the dialogs (named by its line)
  kBatchEndedEarly = 4,     // a module ended early (app/module_report.h); its pages are saved
  kBatchFailed = 5,         // a module failed; its pages are saved
};

// The batch run of a script after the start-up; the exit status. Each
// module's pages and record go to DIR/NN-LABEL/ (app/module_record.h),
// the last pages and a replay of the script's modules that ran to DIR.
// The graphic pages are saved as PNG and SVG, and also as BMP with
// withBmp. A DIR that holds an earlier run's record stops the run with
// status 2, unless `force`: then that record goes first.
int RunBatch(const std::string& scriptPath, const std::string& outDir, bool force, bool withBmp = false);
// False with a message when the script path names something other than a
// file that can be read as text (a folder, a named pipe, a device): such a
// path is a bad argument. A path that names nothing passes; RunBatch
// reports it.
bool BatchScriptPathUsable(const std::string& scriptPath, std::string& error);
// Saves every non-empty text page as text-K.txt (K = 0 for the menu page)
// and every used graphic page as graphic-K.png and graphic-K.svg (and
// graphic-K.bmp with withBmp) into `dir` (created when missing). False
// when a file could not be written.
bool SaveAllPages(const std::string& dir, std::vector<std::string>& written, bool withBmp = false);
