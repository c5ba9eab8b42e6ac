#pragma once
// The ANSI escape decoder of the terminal: bytes in, (command, argument)
// pairs out. The terminal feeds every byte it prints and then takes the
// commands until none is left; the decoder knows nothing of the grid.
//
//   decoder.feed(byte);
//   int command, argument;
//   while (decoder.next(command, argument)) apply(command, argument);
#include <string>

// Commands with their argument.
enum qzAnsiCommand : int {
  QZA_NONE = 0,
  QZA_PRINT,            // character code (line-drawing codes 128..138 included)
  QZA_RESET_ATTR,       // "m" without parameters, or parameter 0
  QZA_BOLD,             // "m" 1
  QZA_TEXTCOLOR,        // "m" 30..38: colour index 0..8
  QZA_TEXTCOLOR_DEFAULT,  // "m" 39
  QZA_BGCOLOR,          // "m" 40..48: colour index 0..8
  QZA_BGCOLOR_DEFAULT,  // "m" 49
  QZA_REVERSE,          // "m" 7 (argument 1) and 27 (argument 0: reverse off)
  QZA_CUU,              // cursor up by the argument
  QZA_CUD,              // cursor down
  QZA_CUF,              // cursor forward
  QZA_CUB,              // cursor back
  QZA_CHA,              // cursor to column (1-based as sent; 0 taken as 1 by the grid)
  QZA_VPA,              // cursor to line ("d", and the first parameter of "H")
  QZA_ED,               // "J": 0 erase to end of screen, 2 clear screen
  QZA_EL,               // "K": 0 to end of line, 1 to start of line, 2 whole line
  QZA_ICH,              // "@" insert characters
  QZA_DCH,              // "P" delete characters
  QZA_ECH,              // "X" erase characters
  QZA_CURSORKEYS,       // "?1h" / "?1l": argument 1 / 0
  QZA_AUTOWRAP,         // "?7h" / "?7l"
  QZA_CURSOR_VISIBLE,   // "?25h" / "?25l"
  QZA_INSERT_MODE,      // "4h" / "4l"
  QZA_SAVE_CURSOR,      // "s"
  QZA_RESTORE_CURSOR,   // "u"
};

// Line-drawing characters as the decoder emits them while shifted with the
// line-drawing set selected ("a" gives '#').
enum qzLineDrawing : int {
  QZ_LD_HORIZONTAL = 128,  // q
  QZ_LD_VERTICAL = 129,    // x
  QZ_LD_DOWN_RIGHT = 130,  // l: top-left corner
  QZ_LD_DOWN_LEFT = 131,   // k: top-right corner
  QZ_LD_UP_RIGHT = 132,    // m: bottom-left corner
  QZ_LD_UP_LEFT = 133,     // j: bottom-right corner
  QZ_LD_VERT_RIGHT = 134,  // t
  QZ_LD_VERT_LEFT = 135,   // u
  QZ_LD_CROSS = 136,       // n
  QZ_LD_HORIZ_UP = 137,    // v
  QZ_LD_HORIZ_DOWN = 138,  // w
};

constexpr int QZA_RING = 48;      // pairs the output ring holds
constexpr int QZA_MAX_PARAMS = 6;
constexpr int QZA_MAX_ESCAPE = 64;  // a longer escape is logged and dropped

class qzAnsiDecoder {
 public:
  void feed(unsigned char byte);
  void feed(const std::string& bytes);
  // Takes the oldest command; false when none is left.
  bool next(int& command, int& argument);
  int pending() const { return count_; }
  void reset();  // back to the state of a new decoder

  bool shifted() const { return shift_; }
  bool lineDrawing() const { return lineDrawing_; }
  bool inEscape() const { return inEscape_; }

 private:
  void emit(int command, int argument);
  void printChar(unsigned char byte);
  void escapeByte(unsigned char byte);
  void controlSequence(unsigned char final);
  void selectGraphicRendition(const int* params, int count);
  void setMode(bool set, bool privateMode, const int* params, int count);
  void unrecognised();
  void endEscape();

  std::string escape_;  // bytes after the ESC
  bool inEscape_ = false;
  bool shift_ = false;
  bool lineDrawing_ = false;
  int ringCommand_[QZA_RING] = {};
  int ringArgument_[QZA_RING] = {};
  int read_ = 0, write_ = 0, count_ = 0;
};
