#include "qzk/simpletext_draw.h"

#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/utf8.h"

namespace {

int draw_run(qzPixmap& target, const qzRect& clip, int x, int y, int font, const std::string& text,
             uint32_t colour) {
  int h = qzfont_height(font);
  bool rowFits = y >= clip.y && y + h <= clip.y + clip.h;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t next = qzutf8_next(text, pos);
    std::string glyph = text.substr(pos, next - pos);
    int w = qzfont_textwidth(font, glyph.c_str());
    if (rowFits && x >= clip.x && x + w <= clip.x + clip.w) qzfont_drawtext(target, x, y, font, colour, glyph.c_str());
    x += w;
    pos = next;
  }
  return x;
}

std::string expand_tabs(const std::string& line, int tabWidth) {
  if (tabWidth < 1) tabWidth = 8;
  std::string out;
  size_t column = 0;
  for (size_t pos = 0; pos < line.size();) {
    size_t next = qzutf8_next(line, pos);
    if (line[pos] == '\t') {
      do {
        out += ' ';
        ++column;
      } while (column % tabWidth != 0);
    } else {
      out.append(line, pos, next - pos);
      ++column;
    }
    pos = next;
  }
  return out;
}

// Greedy wrapping of one line without line ends.
void wrap_line(const std::string& line, int font, int width, std::vector<std::string>& out) {
  if (qzfont_textwidth(font, line.c_str()) <= width || width <= 0) {
    out.push_back(line);
    return;
  }
  std::string rest = line;
  while (!rest.empty()) {
    // The longest prefix that fits, at least one character.
    size_t fit = 0;
    for (size_t pos = 0; pos < rest.size();) {
      size_t next = qzutf8_next(rest, pos);
      if (qzfont_textwidth(font, rest.substr(0, next).c_str()) > width) break;
      fit = next;
      pos = next;
    }
    if (fit == 0) fit = qzutf8_next(rest, 0);
    if (fit >= rest.size()) {
      out.push_back(rest);
      break;
    }
    size_t cut = rest.rfind(' ', fit);
    if (cut == std::string::npos || cut == 0) {
      out.push_back(rest.substr(0, fit));
      rest = rest.substr(fit);
    } else {
      out.push_back(rest.substr(0, cut));
      rest = rest.substr(cut + 1);
    }
  }
}

}  // namespace

int qzdraw_text_clipped(qzPixmap& target, const qzRect& clip, int x, int y, int font, const char* text,
                        bool enabled, uint32_t colour) {
  std::string t = text ? text : "";
  if (enabled) return draw_run(target, clip, x, y, font, t, colour);
  draw_run(target, clip, x + 1, y + 1, font, t, qzcolour::light);
  return draw_run(target, clip, x, y, font, t, qzcolour::disabledText);
}

std::vector<std::string> qztext_wrap(const std::string& text, int font, int width, bool wrap, int tabWidth) {
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = expand_tabs(line, tabWidth);
    if (wrap)
      wrap_line(line, font, width, out);
    else
      out.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return out;
}
