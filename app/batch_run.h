#pragma once
// Batch runs: the script's modules run through the real menu and dialogs
// on the headless backend, then every page is saved.
#include <string>
#include <vector>

// The batch run of a script after the start-up; the exit status. Each
// module's pages and record go to DIR/NN-LABEL/ (app/module_record.h),
// the last pages and a replay of the whole script to DIR. A DIR that
// holds an earlier run's record stops the run with status 2, unless
// `force`: then that record goes first.
int RunBatch(const std::string& scriptPath, const std::string& outDir, bool force);
// Saves every non-empty text page as text-K.txt (K = 0 for the menu page)
// and every used graphic page as graphic-K.png and graphic-K.bmp into
// `dir` (created when missing). False when a file could not be written.
bool SaveAllPages(const std::string& dir, std::vector<std::string>& written);
