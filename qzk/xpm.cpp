#include "qzk/xpm.h"

#include "qzk/log.h"
#include "qzk/picture_bytes.h"
#include "qzk/pixmap.h"

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <sstream>
#include <unordered_map>

const char kQzXpmSymbols[] =
    " .+@*-()[]!#$%&'_/:;<>=?,{}0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ|^";
static_assert(sizeof kQzXpmSymbols - 1 == kQzXpmSymbolCount);

namespace {

constexpr int kOneCharColours = 90;

// The symbol of n: one character with few colours, else two (n / 90 and
// n mod 90). Symbol 0 is the transparent blank (two blanks with two).
std::string symbol(int n, int charsPerPixel) {
  if (charsPerPixel == 1) return std::string(1, kQzXpmSymbols[n]);
  return {kQzXpmSymbols[n / 90], kQzXpmSymbols[n % 90]};
}

bool writePalettePixmap(const qzPixmap& p, const std::string& name, std::vector<uint8_t>& out) {
  const int colours = static_cast<int>(p.palette.size());
  const int cpp = colours <= kOneCharColours ? 1 : 2;
  std::string text;
  text.reserve(static_cast<size_t>(p.width * cpp + 4) * p.height + 64 + 16 * colours);
  char line[128];
  text += "/* XPM */\nstatic char * " + name + "[] = {\n";
  std::snprintf(line, sizeof line, "\"%d %d %d %d\",\n", p.width, p.height, colours + 1, cpp);
  text += line;
  text += "\"" + symbol(0, cpp) + "\tc None\",\n";
  for (int i = 0; i < colours; ++i) {
    std::snprintf(line, sizeof line, "\"%s\tc #%06X\",\n", symbol(i + 1, cpp).c_str(), p.palette[i] & 0xFFFFFFu);
    text += line;
  }
  std::vector<std::string> symbols(static_cast<size_t>(colours) + 1);
  for (int i = 0; i <= colours; ++i) symbols[i] = symbol(i, cpp);
  for (int y = 0; y < p.height; ++y) {
    text += '"';
    const uint16_t* row = p.index.data() + static_cast<size_t>(y) * p.width;
    for (int x = 0; x < p.width; ++x) {
      const int i = row[x];
      // The transparent index and indices beyond the palette show as the blank.
      text += (i == p.transparent || i >= colours) ? symbols[0] : symbols[i + 1];
    }
    text += y + 1 < p.height ? "\",\n" : "\"};\n";
  }
  if (p.height == 0) text += "};\n";
  out.assign(text.begin(), text.end());
  return true;
}

}  // namespace

std::string qzxpm_variable_name(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  for (auto& c : name)
    if (c == '.') c = '_';
  return name;
}

bool qzxpm_encode(const qzPixmap& p, const std::string& name, std::vector<uint8_t>& out) {
  if (p.format == QZ_PX_PALETTE8 || (p.format == QZ_PX_PALETTE16 && p.palette.size() <= kQzXpmMaxColours))
    return writePalettePixmap(p, name, out);
  qzPixmap storage;
  const qzPixmap* source = &p;
  if (p.format == QZ_PX_PALETTE16) {
    storage = p;
    qzpxmap_convert2truecolor(storage);
    source = &storage;
  } else if (p.format != QZ_PX_TRUECOLOR && p.format != QZ_PX_SERVER && p.format != QZ_PX_SCREEN) {
    qzlog("qzpxmap_savetofile_xpm: unsupported format %d\n", p.format);
    return false;
  }
  qzPixmap reduced;
  reduced.width = source->width;
  reduced.height = source->height;
  reduced.format = QZ_PX_PALETTE16;
  // Exact up to 65536 colours; beyond that the result has too many anyway.
  if (!qzpxmap_reducecolours(source->rgb, 65536, reduced.palette, reduced.index)) return false;
  if (reduced.palette.size() > kQzXpmMaxColours) {
    // More colours than the symbols encode: fewer, averaged colours.
    qzlog("qzpxmap_savetofile_xpm warning: too many colors in truecolor");
    qzlog("xpm save: too many colors !\n");
    qzpxmap_reducecolours(source->rgb, kQzXpmMaxColours, reduced.palette, reduced.index);
  }
  return writePalettePixmap(reduced, name, out);
}

std::vector<std::string> qzxpm_strings(const std::string& text) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, 2, "/*") == 0) {
      const size_t end = text.find("*/", i + 2);
      i = end == std::string::npos ? text.size() : end + 2;
    } else if (text[i] == '"') {
      const size_t end = text.find('"', i + 1);
      if (end == std::string::npos) break;
      out.push_back(text.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      ++i;
    }
  }
  return out;
}

namespace {

bool decodeFail(const char* why) {
  qzlog("qzpxmap_createfrommem_xpm: %s\n", why);
  return false;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct NamedColour {
  const char* name;
  uint32_t value;
};
constexpr NamedColour kNamedColours[] = {
    {"black", 0x000000}, {"white", 0xFFFFFF}, {"red", 0xFF0000},   {"green", 0x00FF00},
    {"blue", 0x0000FF},  {"yellow", 0xFFFF00}, {"cyan", 0x00FFFF}, {"magenta", 0xFF00FF},
    {"gray", 0xBEBEBE},  {"grey", 0xBEBEBE},
};

// "#RGB", "#RRGGBB", "#RRRRGGGGBBBB" (the high byte of each channel kept)
// or one of a few names; false for anything else.
bool parseColour(const std::string& v, uint32_t& colour) {
  if (!v.empty() && v[0] == '#') {
    const size_t digits = v.size() - 1;
    if (digits % 3 != 0 || digits == 0 || digits > 12) return false;
    const size_t per = digits / 3;
    colour = 0;
    for (int k = 0; k < 3; ++k) {
      int value = 0;
      for (size_t d = 0; d < per; ++d) {
        const int h = hexDigit(v[1 + k * per + d]);
        if (h < 0) return false;
        if (d < 2) value = value * 16 + h;
      }
      if (per == 1) value *= 17;
      colour = (colour << 8) | static_cast<uint32_t>(value);
    }
    return true;
  }
  for (const auto& n : kNamedColours) {
    if (strcasecmp(v.c_str(), n.name) == 0) {
      colour = n.value;
      return true;
    }
  }
  return false;
}

}  // namespace

bool qzxpm_decode(const std::vector<std::string>& lines, qzPixmap& out, int palettecode, bool transparent) {
  if (lines.empty()) return decodeFail("no values line");
  std::istringstream values(lines[0]);
  int64_t width = -1, height = -1, colours = -1, cpp = -1;
  values >> width >> height >> colours >> cpp;
  if (!values && !values.eof()) return decodeFail("bad values line");
  if (width <= 0 || height <= 0) return decodeFail("zero or negative width or height");
  if (cpp < 1 || cpp > 4) return decodeFail("characters per pixel outside 1..4");
  if (colours < 1) return decodeFail("no colours");
  if (colours > 256) {
    qzlog("qzpxmap_createfrommem_xpm: too many colors (%d)\n", static_cast<int>(colours));
    return false;
  }
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kQzMaxPicturePixels)
    return decodeFail("picture too large");
  if (lines.size() < static_cast<size_t>(1 + colours + height)) return decodeFail("fewer lines than declared");
  for (int64_t y = 0; y < height; ++y)
    if (lines[static_cast<size_t>(1 + colours + y)].size() < static_cast<size_t>(width * cpp))
      return decodeFail("short pixel row");
  qzPixmap p;
  p.paletteCode = palettecode;
  std::unordered_map<std::string, uint16_t> indexOf;
  for (int i = 0; i < colours; ++i) {
    const std::string& line = lines[1 + i];
    if (line.size() < static_cast<size_t>(cpp)) return decodeFail("short colour line");
    std::istringstream rest(line.substr(static_cast<size_t>(cpp)));
    std::string key, value;
    uint32_t colour = 0;
    bool found = false, none = false;
    while (rest >> key >> value) {
      if (key != "c") continue;
      found = true;
      none = strcasecmp(value.c_str(), "none") == 0;
      if (!none && !parseColour(value, colour)) return decodeFail("unknown colour");
    }
    if (!found) return decodeFail("colour line without a \"c\" colour");
    if (none && transparent && p.transparent < 0) p.transparent = i;
    p.palette.push_back(none ? 0 : colour);
    if (!indexOf.emplace(line.substr(0, static_cast<size_t>(cpp)), static_cast<uint16_t>(i)).second)
      return decodeFail("symbol given twice");
  }
  // Allocation keeps the palette and transparent index just read.
  if (!qzpxmap_alloc(p, static_cast<int>(width), static_cast<int>(height), QZ_PX_PALETTE8)) return false;
  for (int y = 0; y < height; ++y) {
    const std::string& row = lines[static_cast<size_t>(1 + colours + y)];
    if (row.size() < static_cast<size_t>(width * cpp)) return decodeFail("short pixel row");
    for (int x = 0; x < width; ++x) {
      const auto it = indexOf.find(row.substr(static_cast<size_t>(x * cpp), static_cast<size_t>(cpp)));
      if (it == indexOf.end()) return decodeFail("pixel of an undeclared symbol");
      p.index[static_cast<size_t>(y) * width + x] = it->second;
    }
  }
  out = std::move(p);
  return true;
}
