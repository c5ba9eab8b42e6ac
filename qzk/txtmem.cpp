// The terminal's text memory: a ring of rows, so that scrolling a line
// into the scroll-back costs no copying.
#include "qzk/txtmem.h"

#include <algorithm>

#include "qzk/log.h"
#include "qzk/options.h"
#include "qzk/qza_dec.h"
#include "qzk/utf8.h"

namespace {
// Grids beyond this are no terminal on any screen; the limit keeps the
// cell count far inside memory.
constexpr int max_columns = 4096;
constexpr int max_lines = 4096;
constexpr long long max_cells = 1LL << 26;

// Line-drawing codes read back as their plain shapes.
unsigned readable(uint16_t code) {
  switch (code) {
    case QZ_LD_HORIZONTAL: return '-';
    case QZ_LD_VERTICAL: return '|';
    default: return (code >= 128 && code <= 138) ? '+' : code;
  }
}
}  // namespace

bool qzTxtMemFixed::createv(const char* format, va_list args) {
  qzOptionList list = qzopt_vprepare(format, args);
  qzOptTextMemory options;
  qzopt_textmemory(list, 0, options);
  return setup(options);
}

bool qzTxtMemFixed::setup(const qzOptTextMemory& o) {
  long long rows = static_cast<long long>(o.lines) + std::max(0, o.scrollback);
  if (o.lines < 1 || o.columns < 1 || o.lines > max_lines || o.columns > max_columns ||
      o.scrollback < 0 || rows * o.columns > max_cells) {
    qzlog("text memory: size %d x %d with scroll-back %d not possible\n", o.columns, o.lines,
          o.scrollback);
    return false;
  }
  lines_ = o.lines;
  columns_ = o.columns;
  capacity_ = o.scrollback;
  scroll_ = o.scroll;
  used_ = 0;
  start_ = 0;
  size_t cells = static_cast<size_t>(rows) * static_cast<size_t>(columns_);
  chars_.assign(cells, ' ');
  fg_.assign(o.textcolour ? cells : 0, QZ_TXT_DEFAULT_COLOUR);
  bg_.assign(o.bgcolour ? cells : 0, QZ_TXT_DEFAULT_COLOUR);
  attr_.assign(o.attr ? cells : 0, 0);
  line_ = column_ = savedLine_ = savedColumn_ = 0;
  return true;
}

size_t qzTxtMemFixed::cellIndex(int row, int column) const {
  int total = capacity_ + lines_;
  int ring = (start_ + capacity_ + row) % total;
  return static_cast<size_t>(ring) * static_cast<size_t>(columns_) + static_cast<size_t>(column);
}

bool qzTxtMemFixed::stored(int row, int column) const {
  return lines_ > 0 && row >= -used_ && row < lines_ && column >= 0 && column < columns_;
}

uint16_t qzTxtMemFixed::character(int row, int column) const {
  return stored(row, column) ? chars_[cellIndex(row, column)] : ' ';
}
uint8_t qzTxtMemFixed::textColour(int row, int column) const {
  return stored(row, column) && !fg_.empty() ? fg_[cellIndex(row, column)] : QZ_TXT_DEFAULT_COLOUR;
}
uint8_t qzTxtMemFixed::backgroundColour(int row, int column) const {
  return stored(row, column) && !bg_.empty() ? bg_[cellIndex(row, column)] : QZ_TXT_DEFAULT_COLOUR;
}
uint8_t qzTxtMemFixed::attributes(int row, int column) const {
  return stored(row, column) && !attr_.empty() ? attr_[cellIndex(row, column)] : 0;
}

std::string qzTxtMemFixed::rowText(int row) const {
  std::string out;
  if (!stored(row, 0)) return out;
  int end = columns_;
  while (end > 0 && character(row, end - 1) == ' ') --end;
  for (int c = 0; c < end; ++c) qzutf8_append(out, readable(character(row, c)));
  return out;
}

std::string qzTxtMemFixed::text() const {
  int last = lines_ - 1;
  while (last >= 0 && rowText(last).empty()) --last;
  std::string out;
  for (int row = -used_; row <= last; ++row) {
    out += rowText(row);
    out += '\n';
  }
  return out;
}

void qzTxtMemFixed::blankCells(int row, int from, int to) {
  from = std::max(from, 0);
  to = std::min(to, columns_);
  for (int c = from; c < to; ++c) {
    size_t i = cellIndex(row, c);
    chars_[i] = ' ';
    // Erased cells take the current background, as terminals do.
    if (!fg_.empty()) fg_[i] = QZ_TXT_DEFAULT_COLOUR;
    if (!bg_.empty()) bg_[i] = currentBackground;
    if (!attr_.empty()) attr_[i] = 0;
  }
}

void qzTxtMemFixed::clearRow(int row) { blankCells(row, 0, columns_); }

void qzTxtMemFixed::setCell(int row, int column, uint16_t code) {
  size_t i = cellIndex(row, column);
  chars_[i] = code;
  if (!fg_.empty()) fg_[i] = currentTextColour;
  if (!bg_.empty()) bg_[i] = currentBackground;
  if (!attr_.empty()) attr_[i] = currentAttributes;
}

void qzTxtMemFixed::moveCells(int row, int to, int from, int count) {
  if (count <= 0) return;
  // Both ranges lie within one row, which is contiguous in the ring.
  auto f = static_cast<long>(cellIndex(row, from));
  auto t = static_cast<long>(cellIndex(row, to));
  auto move = [&](auto& v) {
    if (v.empty()) return;
    if (to < from) std::copy(v.begin() + f, v.begin() + f + count, v.begin() + t);
    else std::copy_backward(v.begin() + f, v.begin() + f + count, v.begin() + t + count);
  };
  move(chars_);
  move(fg_);
  move(bg_);
  move(attr_);
}

void qzTxtMemFixed::scrollUp() {
  if (lines_ == 0) return;
  int total = capacity_ + lines_;
  start_ = (start_ + 1) % total;
  if (used_ < capacity_) ++used_;
  clearRow(lines_ - 1);
}

void qzTxtMemFixed::lineFeed() {
  if (lines_ == 0) return;
  if (line_ + 1 < lines_) {
    ++line_;
    return;
  }
  if (scrolls()) {
    scrollUp();
  } else {
    line_ = 0;
    clearRow(0);
  }
}

void qzTxtMemFixed::newline() {
  column_ = 0;
  lineFeed();
}

void qzTxtMemFixed::carriageReturn() { column_ = 0; }

void qzTxtMemFixed::backspace() {
  if (column_ > 0) column_ = std::min(column_, columns_) - 1;
}

void qzTxtMemFixed::tab() {
  int next = (std::min(column_, columns_ - 1) / 8 + 1) * 8;
  column_ = std::min(next, columns_ - 1);
}

void qzTxtMemFixed::put(int code) {
  if (lines_ == 0) return;
  if (column_ >= columns_) {
    if (wrap) newline();
    else column_ = columns_ - 1;
  }
  if (insert) moveCells(line_, column_ + 1, column_, columns_ - column_ - 1);
  setCell(line_, column_, static_cast<uint16_t>(code < 0 || code > 0xFFFF ? '?' : code));
  ++column_;
}

void qzTxtMemFixed::moveTo(int line, int column) {
  line_ = std::clamp(line, 0, std::max(lines_ - 1, 0));
  column_ = std::clamp(column, 0, std::max(columns_ - 1, 0));
}

void qzTxtMemFixed::cursorUp(int n) { moveTo(line_ - std::max(n, 1), std::min(column_, columns_ - 1)); }
void qzTxtMemFixed::cursorDown(int n) { moveTo(line_ + std::max(n, 1), std::min(column_, columns_ - 1)); }
void qzTxtMemFixed::cursorForward(int n) { moveTo(line_, std::min(column_, columns_ - 1) + std::max(n, 1)); }
void qzTxtMemFixed::cursorBack(int n) { moveTo(line_, std::min(column_, columns_ - 1) - std::max(n, 1)); }

void qzTxtMemFixed::saveCursor() {
  savedLine_ = line_;
  savedColumn_ = column_;
}

void qzTxtMemFixed::restoreCursor() {
  line_ = std::clamp(savedLine_, 0, std::max(lines_ - 1, 0));
  column_ = std::clamp(savedColumn_, 0, columns_);
}

void qzTxtMemFixed::eraseToEndOfScreen() {
  if (lines_ == 0) return;
  blankCells(line_, column_, columns_);
  for (int row = line_ + 1; row < lines_; ++row) clearRow(row);
}

void qzTxtMemFixed::clearScreen() {
  for (int row = 0; row < lines_; ++row) clearRow(row);
  line_ = column_ = 0;
}

void qzTxtMemFixed::eraseLine(int mode) {
  if (lines_ == 0) return;
  if (mode == 0) blankCells(line_, column_, columns_);
  else if (mode == 1) blankCells(line_, 0, column_ + 1);
  else if (mode == 2) clearRow(line_);
}

void qzTxtMemFixed::insertChars(int n) {
  if (lines_ == 0 || column_ >= columns_) return;
  n = std::clamp(n, 1, columns_ - column_);
  moveCells(line_, column_ + n, column_, columns_ - column_ - n);
  blankCells(line_, column_, column_ + n);
}

void qzTxtMemFixed::deleteChars(int n) {
  if (lines_ == 0 || column_ >= columns_) return;
  n = std::clamp(n, 1, columns_ - column_);
  moveCells(line_, column_, column_ + n, columns_ - column_ - n);
  blankCells(line_, columns_ - n, columns_);
}

void qzTxtMemFixed::eraseChars(int n) {
  if (lines_ == 0 || column_ >= columns_) return;
  blankCells(line_, column_, column_ + std::max(n, 1));
}

void qzTxtMemFixed::clear() {
  uint8_t background = currentBackground;
  currentBackground = QZ_TXT_DEFAULT_COLOUR;
  used_ = 0;
  start_ = 0;
  for (int row = -capacity_; row < lines_; ++row) clearRow(row);
  currentBackground = background;
  line_ = column_ = savedLine_ = savedColumn_ = 0;
}

void qzTxtMemFixed::apply(int command, int argument) {
  switch (command) {
    case QZA_PRINT: put(argument); break;
    case QZA_RESET_ATTR:
      currentAttributes = 0;
      currentTextColour = currentBackground = QZ_TXT_DEFAULT_COLOUR;
      break;
    case QZA_BOLD: currentAttributes |= QZ_TXT_BOLD; break;
    case QZA_TEXTCOLOR: currentTextColour = static_cast<uint8_t>(argument); break;
    case QZA_TEXTCOLOR_DEFAULT: currentTextColour = QZ_TXT_DEFAULT_COLOUR; break;
    case QZA_BGCOLOR: currentBackground = static_cast<uint8_t>(argument); break;
    case QZA_BGCOLOR_DEFAULT: currentBackground = QZ_TXT_DEFAULT_COLOUR; break;
    case QZA_REVERSE:
      if (argument) currentAttributes |= QZ_TXT_REVERSE;
      else currentAttributes &= static_cast<uint8_t>(~QZ_TXT_REVERSE);
      break;
    // Counts and positions of 0 mean 1, as on every terminal.
    case QZA_CUU: cursorUp(argument); break;
    case QZA_CUD: cursorDown(argument); break;
    case QZA_CUF: cursorForward(argument); break;
    case QZA_CUB: cursorBack(argument); break;
    case QZA_CHA: moveTo(line_, std::max(argument, 1) - 1); break;
    case QZA_VPA: moveTo(std::max(argument, 1) - 1, column_); break;
    case QZA_ED:
      if (argument == 0) eraseToEndOfScreen();
      else if (argument == 2) clearScreen();
      break;
    case QZA_EL: eraseLine(argument); break;
    case QZA_ICH: insertChars(argument); break;
    case QZA_DCH: deleteChars(argument); break;
    case QZA_ECH: eraseChars(argument); break;
    case QZA_CURSORKEYS: cursorKeys = argument != 0; break;
    case QZA_AUTOWRAP: wrap = argument != 0; break;
    case QZA_CURSOR_VISIBLE: cursorVisible = argument != 0; break;
    case QZA_INSERT_MODE: insert = argument != 0; break;
    case QZA_SAVE_CURSOR: saveCursor(); break;
    case QZA_RESTORE_CURSOR: restoreCursor(); break;
    default: break;
  }
}
