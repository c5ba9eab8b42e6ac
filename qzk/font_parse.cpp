// The font text format: a header of "key=value" lines and flags between
// "header:" and "data:", then the glyph rows. Header lines are compared
// exactly; unknown ones are skipped. Every number is checked before it
// sizes anything, and the glyph rows are counted before the pixel buffer
// is allocated, so a damaged font is refused instead of read past its end.
#include "qzk/font_parse.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

struct Header {
  bool started = false;
  std::string name, foundry;
  std::optional<bool> monospace;
  std::optional<int> xsize, ysize, colors, chars;
  int ascent = 0, descent = 0, slant = 0, weight = 0, width = 0, pts = 0;
  int desiredxs = 0, desiredys = 0;
  std::optional<std::vector<int>> propxs;
};

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\t')) s.remove_suffix(1);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

// A decimal integer that fills the whole text; nothing for anything else.
std::optional<int> parseInt(std::string_view s) {
  s = trimmed(s);
  if (s.empty() || s.size() > 11) return std::nullopt;
  std::string text(s);
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || end == text.c_str() || v < -2147483647L || v > 2147483647L)
    return std::nullopt;
  return static_cast<int>(v);
}

std::optional<std::vector<int>> parseList(std::string_view s) {
  std::vector<int> out;
  s = trimmed(s);
  while (!s.empty()) {
    size_t blank = s.find(' ');
    auto v = parseInt(s.substr(0, blank));
    if (!v) return std::nullopt;
    out.push_back(*v);
    if (out.size() > static_cast<size_t>(kQzFontMaxGlyphs)) return std::nullopt;
    if (blank == std::string_view::npos) break;
    s = trimmed(s.substr(blank + 1));
  }
  return out;
}

bool startsWith(std::string_view s, std::string_view prefix, std::string_view& rest) {
  if (s.substr(0, prefix.size()) != prefix) return false;
  rest = s.substr(prefix.size());
  return true;
}

struct IntKey {
  const char* key;
  int Header::*field;
};

constexpr IntKey kMetricKeys[] = {
    {"ascent=", &Header::ascent},       {"descent=", &Header::descent},
    {"slant=", &Header::slant},         {"weight=", &Header::weight},
    {"width=", &Header::width},         {"pts=", &Header::pts},
    {"desiredxs=", &Header::desiredxs}, {"desiredys=", &Header::desiredys},
};

// One header line; false with `error` set for a line whose value is bad.
bool readHeaderLine(std::string_view line, Header& h, std::string& error) {
  std::string_view v;
  if (line == "header:") {
    h.started = true;
  } else if (line == "monospace") {
    h.monospace = true;
  } else if (line == "proportional") {
    h.monospace = false;
  } else if (startsWith(line, "name=", v)) {
    h.name = std::string(v.substr(0, kQzFontMaxName));
  } else if (startsWith(line, "foundry=", v)) {
    h.foundry = std::string(v.substr(0, kQzFontMaxName));
  } else if (startsWith(line, "propxs=", v)) {
    h.propxs = parseList(v);
    if (!h.propxs) error = "bad \"propxs=\" list";
  } else if (startsWith(line, "propdataoffset=", v)) {
    // Redundant with the widths; the offsets are recomputed from them.
  } else {
    struct Sized {
      const char* key;
      std::optional<int> Header::*field;
    };
    static constexpr Sized kSized[] = {{"xsize=", &Header::xsize},
                                       {"ysize=", &Header::ysize},
                                       {"colors=", &Header::colors},
                                       {"chars=", &Header::chars}};
    for (const Sized& k : kSized) {
      if (startsWith(line, k.key, v)) {
        h.*k.field = parseInt(v);
        if (!(h.*k.field)) error = std::string("bad \"") + k.key + "\" value";
        return error.empty();
      }
    }
    for (const IntKey& k : kMetricKeys) {
      if (startsWith(line, k.key, v)) {
        auto n = parseInt(v);
        if (!n) error = std::string("bad \"") + k.key + "\" value";
        else h.*k.field = *n;
        return error.empty();
      }
    }
  }
  return error.empty();
}

bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

// Checks the header and gives the font its sizes and glyph widths.
bool takeHeader(const Header& h, qzFontRecord& f, std::string& error) {
  if (!h.started) return error = "no \"header:\" line", false;
  if (!h.xsize || !h.ysize) return error = "no cell size", false;
  if (!inRange(*h.xsize, 1, kQzFontMaxCell) || !inRange(*h.ysize, 1, kQzFontMaxCell))
    return error = "cell size out of range", false;
  if (h.colors && *h.colors != 1) return error = "only one colour is supported", false;
  int count = h.chars ? *h.chars : (h.propxs ? static_cast<int>(h.propxs->size()) : 0);
  if (!inRange(count, 1, kQzFontMaxGlyphs)) return error = "glyph count out of range", false;
  f.monospace = h.monospace.value_or(true);
  if (h.propxs) {
    if (static_cast<int>(h.propxs->size()) != count)
      return error = "\"propxs=\" does not give one width per glyph", false;
    f.widths = *h.propxs;
  } else if (f.monospace) {
    f.widths.assign(static_cast<size_t>(count), *h.xsize);
  } else {
    return error = "proportional font without \"propxs=\"", false;
  }
  for (int w : f.widths)
    if (!inRange(w, 0, kQzFontMaxCell)) return error = "glyph width out of range", false;
  f.name = h.name;
  f.foundry = h.foundry;
  f.xsize = *h.xsize;
  f.ysize = *h.ysize;
  f.colors = 1;
  f.ascent = h.ascent;
  f.descent = h.descent;
  f.slant = h.slant;
  f.weight = h.weight;
  f.width = h.width;
  f.pts = h.pts;
  f.desiredxs = h.desiredxs;
  f.desiredys = h.desiredys;
  return true;
}

void readGlyphs(const std::vector<std::string>& lines, size_t first, qzFontRecord& f) {
  f.offsets.resize(f.widths.size());
  size_t total = 0;
  for (size_t i = 0; i < f.widths.size(); ++i) {
    f.offsets[i] = static_cast<int>(total);
    total += static_cast<size_t>(f.widths[i]) * static_cast<size_t>(f.ysize);
  }
  f.data.assign(total, 0);
  size_t line = first;
  for (size_t i = 0; i < f.widths.size(); ++i) {
    uint8_t* out = f.data.data() + f.offsets[i];
    const size_t w = static_cast<size_t>(f.widths[i]);
    for (int row = 0; row < f.ysize; ++row, ++line, out += w) {
      const std::string& text = lines[line];
      const size_t n = text.size() < w ? text.size() : w;
      for (size_t x = 0; x < n; ++x) out[x] = text[x] == '*' ? 1 : 0;
    }
  }
}

}  // namespace

bool qzfont_parse(const std::vector<std::string>& lines, qzFontRecord& font, std::string& error) {
  font = qzFontRecord{};
  error.clear();
  Header h;
  size_t i = 0;
  for (; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line == "data:") break;
    if (!readHeaderLine(line, h, error)) return false;
  }
  if (i == lines.size()) return error = "no \"data:\" line", false;
  qzFontRecord f;
  if (!takeHeader(h, f, error)) return false;
  const size_t needed = f.widths.size() * static_cast<size_t>(f.ysize);
  const size_t have = lines.size() - (i + 1);
  if (have < needed) {
    error = "glyph data ends in glyph " + std::to_string(have / static_cast<size_t>(f.ysize)) +
            " of " + std::to_string(f.widths.size());
    return false;
  }
  readGlyphs(lines, i + 1, f);
  font = std::move(f);
  return true;
}
