// fontconv: turns a BDF bitmap font (X11's text form; Debian's pcf2bdf
// makes it from the installed .pcf fonts) into the toolkit's font text
// format, written as a C++ fragment of string literals, one text line per
// literal, for inclusion into an array of lines.
//
//   fontconv [options] INPUT.bdf OUTPUT.inc
//     --name NAME        font name (required)
//     --source TEXT      where the glyphs come from, for the file's comment
//     --proportional     glyph widths from each glyph's advance (DWIDTH)
//     --trim N           proportional widths made from a monospace font:
//                        each glyph's inked columns plus N blank columns
//     --cell WxH         monospace cell size; glyphs are centred in it
//     --bold             smears every set pixel one pixel to the right
//
// Codes 32 to 255 are written (224 glyphs). A code the BDF lacks is blank,
// except 255 (y with diaeresis), which is composed from "y" and the
// diaeresis of "u" when the font has those.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Glyph {
  int advance = 0;
  int w = 0, h = 0, xoff = 0, yoff = 0;
  std::vector<std::string> rows;  // hex rows as in the BDF
  bool bit(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    const std::string& r = rows[static_cast<size_t>(y)];
    const size_t digit = static_cast<size_t>(x / 4);
    if (digit >= r.size()) return false;
    const int v = std::stoi(r.substr(digit, 1), nullptr, 16);
    return (v >> (3 - x % 4)) & 1;
  }
};

struct Bdf {
  int ascent = 0, descent = 0;
  int boxw = 0, boxh = 0;
  int pointSize = 0;
  std::string foundry;
  std::map<int, Glyph> glyphs;
};

bool readBdf(const char* path, Bdf& font) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  Glyph g;
  int encoding = -1;
  bool inBitmap = false;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string key;
    s >> key;
    if (inBitmap) {
      if (key == "ENDCHAR") {
        inBitmap = false;
        if (encoding >= 0) font.glyphs[encoding] = g;
      } else {
        g.rows.push_back(key);
      }
    } else if (key == "FONT_ASCENT") s >> font.ascent;
    else if (key == "FONT_DESCENT") s >> font.descent;
    else if (key == "FONTBOUNDINGBOX") s >> font.boxw >> font.boxh;
    else if (key == "POINT_SIZE") s >> font.pointSize;
    else if (key == "FOUNDRY") {
      std::getline(s, font.foundry);
      const size_t a = font.foundry.find('"'), b = font.foundry.rfind('"');
      font.foundry = a != std::string::npos && b > a ? font.foundry.substr(a + 1, b - a - 1) : "";
    } else if (key == "STARTCHAR") g = Glyph{}, encoding = -1;
    else if (key == "ENCODING") s >> encoding;
    else if (key == "DWIDTH") s >> g.advance;
    else if (key == "BBX") s >> g.w >> g.h >> g.xoff >> g.yoff;
    else if (key == "BITMAP") inBitmap = true;
  }
  return font.ascent + font.descent > 0 && !font.glyphs.empty();
}

struct Options {
  std::string name, source;
  bool proportional = false, bold = false;
  int trim = -1;
  int cellw = 0, cellh = 0;
};

using Cells = std::vector<std::string>;  // rows of '*' and '.'

// The glyph drawn into a cell of the given width, baseline at `ascent`.
Cells render(const Glyph& g, int width, int height, int ascent, int shift) {
  Cells cells(static_cast<size_t>(height), std::string(static_cast<size_t>(width), '.'));
  for (int y = 0; y < g.h; ++y) {
    const int cy = ascent - (g.yoff + g.h) + y;
    if (cy < 0 || cy >= height) continue;
    for (int x = 0; x < g.w; ++x) {
      const int cx = g.xoff + x + shift;
      if (cx >= 0 && cx < width && g.bit(x, y)) cells[static_cast<size_t>(cy)][static_cast<size_t>(cx)] = '*';
    }
  }
  return cells;
}

Cells embolden(Cells c) {
  for (std::string& row : c)
    for (size_t x = row.size(); x-- > 1;)
      if (row[x - 1] == '*') row[x] = '*';
  return c;
}

// Keeps the inked columns of a glyph and `gap` blank columns after them.
Cells trimmed(const Cells& c, int gap, int blankWidth) {
  int left = -1, right = -1;
  for (const std::string& row : c)
    for (int x = 0; x < static_cast<int>(row.size()); ++x)
      if (row[static_cast<size_t>(x)] == '*') {
        if (left < 0 || x < left) left = x;
        if (x > right) right = x;
      }
  Cells out;
  for (const std::string& row : c) {
    if (left < 0) out.push_back(std::string(static_cast<size_t>(blankWidth), '.'));
    else out.push_back(row.substr(static_cast<size_t>(left), static_cast<size_t>(right - left + 1)) +
                       std::string(static_cast<size_t>(gap), '.'));
  }
  return out;
}

// y with diaeresis: the pixels "u with diaeresis" has beyond "u", over "y".
Cells composeYDiaeresis(const std::map<int, Cells>& glyphs) {
  const Cells& y = glyphs.at('y');
  const Cells& u = glyphs.at('u');
  const Cells& uu = glyphs.at(0xFC);
  Cells out = y;
  for (size_t r = 0; r < out.size(); ++r)
    for (size_t x = 0; x < out[r].size() && x < uu[r].size(); ++x)
      if (uu[r][x] == '*' && u[r][x] != '*') out[r][x] = '*';
  return out;
}

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

bool parseArgs(int argc, char** argv, Options& o, std::string& in, std::string& out) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&]() { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
    if (a == "--name") o.name = next();
    else if (a == "--source") o.source = next();
    else if (a == "--proportional") o.proportional = true;
    else if (a == "--bold") o.bold = true;
    else if (a == "--trim") o.trim = std::atoi(next().c_str());
    else if (a == "--cell") {
      if (std::sscanf(next().c_str(), "%dx%d", &o.cellw, &o.cellh) != 2) return false;
    } else files.push_back(a);
  }
  if (files.size() != 2 || o.name.empty()) return false;
  in = files[0];
  out = files[1];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::string inPath, outPath;
  if (!parseArgs(argc, argv, o, inPath, outPath)) {
    std::fprintf(stderr, "usage: fontconv --name NAME [--source TEXT] [--proportional] [--trim N] "
                         "[--cell WxH] [--bold] INPUT.bdf OUTPUT.inc\n");
    return 2;
  }
  Bdf bdf;
  if (!readBdf(inPath.c_str(), bdf)) {
    std::fprintf(stderr, "fontconv: %s is not a readable BDF font\n", inPath.c_str());
    return 1;
  }
  const int height = o.cellh ? o.cellh : bdf.ascent + bdf.descent;
  const int ascent = bdf.ascent + (height - (bdf.ascent + bdf.descent)) / 2;
  const int mono = o.cellw ? o.cellw : bdf.glyphs.count(' ') ? bdf.glyphs[' '].advance : bdf.boxw;
  const bool proportional = o.proportional || o.trim >= 0;

  std::map<int, Cells> cells;
  for (int code = 32; code <= 255; ++code) {
    auto it = bdf.glyphs.find(code);
    if (it == bdf.glyphs.end()) continue;
    const Glyph& g = it->second;
    const int width = o.proportional ? g.advance : mono;
    const int shift = o.proportional ? 0 : (mono - g.advance) / 2;
    cells[code] = render(g, width, height, ascent, shift);
  }
  if (!cells.count(0xFF) && cells.count('y') && cells.count('u') && cells.count(0xFC))
    cells[0xFF] = composeYDiaeresis(cells);
  if (o.bold)
    for (auto& [code, c] : cells) c = embolden(c);
  if (o.trim >= 0)
    for (auto& [code, c] : cells) c = trimmed(c, o.trim, code == ' ' ? (mono + 1) / 2 : mono / 2);

  std::vector<Cells> glyphs;
  for (int code = 32; code <= 255; ++code) {
    if (cells.count(code)) glyphs.push_back(cells[code]);
    else glyphs.push_back(Cells(static_cast<size_t>(height),
                                std::string(static_cast<size_t>(proportional ? mono / 2 : mono), '.')));
  }

  std::string widths, offsets;
  long offset = 0;
  for (const Cells& g : glyphs) {
    const int w = static_cast<int>(g[0].size());
    widths += (widths.empty() ? "" : " ") + std::to_string(w);
    offsets += (offsets.empty() ? "" : " ") + std::to_string(offset);
    offset += static_cast<long>(w) * height;
  }

  const std::string tmp = outPath + ".tmp";
  std::ofstream out(tmp);
  out << "// Generated by tools/fontconv from " << (o.source.empty() ? inPath : o.source)
      << ".\n// Do not edit; see assets/fonts/LICENSES.md for the licence.\n";
  std::vector<std::string> header = {
      "header:",
      "name=" + o.name,
      proportional ? "proportional" : "monospace",
      "xsize=" + std::to_string(mono),
      "ysize=" + std::to_string(height),
      "colors=1",
      "chars=" + std::to_string(glyphs.size()),
      "ascent=" + std::to_string(ascent),
      "descent=" + std::to_string(height - ascent),
      "slant=0",
      std::string("weight=") + (o.bold || o.name.find("bold") != std::string::npos ? "700" : "400"),
      "width=" + std::to_string(mono),
      "pts=" + std::to_string(bdf.pointSize / 10),
      "foundry=" + bdf.foundry,
      "desiredxs=0",
      "desiredys=0",
      "propxs=" + widths,
      "propdataoffset=" + offsets,
      "data:",
  };
  for (const std::string& h : header) out << quoted(h) << ",\n";
  for (const Cells& g : glyphs)
    for (const std::string& row : g) out << quoted(row) << ",\n";
  out.close();
  if (!out || std::rename(tmp.c_str(), outPath.c_str()) != 0) {
    std::fprintf(stderr, "fontconv: cannot write %s\n", outPath.c_str());
    std::remove(tmp.c_str());
    return 1;
  }
  return 0;
}
