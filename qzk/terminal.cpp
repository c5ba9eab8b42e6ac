// The terminal widget: decoding, printing into the text memory, the
// scroll-back view with its bar and scroll timer, and painting.
#include "qzk/terminal.h"
#include "qzk/vformat.h"

#include <algorithm>
#include <cstdio>

#include "qzk/draw.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/log.h"
#include "qzk/options.h"
#include "qzk/pixmap.h"
#include "qzk/platform/platform.h"
#include "qzk/scrollbar.h"
#include "qzk/simpletext_draw.h"
#include "qzk/utf8.h"

namespace {

constexpr int inner_margin = 2;  // pixels between the edge and the grid

// The nine colours of the colour escapes (30..38, 40..48).
constexpr std::array<uint32_t, 9> terminal_palette = {
    0x000000, 0xAA0000, 0x00AA00, 0xAA5500, 0x0000AA, 0xAA00AA, 0x00AAAA, 0xAAAAAA, 0x555555,
};

bool scroll_timer_started = false;  // logged once per run

// Line-drawing characters drawn as lines through the cell's centre.
void draw_line_char(qzPixmap& p, int code, int x, int y, int w, int h, uint32_t ink) {
  int cx = x + w / 2, cy = y + h / 2;
  bool up = false, down = false, left = false, right = false;
  switch (code) {
    case QZ_LD_HORIZONTAL: left = right = true; break;
    case QZ_LD_VERTICAL: up = down = true; break;
    case QZ_LD_DOWN_RIGHT: down = right = true; break;
    case QZ_LD_DOWN_LEFT: down = left = true; break;
    case QZ_LD_UP_RIGHT: up = right = true; break;
    case QZ_LD_UP_LEFT: up = left = true; break;
    case QZ_LD_VERT_RIGHT: up = down = right = true; break;
    case QZ_LD_VERT_LEFT: up = down = left = true; break;
    case QZ_LD_CROSS: up = down = left = right = true; break;
    case QZ_LD_HORIZ_UP: left = right = up = true; break;
    case QZ_LD_HORIZ_DOWN: left = right = down = true; break;
    default: return;
  }
  if (left) qzpxmap_fillrect(p, x, cy, cx - x + 1, 1, ink);
  if (right) qzpxmap_fillrect(p, cx, cy, x + w - cx, 1, ink);
  if (up) qzpxmap_fillrect(p, cx, y, 1, cy - y + 1, ink);
  if (down) qzpxmap_fillrect(p, cx, cy, 1, y + h - cy, ink);
}

}  // namespace

uint32_t qzTerminal::paletteColour(int index) {
  return index >= 0 && index < 9 ? terminal_palette[static_cast<size_t>(index)] : 0;
}

bool qzTerminal::createv(const char* format, va_list args) { return createWidget(false, format, args); }

void qzTerminal::parseOptions(qzOptionList& options) {
  qzOptTerminal o;
  qzopt_terminal(options, optionStart(), o);
  qzOptTextMemory m;
  m.text = m.textcolour = m.bgcolour = m.attr = true;
  m.lines = o.lines;
  m.columns = o.columns;
  m.scroll = true;
  m.scrollback = o.scrollback;
  if (!memory_.setup(m)) {
    // Keep a usable terminal of the usual size rather than none.
    m.lines = 25;
    m.columns = 80;
    m.scrollback = std::clamp(o.scrollback, 0, 10000);
    memory_.setup(m);
  }
  logFile_ = o.logfile;
  wordBreak_ = o.wordbreak;
  cursor_ = o.cursor;
  if (o.textcolour) textColour_ = *o.textcolour;
  if (o.bgcolour) background_ = *o.bgcolour;
  decoder_.reset();
}

void qzTerminal::naturalSize(int& width, int& height) {
  int f = font() ? font() : qzfont_default();
  width = qzgeom_terminal_width(memory_.columns(), qzfont_glyphwidth(f, ' '), hasScrollBar() ? kBarWidth : 0);
  height = qzgeom_terminal_height(memory_.lines(), qzfont_height(f));
}

void qzTerminal::created() { qzlog("terminal open, cs=\"%s\"\n", optionString().c_str()); }

void qzTerminal::vprint(const char* format, va_list args) { write(qzvformat(format, args)); }

void qzTerminal::print(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprint(format, args);
  va_end(args);
}

void qzTerminal::write(const std::string& bytes) {
  if (bytes.empty()) return;
  if (!logFile_.empty()) {
    // Opened per call so the file is complete whenever the program stops;
    // a file that cannot be opened is ignored.
    if (FILE* f = std::fopen(logFile_.c_str(), "ab")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
  }
  for (char c : bytes) feed(static_cast<unsigned char>(c));
  offset_ = 0;
  invalidate();
}

void qzTerminal::clear() {
  memory_.clear();
  decoder_.reset();
  utf8Missing_ = 0;
  offset_ = 0;
  invalidate();
}

void qzTerminal::feed(unsigned char byte) {
  decoder_.feed(byte);
  int command, argument;
  while (decoder_.next(command, argument)) {
    if (command != QZA_PRINT) {
      memory_.apply(command, argument);
      continue;
    }
    // A printed code that is not the byte fed is a line-drawing character;
    // other bytes from 128 up are UTF-8 (or Latin-1 when not valid UTF-8).
    if (argument != byte || argument < 0x80) {
      if (utf8Missing_ > 0) printCode('?');  // a broken sequence
      utf8Missing_ = 0;
      printCode(argument);
      continue;
    }
    if (utf8Missing_ > 0 && (argument & 0xC0) == 0x80) {
      utf8Code_ = (utf8Code_ << 6) | (argument & 0x3F);
      if (--utf8Missing_ == 0) printCode(utf8Code_);
      continue;
    }
    if (utf8Missing_ > 0) printCode('?');  // a broken sequence
    utf8Missing_ = 0;
    if (argument >= 0xC2 && argument <= 0xDF) {
      utf8Code_ = argument & 0x1F;
      utf8Missing_ = 1;
    } else if (argument >= 0xE0 && argument <= 0xEF) {
      utf8Code_ = argument & 0x0F;
      utf8Missing_ = 2;
    } else {
      printCode(argument);
    }
  }
}

void qzTerminal::printCode(int code) {
  switch (code) {
    case '\n': memory_.newline(); return;
    case '\r': memory_.carriageReturn(); return;
    case '\b': memory_.backspace(); return;
    case '\t': memory_.tab(); return;
    default: break;
  }
  if (code < 32 || code == 127) return;  // other controls show nothing
  if (wordBreak_ && code != ' ' && memory_.wrap && memory_.cursorColumn() >= memory_.columns()) breakWord();
  memory_.put(code);
}

// The line is full and a word goes on: move the word's start to the next
// line, unless it fills the whole line anyway.
void qzTerminal::breakWord() {
  int row = memory_.cursorLine();
  int columns = memory_.columns();
  int start = columns;
  while (start > 0 && memory_.character(row, start - 1) != ' ') --start;
  if (start == 0 || start == columns) return;
  struct Cell {
    uint16_t ch;
    uint8_t fg, bg, attr;
  };
  std::vector<Cell> word;
  for (int c = start; c < columns; ++c)
    word.push_back({memory_.character(row, c), memory_.textColour(row, c), memory_.backgroundColour(row, c),
                    memory_.attributes(row, c)});
  memory_.moveTo(row, start);
  memory_.eraseLine(0);
  memory_.newline();
  uint8_t fg = memory_.currentTextColour, bg = memory_.currentBackground, attr = memory_.currentAttributes;
  for (const Cell& cell : word) {
    memory_.currentTextColour = cell.fg;
    memory_.currentBackground = cell.bg;
    memory_.currentAttributes = cell.attr;
    memory_.put(cell.ch);
  }
  memory_.currentTextColour = fg;
  memory_.currentBackground = bg;
  memory_.currentAttributes = attr;
}

// ------------------------------------------------------------ scrolling

namespace {
// Arrows at both ends, the track between them and the thumb on it.
qzScrollBarParts bar_parts(const qzRect& r, bool vertical, const qzScrollRange& range) {
  return qzscroll_parts(r, vertical, range, qzScrollBarWidget::kMinThumb);
}
}  // namespace

qzRect qzTerminal::innerRect() const { return rect().inset(qzframe_width(border())); }

int qzTerminal::cellWidth() const { return std::max(1, qzfont_glyphwidth(font(), ' ')); }
int qzTerminal::cellHeight() const { return std::max(1, qzfont_height(font())); }

bool qzTerminal::hasHorizontalBar() const {
  int available = innerRect().w - (hasScrollBar() ? kBarWidth : 0);
  return memory_.columns() * cellWidth() + 2 * inner_margin > available;
}

qzRect qzTerminal::gridRect() const {
  qzRect r = innerRect();
  if (hasScrollBar()) r.w -= kBarWidth;
  if (hasHorizontalBar()) r.h -= kBarWidth;
  r.w = std::max(r.w, 0);
  r.h = std::max(r.h, 0);
  return r;
}

qzScrollRange qzTerminal::range() const {
  qzScrollRange r;
  r.total = memory_.scrollbackUsed() + memory_.lines();
  r.page = memory_.lines();
  r.pos = memory_.scrollbackUsed() - offset_;
  return r;
}

qzScrollRange qzTerminal::horizontalRange() const {
  qzScrollRange r;
  r.total = memory_.columns();
  r.page = std::max(1, (gridRect().w - 2 * inner_margin) / cellWidth());
  r.pos = firstColumn_;
  return r;
}

void qzTerminal::setViewOffset(int lines) {
  int clamped = std::clamp(lines, 0, memory_.scrollbackUsed());
  if (clamped == offset_) return;
  offset_ = clamped;
  invalidate();
}

void qzTerminal::setFirstColumn(int column) {
  qzScrollRange r = horizontalRange();
  int clamped = std::clamp(column, 0, hasHorizontalBar() ? qzscroll_maxpos(r) : 0);
  if (clamped == firstColumn_) return;
  firstColumn_ = clamped;
  invalidate();
}

qzRect qzTerminal::scrollBarRect() const {
  if (!hasScrollBar()) return {};
  qzRect inner = innerRect();
  return {inner.x + inner.w - kBarWidth, inner.y, kBarWidth, gridRect().h};
}

qzRect qzTerminal::horizontalBarRect() const {
  if (!hasHorizontalBar()) return {};
  qzRect inner = innerRect();
  return {inner.x, inner.y + inner.h - kBarWidth, gridRect().w, kBarWidth};
}

qzRect qzTerminal::upArrowRect() const { return bar_parts(scrollBarRect(), true, range()).low; }
qzRect qzTerminal::downArrowRect() const { return bar_parts(scrollBarRect(), true, range()).high; }

void qzTerminal::stepHeld() {
  int page = std::max(1, memory_.lines() - 1);
  int hpage = std::max(1, horizontalRange().page - 1);
  switch (held_) {
    case UP: setViewOffset(offset_ + 1); break;
    case DOWN: setViewOffset(offset_ - 1); break;
    case PAGE_UP: setViewOffset(offset_ + page); break;
    case PAGE_DOWN: setViewOffset(offset_ - page); break;
    case LEFT: setFirstColumn(firstColumn_ - 1); break;
    case RIGHT: setFirstColumn(firstColumn_ + 1); break;
    case PAGE_LEFT: setFirstColumn(firstColumn_ - hpage); break;
    case PAGE_RIGHT: setFirstColumn(firstColumn_ + hpage); break;
    default: break;
  }
}

bool qzTerminal::mouseDown(int x, int y, int button, int, int) {
  if (button != QZ_MOUSE_LEFT) return false;
  qzRect vbar = scrollBarRect(), hbar = horizontalBarRect();
  if (vbar.contains(x, y)) {
    qzScrollBarParts b = bar_parts(vbar, true, range());
    if (b.low.contains(x, y)) held_ = UP;
    else if (b.high.contains(x, y)) held_ = DOWN;
    else if (b.thumb.contains(x, y)) held_ = THUMB;
    else if (b.thumb.empty()) held_ = NONE;
    else held_ = y < b.thumb.y ? PAGE_UP : PAGE_DOWN;
    grabOffset_ = y - b.thumb.y;
  } else if (hbar.contains(x, y)) {
    qzScrollBarParts b = bar_parts(hbar, false, horizontalRange());
    if (b.low.contains(x, y)) held_ = LEFT;
    else if (b.high.contains(x, y)) held_ = RIGHT;
    else if (b.thumb.contains(x, y)) held_ = HTHUMB;
    else if (b.thumb.empty()) held_ = NONE;
    else held_ = x < b.thumb.x ? PAGE_LEFT : PAGE_RIGHT;
    grabOffset_ = x - b.thumb.x;
  } else {
    return false;
  }
  if (held_ != NONE && held_ != THUMB && held_ != HTHUMB) {
    stepHeld();
    if (held_ == UP || held_ == DOWN || held_ == LEFT || held_ == RIGHT) {
      // Held arrows scroll on the ticks of the terminal scroll timer.
      if (!scroll_timer_started) {
        scroll_timer_started = true;
        qzlog("terminal-scrolltimer started: %d ticks/sec.\n", static_cast<int>(kScrollTicksPerSecond));
      }
      qztimer_request_rate(kScrollTicksPerSecond);
      requestTick(qznow() + 1 / kScrollTicksPerSecond);
    }
  }
  invalidate();
  return true;
}

void qzTerminal::tick(double now) {
  if (held_ != UP && held_ != DOWN && held_ != LEFT && held_ != RIGHT) return;
  stepHeld();
  requestTick(now + 1 / kScrollTicksPerSecond);
}

void qzTerminal::mouseMove(int x, int y, int) {
  if (held_ == THUMB) {
    qzScrollBarParts b = bar_parts(scrollBarRect(), true, range());
    int pos = qzscroll_pos_for_thumb(range(), b.track.h, qzScrollBarWidget::kMinThumb, y - b.track.y - grabOffset_);
    setViewOffset(memory_.scrollbackUsed() - pos);
  } else if (held_ == HTHUMB) {
    qzScrollBarParts b = bar_parts(horizontalBarRect(), false, horizontalRange());
    setFirstColumn(qzscroll_pos_for_thumb(horizontalRange(), b.track.w, qzScrollBarWidget::kMinThumb, x - b.track.x - grabOffset_));
  }
}

void qzTerminal::mouseUp(int, int, int) {
  held_ = NONE;
  cancelTick();
  invalidate();
}

bool qzTerminal::mouseWheel(int, int, int steps) {
  int before = offset_;
  setViewOffset(offset_ + steps * 3);
  return offset_ != before;
}

bool qzTerminal::keyDown(int key, int) {
  int page = std::max(1, memory_.lines() - 1);
  switch (key) {
    case QZ_KEY_PAGEUP: setViewOffset(offset_ + page); return true;
    case QZ_KEY_PAGEDOWN: setViewOffset(offset_ - page); return true;
    default: return false;
  }
}

// ------------------------------------------------------------ painting

void qzTerminal::paintRow(qzPixmap& target, int row, int x, int y, int cellW, int cellH) const {
  qzRect clip = gridRect();
  int columns = memory_.columns();
  for (int c = 0; c < columns;) {
    // A run of cells with the same look is drawn as one text.
    uint8_t fg = memory_.textColour(row, c), bg = memory_.backgroundColour(row, c), attr = memory_.attributes(row, c);
    int end = c;
    std::string run;
    bool lineChars = false;
    while (end < columns && memory_.textColour(row, end) == fg && memory_.backgroundColour(row, end) == bg &&
           memory_.attributes(row, end) == attr) {
      uint16_t ch = memory_.character(row, end);
      if (ch >= 128 && ch <= 138) lineChars = true;
      run += ch >= 128 && ch <= 138 ? std::string(" ") : qzutf8_of(ch > 255 ? '?' : ch);
      ++end;
    }
    uint32_t ink = fg == QZ_TXT_DEFAULT_COLOUR ? textColour_ : paletteColour(fg);
    uint32_t paper = bg == QZ_TXT_DEFAULT_COLOUR ? background_ : paletteColour(bg);
    if (attr & QZ_TXT_REVERSE) std::swap(ink, paper);
    int rx = x + c * cellW;
    qzRect cells = qzRect{rx, y, (end - c) * cellW, cellH}.intersection(clip);
    if (paper != background_) qzpxmap_fillrect(target, cells.x, cells.y, cells.w, cells.h, paper);
    qzdraw_text_clipped(target, clip, rx, y, font(), run.c_str(), true, ink);
    if (attr & QZ_TXT_BOLD) qzdraw_text_clipped(target, clip, rx + 1, y, font(), run.c_str(), true, ink);
    if (lineChars) {
      for (int k = c; k < end; ++k) {
        uint16_t ch = memory_.character(row, k);
        if (ch >= 128 && ch <= 138 && clip.contains(x + k * cellW, y))
          draw_line_char(target, ch, x + k * cellW, y, cellW, cellH, ink);
      }
    }
    c = end;
  }
}

void qzTerminal::paint(qzPixmap& target) {
  qzdraw_frame(target, rect(), border());
  qzRect grid = gridRect();
  qzpxmap_fillrect(target, grid.x, grid.y, grid.w, grid.h, background_);
  int cellW = cellWidth(), cellH = cellHeight();
  int x = grid.x + inner_margin - firstColumn_ * cellW, y0 = grid.y + inner_margin;
  int rows = std::min(memory_.lines(), (grid.h - inner_margin) / cellH + 1);
  for (int r = 0; r < rows; ++r) paintRow(target, r - offset_, x, y0 + r * cellH, cellW, cellH);
  if (cursor_ && memory_.cursorVisible && offset_ + memory_.cursorLine() < memory_.lines()) {
    int column = std::min(memory_.cursorColumn(), memory_.columns() - 1);
    qzRect c = qzRect{x + column * cellW, y0 + (memory_.cursorLine() + offset_) * cellH + cellH - 2, cellW, 2}
                   .intersection(grid);
    qzpxmap_fillrect(target, c.x, c.y, c.w, c.h, textColour_);
  }
  if (hasScrollBar())
    qzscrollbar_paint(target, scrollBarRect(), true, range(), enabled(), held_ == UP ? 1 : held_ == DOWN ? 2 : 0);
  if (hasHorizontalBar())
    qzscrollbar_paint(target, horizontalBarRect(), false, horizontalRange(), enabled(),
                      held_ == LEFT ? 1 : held_ == RIGHT ? 2 : 0);
  if (hasScrollBar() && hasHorizontalBar()) {
    qzRect corner{scrollBarRect().x, horizontalBarRect().y, kBarWidth, kBarWidth};
    qzpxmap_fillrect(target, corner.x, corner.y, corner.w, corner.h, qzcolour::face);
  }
}
