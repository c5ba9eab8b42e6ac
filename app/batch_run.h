#pragma once
// Batch runs: the script's modules run through the real menu and dialogs
// on the headless backend, then every page is saved.
#include <string>
#include <vector>

// The batch run of a script after the start-up; the exit status. The
// graphic pages are saved as PNG and SVG, and also as BMP with withBmp.
int RunBatch(const std::string& scriptPath, const std::string& outDir, bool withBmp = false);
// Saves every non-empty text page as text-K.txt (K = 0 for the menu page)
// and every used graphic page as graphic-K.png and graphic-K.svg (and
// graphic-K.bmp with withBmp) into `dir` (created when missing). False
// when a file could not be written.
bool SaveAllPages(const std::string& dir, std::vector<std::string>& written, bool withBmp = false);
