// The font registry and the metrics read from it.
#include "qzk/font.h"
#include "qzk/font_parse.h"
#include "qzk/font_registry.h"
#include "qzk/font_text.h"
#include "qzk/ids.h"
#include "qzk/log.h"

#include <string_view>

namespace {

std::vector<qzFontRecord> g_fonts;

std::string registryName(const char* name) {
  return std::string(std::string_view(name ? name : "").substr(0, kQzFontMaxName));
}

// The "name=" value of the header, empty when there is none.
std::string headerName(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line == "data:" || line == "data:\r") break;
    if (line.rfind("name=", 0) == 0) return line.substr(5);
  }
  return {};
}

}  // namespace

const qzFontRecord* qzfont_find(int font) {
  if (font == 0) return nullptr;
  for (const qzFontRecord& f : g_fonts)
    if (f.id == font) return &f;
  return nullptr;
}

int qzfont_findname(const char* name) {
  const std::string key = registryName(name);
  for (const qzFontRecord& f : g_fonts)
    if (f.name == key) return f.id;
  return 0;
}

int qzfont_count() { return static_cast<int>(g_fonts.size()); }

int qzfont_glyphindex(const qzFontRecord& font, int codepoint) {
  const int code = qzfont_displaycode(codepoint);
  if (code < 0) return -1;
  int i = code - kQzFontFirstCode;
  if (i >= font.glyphCount()) i = '?' - kQzFontFirstCode;
  return i < font.glyphCount() ? i : -1;
}

int qzfont_load(const std::vector<std::string>& lines, const char* name) {
  std::string key = registryName(name);
  if (key.empty()) key = registryName(headerName(lines).c_str());
  qzlog("load font \"%s\"\n", key.c_str());
  if (key.empty()) {
    qzlog("font not loaded: it has no name\n");
    return 0;
  }
  if (int known = qzfont_findname(key.c_str())) return known;
  qzFontRecord font;
  std::string error;
  if (!qzfont_parse(lines, font, error)) {
    qzlog("font \"%s\" not loaded: %s\n", key.c_str(), error.c_str());
    return 0;
  }
  font.name = key;
  font.id = qzids_next(1);
  g_fonts.push_back(std::move(font));
  qzlog("Font ID=%d idx=%d added\n", g_fonts.back().id, static_cast<int>(g_fonts.size()) - 1);
  return g_fonts.back().id;
}

int qzfont_loaduser(const std::vector<std::string>& lines) {
  const std::string name = headerName(lines);
  qzlog("load user font: %s\n", name.c_str());
  return qzfont_load(lines, name.c_str());
}

int qzfont_height(int font) {
  const qzFontRecord* f = qzfont_find(font);
  return f ? f->ysize : 0;
}

int qzfont_glyphwidth(int font, int code) {
  const qzFontRecord* f = qzfont_find(font);
  if (!f) return 0;
  const int i = code - kQzFontFirstCode;
  return i >= 0 && i < f->glyphCount() ? f->widths[static_cast<size_t>(i)] : 0;
}

int qzfont_textwidth(int font, const char* text) {
  const qzFontRecord* f = qzfont_find(font);
  if (!f || !text) return 0;
  int width = 0;
  for (const char* p = text; *p;) {
    const int i = qzfont_glyphindex(*f, qzfont_nextcode(p));
    if (i >= 0) width += f->widths[static_cast<size_t>(i)];
  }
  return width;
}
