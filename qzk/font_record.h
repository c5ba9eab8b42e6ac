#pragma once
// One font as the registry holds it: the header values of its text form
// and the glyph pixels, one byte per pixel (1 set, 0 clear), each glyph
// stored row by row with `ysize` rows of its own width.
#include <cstdint>
#include <string>
#include <vector>

constexpr int kQzFontFirstCode = 32;   // glyph i is the code 32 + i
constexpr int kQzFontMaxGlyphs = 224;  // codes 32 to 255
constexpr int kQzFontMaxCell = 256;    // largest cell width, height and glyph width
constexpr size_t kQzFontMaxName = 63;  // longest name and foundry kept

struct qzFontRecord {
  int id = 0;
  std::string name;
  std::string foundry;
  int xsize = 0;
  int ysize = 0;
  bool monospace = true;
  int colors = 1;
  int ascent = 0, descent = 0, slant = 0, weight = 0, width = 0, pts = 0;
  int desiredxs = 0, desiredys = 0;
  std::vector<int> widths;    // per glyph, in pixels
  std::vector<int> offsets;   // per glyph, into `data`
  std::vector<uint8_t> data;  // glyph pixels

  int glyphCount() const { return static_cast<int>(widths.size()); }
};
