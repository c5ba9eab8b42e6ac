#pragma once
// qzTerminal: a character terminal. Text printed to it goes through the
// ANSI decoder (qza_dec.h) into a text memory (txtmem.h) of lines x
// columns, with an optional scroll-back that a vertical scroll bar shows.
//
//     qzTerminal term;
//     term.create("x=0,y=0,lines=20,columns=80,scrollback=200,cursor");
//     term.print("\x1b[31mred\x1b[0m and plain\n");
//
// Keys: "scrollback" (300 lines) or "scrollback=N", "lines=", "columns=",
// "textcolor=" and the other text colour keys, the background keys (and
// any item "bg...=colour"), "logfile=PATH" (every byte printed is also
// appended there), "wordbreak", "cursor". Holding a scroll arrow scrolls
// the view on every tick of the terminal scroll timer (10 ticks a second).
// Printing shows the newest lines again. When the grid is wider than the
// widget, a horizontal bar scrolls it sideways.
#include <array>
#include <cstdarg>
#include <cstdint>
#include <string>

#include "qzk/create_from_format.h"
#include "qzk/qza_dec.h"
#include "qzk/scrollbar_model.h"
#include "qzk/txtmem.h"
#include "qzk/widget.h"

class qzTerminal : public qzWidget, public qzCreateFromFormat<qzTerminal> {
 public:
  static constexpr int kBarWidth = 16;
  static constexpr double kScrollTicksPerSecond = 10;

  bool createv(const char* format, va_list args);
  const char* kind() const override { return "terminal"; }

  void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void vprint(const char* format, va_list args);
  void write(const std::string& bytes);  // raw bytes, escapes included
  // Empties the grid and the scroll-back and homes the cursor.
  void clear();

  const qzTxtMemFixed& memory() const { return memory_; }
  // Scroll-back and grid as text, one "\n" per row.
  std::string text() const { return memory_.text(); }
  bool wordBreak() const { return wordBreak_; }
  bool showsCursor() const { return cursor_; }
  const std::string& logFile() const { return logFile_; }
  uint32_t textColour() const { return textColour_; }
  uint32_t backgroundColour() const { return background_; }

  // The view: 0 shows the grid, n shows n lines further back.
  int viewOffset() const { return offset_; }
  void setViewOffset(int lines);
  // The first column shown (the horizontal bar appears when the grid is
  // wider than the widget).
  int firstColumn() const { return firstColumn_; }
  void setFirstColumn(int column);
  bool hasScrollBar() const { return memory_.scrollbackCapacity() > 0; }
  bool hasHorizontalBar() const;
  qzRect scrollBarRect() const;
  qzRect horizontalBarRect() const;
  qzRect upArrowRect() const;
  qzRect downArrowRect() const;
  // The colour of a colour index 0..8.
  static uint32_t paletteColour(int index);

  void paint(qzPixmap& target) override;
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  void mouseUp(int x, int y, int button) override;
  void mouseMove(int x, int y, int buttons) override;
  bool mouseWheel(int x, int y, int steps) override;
  bool keyDown(int key, int modifiers) override;
  void tick(double now) override;

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;
  void created() override;

 private:
  enum Held { NONE, UP, DOWN, PAGE_UP, PAGE_DOWN, THUMB, LEFT, RIGHT, PAGE_LEFT, PAGE_RIGHT, HTHUMB };
  void feed(unsigned char byte);
  void printCode(int code);
  void breakWord();
  qzScrollRange range() const;
  qzScrollRange horizontalRange() const;
  qzRect innerRect() const;
  qzRect gridRect() const;
  int cellWidth() const;
  int cellHeight() const;
  void stepHeld();
  void paintRow(qzPixmap& target, int row, int x, int y, int cellW, int cellH) const;

  qzTxtMemFixed memory_;
  qzAnsiDecoder decoder_;
  std::string logFile_;
  bool wordBreak_ = false;
  bool cursor_ = false;
  uint32_t textColour_ = 0x000000;
  uint32_t background_ = 0xFFFFFF;
  int offset_ = 0;
  int firstColumn_ = 0;
  Held held_ = NONE;
  int grabOffset_ = 0;
  int utf8Code_ = 0;     // a UTF-8 character being assembled
  int utf8Missing_ = 0;  // continuation bytes still expected
};
