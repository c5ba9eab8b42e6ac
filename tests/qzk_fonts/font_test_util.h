#pragma once
// Helpers of the font tests: fonts in the text format made on the spot,
// and a look at what the toolkit logged.
#include "qzk/log.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

// The log file is fixed at its first line; the font tests keep it in a
// temporary folder of their own.
inline void startFontTestLog() {
  if (!qzlog_path().empty()) return;
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(MakeTempFolder("qzkfontlog"));
  qzlog("font tests\n");
  std::filesystem::current_path(old);
}

// What was logged from its construction on.
class FontLog {
 public:
  FontLog() {
    startFontTestLog();
    start_ = whole().size();
  }
  std::string text() const { return whole().substr(start_); }
  bool has(const std::string& s) const { return text().find(s) != std::string::npos; }

 private:
  static std::string whole() {
    std::ifstream in(qzlog_path(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  size_t start_ = 0;
};

// Pixel (x, y) of glyph i in the made fonts: a pattern that differs from
// glyph to glyph, so a misplaced offset shows.
inline bool madePixel(int glyph, int x, int y) { return (x * 7 + y * 3 + glyph) % 5 == 0; }

// A font in the text format; all glyphs `xsize` wide unless `widths` gives
// one width per glyph (then it is proportional).
inline std::vector<std::string> makeFont(const std::string& name, int xsize, int ysize, int chars,
                                         const std::vector<int>& widths = {}) {
  std::vector<std::string> lines = {"header:", "name=" + name,
                                    widths.empty() ? "monospace" : "proportional",
                                    "xsize=" + std::to_string(xsize), "ysize=" + std::to_string(ysize),
                                    "colors=1", "chars=" + std::to_string(chars), "ascent=" + std::to_string(ysize - 2),
                                    "descent=2", "slant=0", "weight=400", "width=0", "pts=10", "foundry=test",
                                    "desiredxs=0", "desiredys=0"};
  if (!widths.empty()) {
    std::string list = "propxs=";
    for (size_t i = 0; i < widths.size(); ++i) list += (i ? " " : "") + std::to_string(widths[i]);
    lines.push_back(list);
  }
  lines.push_back("data:");
  for (int g = 0; g < chars; ++g) {
    const int w = widths.empty() ? xsize : widths[static_cast<size_t>(g)];
    for (int y = 0; y < ysize; ++y) {
      std::string row;
      for (int x = 0; x < w; ++x) row += madePixel(g, x, y) ? '*' : '.';
      lines.push_back(row);
    }
  }
  return lines;
}
