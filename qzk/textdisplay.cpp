// The text page widget: text, layout on paint, visible lines only.
#include "qzk/textdisplay.h"
#include "qzk/vformat.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/log.h"
#include "qzk/options.h"
#include "qzk/pixmap.h"
#include "qzk/platform/platform.h"
#include "qzk/simpletext_draw.h"

namespace {
constexpr int margin_x = 3;  // pixels between the frame and the text
constexpr int margin_y = 2;

}  // namespace

qzTextDisplay::~qzTextDisplay() { bars_.destroy(); }

bool qzTextDisplay::createv(const char* format, va_list args) { return createWidget(false, format, args); }

void qzTextDisplay::parseOptions(qzOptionList& options) {
  qzOptTextDisplay o;
  qzopt_textdisplay(options, optionStart(), o);
  tabWidth_ = o.tabwidth >= 1 && o.tabwidth <= 100 ? o.tabwidth : 8;
  noBreak_ = o.nobreak;
}

void qzTextDisplay::created() {
  barsCreated_ = bars_.create(*this, scrolled, this);
  if (barsCreated_) bars_.setPolicy(qzScrollBarManager::AUTO, noBreak_ ? qzScrollBarManager::AUTO
                                                                     : qzScrollBarManager::NEVER);
  relayout();
}

void qzTextDisplay::scrolled(qzScrollBarManager&, void* user) {
  auto* self = static_cast<qzTextDisplay*>(user);
  self->follow_ = self->atEnd();
  self->invalidate();
}

void qzTextDisplay::vappend(const char* format, va_list args) { appendText(qzvformat(format, args)); }

void qzTextDisplay::append(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vappend(format, args);
  va_end(args);
}

void qzTextDisplay::appendText(const std::string& text) {
  if (text.empty()) return;
  text_.append(text);
  invalidate();
}

void qzTextDisplay::set(const char* format, ...) {
  va_list args;
  va_start(args, format);
  setText(qzvformat(format, args));
  va_end(args);
}

void qzTextDisplay::setText(const std::string& text) {
  text_.set(text);
  follow_ = false;
  showStart_ = true;
  invalidate();
}

void qzTextDisplay::clear() {
  text_.clear();
  follow_ = true;
  showStart_ = true;
  invalidate();
}

qzTextMetrics qzTextDisplay::metrics() const {
  qzTextMetrics m;
  int f = font() ? font() : qzfont_default();
  for (int code = 0; code < 256; ++code) m.advance[static_cast<size_t>(code)] = qzfont_glyphwidth(f, code);
  m.tabStop = tabWidth_ * qzfont_glyphwidth(f, ' ');
  return m;
}

int qzTextDisplay::visibleLines() const {
  int fh = qzfont_height(font());
  return fh > 0 ? std::max(1, (view_.h - 2 * margin_y) / fh) : 1;
}

bool qzTextDisplay::atEnd() const { return bars_.y() + visibleLines() >= text_.lineCount(); }

void qzTextDisplay::relayout() {
  int fh = std::max(1, qzfont_height(font()));
  int blank = std::max(1, qzfont_glyphwidth(font(), ' '));
  qzRect inner = rect().inset(qzframe_width(border()));
  qzTextMetrics m = metrics();
  bool follow = follow_;
  // The width depends on whether the vertical bar takes room, which
  // depends on the lines: start from the view the last layout left.
  int guess = (laidOutRect_ == rect() && view_.w > 0) ? view_.w : inner.w;
  for (int pass = 0; pass < 2; ++pass) {
    text_.layout(m, guess - 2 * margin_x, noBreak_);
    int contentW = noBreak_ ? (text_.widest() + 2 * margin_x + blank - 1) / blank : 0;
    // A line of content is one font height; the margins count as one more.
    int contentH = text_.lineCount() + (2 * margin_y + fh - 1) / fh;
    view_ = barsCreated_ ? bars_.layout(inner, contentW, contentH, blank, fh) : inner;
    if (view_.w == guess) break;
    guess = view_.w;
  }
  laidOutRect_ = rect();
  if (showStart_) {
    bars_.scrollTo(0, 0);
    showStart_ = false;
  } else if (follow) {
    bars_.scrollTo(bars_.x(), text_.lineCount());
  }
  follow_ = follow || atEnd();
}

void qzTextDisplay::scrollToLine(int line) {
  bars_.scrollTo(bars_.x(), line);
  follow_ = atEnd();
  invalidate();
}

void qzTextDisplay::drawLine(qzPixmap& target, const std::string& line, int x, int y) const {
  uint32_t ink = qzcolour::text;
  if (line.find('\t') == std::string::npos) {
    qzdraw_text_clipped(target, view_, x, y, font(), line.c_str(), enabled(), ink);
    return;
  }
  int stop = std::max(1, tabWidth_ * qzfont_glyphwidth(font(), ' '));
  int pos = 0;  // pixels from the line start
  size_t begin = 0;
  while (begin <= line.size()) {
    size_t tab = line.find('\t', begin);
    std::string piece = line.substr(begin, tab == std::string::npos ? std::string::npos : tab - begin);
    pos = qzdraw_text_clipped(target, view_, x + pos, y, font(), piece.c_str(), enabled(), ink) - x;
    if (tab == std::string::npos) break;
    pos = (pos / stop + 1) * stop;
    begin = tab + 1;
  }
}

void qzTextDisplay::paint(qzPixmap& target) {
  if (text_.changed() || !(laidOutRect_ == rect())) relayout();
  qzdraw_frame(target, rect(), border());
  qzpxmap_fillrect(target, view_.x, view_.y, view_.w, view_.h, enabled() ? qzcolour::field : qzcolour::face);
  int fh = std::max(1, qzfont_height(font()));
  int blank = std::max(1, qzfont_glyphwidth(font(), ' '));
  int first = bars_.y();
  int x = view_.x + margin_x - bars_.x() * blank;
  int last = std::min(text_.lineCount(), first + visibleLines() + 1);
  for (int i = first; i < last; ++i) {
    int y = view_.y + margin_y + (i - first) * fh;
    drawLine(target, text_.lineText(i), x, y);
  }
}

bool qzTextDisplay::mouseWheel(int, int, int steps) {
  bool moved = bars_.wheel(steps);
  if (moved) {
    follow_ = atEnd();
    invalidate();
  }
  return moved;
}

bool qzTextDisplay::keyDown(int key, int) {
  int page = std::max(1, visibleLines() - 1);
  int line = bars_.y();
  switch (key) {
    case QZ_KEY_UP: line -= 1; break;
    case QZ_KEY_DOWN: line += 1; break;
    case QZ_KEY_PAGEUP: line -= page; break;
    case QZ_KEY_PAGEDOWN: line += page; break;
    case QZ_KEY_HOME: line = 0; break;
    case QZ_KEY_END: line = text_.lineCount(); break;
    default: return false;
  }
  scrollToLine(line);
  return true;
}

bool qzTextDisplay::save(const char* path) const {
  if (!path || !*path) {
    qzlog("text display: no file name to save to\n");
    return false;
  }
  std::string temporary = std::string(path) + ".part";
  FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) {
    qzlog("text display: cannot create \"%s\"\n", path);
    return false;
  }
  const std::string& t = text_.text();
  std::string out;
  out.reserve(t.size() + t.size() / 16);
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\n' && (i == 0 || t[i - 1] != '\r')) out += '\r';
    out += t[i];
  }
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  ok = (std::fclose(f) == 0) && ok;
  if (ok) ok = std::rename(temporary.c_str(), path) == 0;
  if (!ok) {
    std::remove(temporary.c_str());
    qzlog("text display: cannot write \"%s\"\n", path);
  }
  return ok;
}
