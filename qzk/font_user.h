#pragma once
// The application's own fonts, shipped with the toolkit as text lines:
// a proportional sans-serif face "sans 14", "sans 16", "sans 20",
// "sans 24", "sans 32", "sans 48" and a monospace face "mono 16",
// "mono 20" (the number is the cell height in pixels).
#include <string>
#include <vector>

// The font's text lines, empty for a name that is not shipped.
std::vector<std::string> qzfont_userfont_lines(const char* name);
// The names of all shipped application fonts.
std::vector<std::string> qzfont_userfont_names();
