#pragma once
// The text memory of a terminal: a fixed grid of lines and columns with an
// optional scroll-back above it, a cursor and the current colours. Plain
// data and operations, no window: the terminal widget feeds it and paints
// it, and tests look into it directly.
//
// Rows are numbered 0..lines()-1 for the visible grid and -1, -2, ... for
// the scroll-back (-1 the line that scrolled out last), down to
// -scrollbackUsed().
#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

#include "qzk/create_from_format.h"

struct qzOptTextMemory;

// Cell attributes.
enum : uint8_t { QZ_TXT_BOLD = 1, QZ_TXT_REVERSE = 2 };
// Colour index of a cell that uses the terminal's own text or background colour.
constexpr uint8_t QZ_TXT_DEFAULT_COLOUR = 255;

class qzTxtMemFixed : public qzCreateFromFormat<qzTxtMemFixed> {
 public:
  // "txtmem,lines=%d,columns=%d,scrollback=%d" or "...,scroll"; the
  // memory keys "txtcolormem", "bgcolormem", "attrmem" add those memories
  // (characters are always kept). False (logged) for a size out of range.
  bool createv(const char* format, va_list args);
  bool setup(const qzOptTextMemory& options);

  int lines() const { return lines_; }
  int columns() const { return columns_; }
  int scrollbackCapacity() const { return capacity_; }
  int scrollbackUsed() const { return used_; }
  // Passing the last line scrolls (always when there is a scroll-back);
  // without scrolling the cursor goes back to the top line.
  bool scrolls() const { return scroll_ || capacity_ > 0; }

  // Cells; outside the stored rows: a blank with default colours.
  uint16_t character(int row, int column) const;
  uint8_t textColour(int row, int column) const;
  uint8_t backgroundColour(int row, int column) const;
  uint8_t attributes(int row, int column) const;
  // The row as UTF-8 without trailing blanks.
  std::string rowText(int row) const;
  // Scroll-back and grid, one "\n" after each row, empty rows at the end
  // left out.
  std::string text() const;

  // Cursor: line 0..lines-1, column 0..columns (columns: the line is full
  // and the next character wraps).
  int cursorLine() const { return line_; }
  int cursorColumn() const { return column_; }
  void moveTo(int line, int column);  // clamped
  void cursorUp(int n);
  void cursorDown(int n);
  void cursorForward(int n);
  void cursorBack(int n);
  void saveCursor();
  void restoreCursor();

  // Writing. put() places a character code with the current colours at
  // the cursor (shifting the rest of the line in insert mode) and moves on;
  // a full line wraps first when wrap mode is on, else the last column is
  // overwritten.
  void put(int code);
  void newline();         // start of the next line
  void carriageReturn();  // start of this line
  void lineFeed();        // next line, same column
  void backspace();
  void tab();             // next multiple of 8
  void scrollUp();        // top line into the scroll-back

  // Erasing, as the escape sequences ask.
  void eraseToEndOfScreen();
  void clearScreen();     // grid only; cursor home
  void eraseLine(int mode);  // 0 to end, 1 to start, 2 whole line
  void insertChars(int n);
  void deleteChars(int n);
  void eraseChars(int n);
  // Grid and scroll-back emptied, cursor home, colours and modes kept.
  void clear();

  // Current colours (QZ_TXT_DEFAULT_COLOUR or 0..8) and attributes.
  uint8_t currentTextColour = QZ_TXT_DEFAULT_COLOUR;
  uint8_t currentBackground = QZ_TXT_DEFAULT_COLOUR;
  uint8_t currentAttributes = 0;
  bool wrap = true;
  bool insert = false;
  bool cursorVisible = true;
  bool cursorKeys = false;

  // Applies one decoder command (qza_dec.h), printing included.
  void apply(int command, int argument);

 private:
  size_t cellIndex(int row, int column) const;  // row -capacity..lines-1
  bool stored(int row, int column) const;
  void clearRow(int row);
  void blankCells(int row, int from, int to);  // [from, to)
  void setCell(int row, int column, uint16_t code);
  void moveCells(int row, int to, int from, int count);

  int lines_ = 0, columns_ = 0, capacity_ = 0, used_ = 0;
  bool scroll_ = false;
  int start_ = 0;  // ring row of the oldest scroll-back slot
  std::vector<uint16_t> chars_;
  std::vector<uint8_t> fg_, bg_, attr_;  // empty when not kept
  int line_ = 0, column_ = 0;
  int savedLine_ = 0, savedColumn_ = 0;
};
