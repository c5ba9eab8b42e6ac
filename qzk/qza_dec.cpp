// The ANSI escape decoder declared in qza_dec.h: a small state machine
// over the bytes, with its output in a ring of (command, argument) pairs.
#include <array>

#include "qzk/log.h"
#include "qzk/qza_dec.h"

namespace {

constexpr unsigned char SO = 14, SI = 15, ESC = 27;

struct LineDrawingLetter {
  char letter;
  int code;
};

// The letters of the line-drawing set and the codes the terminal draws.
constexpr std::array<LineDrawingLetter, 12> line_drawing_set = {{
    {'a', 35}, {'j', QZ_LD_UP_LEFT}, {'k', QZ_LD_DOWN_LEFT}, {'l', QZ_LD_DOWN_RIGHT},
    {'m', QZ_LD_UP_RIGHT}, {'n', QZ_LD_CROSS}, {'q', QZ_LD_HORIZONTAL},
    {'t', QZ_LD_VERT_RIGHT}, {'u', QZ_LD_VERT_LEFT}, {'v', QZ_LD_HORIZ_UP},
    {'w', QZ_LD_HORIZ_DOWN}, {'x', QZ_LD_VERTICAL},
}};

// Without the line-drawing set the same letters give plain ASCII shapes.
int ascii_shape(unsigned char c) {
  if (c == 'L' || c == 'T' || (c >= 'j' && c <= 'n') || (c >= 't' && c <= 'w')) return '+';
  if (c == 'a') return '#';
  if (c == 'q') return '-';
  if (c == 'x') return '|';
  return c;
}

bool is_final(unsigned char c) {
  return (c >= '@' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '~';
}

}  // namespace

void qzAnsiDecoder::reset() { *this = qzAnsiDecoder(); }

void qzAnsiDecoder::emit(int command, int argument) {
  if (count_ == QZA_RING) return;  // the reader fell behind: drop
  ringCommand_[write_] = command;
  ringArgument_[write_] = argument;
  write_ = (write_ + 1) % QZA_RING;
  ++count_;
}

bool qzAnsiDecoder::next(int& command, int& argument) {
  if (count_ == 0) return false;
  command = ringCommand_[read_];
  argument = ringArgument_[read_];
  read_ = (read_ + 1) % QZA_RING;
  --count_;
  return true;
}

void qzAnsiDecoder::feed(const std::string& bytes) {
  for (char c : bytes) feed(static_cast<unsigned char>(c));
}

void qzAnsiDecoder::printChar(unsigned char byte) {
  int code = byte;
  if (shift_) {
    if (lineDrawing_) {
      for (const LineDrawingLetter& l : line_drawing_set)
        if (l.letter == static_cast<char>(byte)) code = l.code;
    } else {
      code = ascii_shape(byte);
    }
  }
  emit(QZA_PRINT, code);
}

void qzAnsiDecoder::feed(unsigned char byte) {
  if (inEscape_) {
    escapeByte(byte);
    return;
  }
  if (byte == SO) shift_ = true;
  else if (byte == SI) shift_ = false;
  else if (byte == ESC) {
    inEscape_ = true;
    escape_.clear();
  } else {
    printChar(byte);
  }
}

void qzAnsiDecoder::endEscape() {
  inEscape_ = false;
  escape_.clear();
}

void qzAnsiDecoder::unrecognised() {
  qzlog("AnsiDecoder not recognized: %s\n", escape_.c_str());
}

void qzAnsiDecoder::escapeByte(unsigned char byte) {
  if (byte == ESC) {
    emit(QZA_PRINT, ESC);
    endEscape();
    return;
  }
  escape_ += static_cast<char>(byte);
  if (escape_.size() > static_cast<size_t>(QZA_MAX_ESCAPE)) {
    unrecognised();
    endEscape();
    return;
  }
  char first = escape_[0];
  if (first == '[') {
    if (escape_.size() > 1 && is_final(byte)) {
      controlSequence(byte);
      endEscape();
    }
    return;
  }
  if (first == '(' || first == ')') {
    if (escape_.size() == 2) {
      lineDrawing_ = escape_[1] == '0';
      endEscape();
    }
    return;
  }
  // "7", "8" and "9" to "~" (but "=") end a short escape; other bytes are
  // intermediates and are collected.
  if (byte >= '7' && byte <= '~' && byte != '=') endEscape();
}

void qzAnsiDecoder::controlSequence(unsigned char final) {
  // escape_ is "[" + parameters and intermediates + final.
  std::string body = escape_.substr(1, escape_.size() - 2);
  bool privateMode = !body.empty() && body[0] == '?';
  bool bang = body.find('!') != std::string::npos;
  int params[QZA_MAX_PARAMS] = {};
  int count = 0;
  bool any = false;
  for (char c : body) {
    if (c >= '0' && c <= '9') {
      any = true;
      if (count == 0) count = 1;
      if (count <= QZA_MAX_PARAMS) {
        int& p = params[count - 1];
        if (p < 100000) p = p * 10 + (c - '0');
      }
    } else if (c == ';') {
      if (count == 0) count = 1;  // ";5" has an empty first parameter
      ++count;
      any = true;
    }
  }
  if (count > QZA_MAX_PARAMS) count = QZA_MAX_PARAMS;
  if (!any) count = 0;
  int p0 = params[0];
  switch (final) {
    case 'm': selectGraphicRendition(params, count); break;
    case 'A': emit(QZA_CUU, p0); break;
    case 'B': emit(QZA_CUD, p0); break;
    case 'C': emit(QZA_CUF, p0); break;
    case 'D': emit(QZA_CUB, p0); break;
    case 'G': emit(QZA_CHA, p0); break;
    case 'H':
      emit(QZA_CHA, params[1]);
      emit(QZA_VPA, p0);
      break;
    case 'd': emit(QZA_VPA, p0); break;
    case 'J':
      if (p0 == 0 || p0 == 2) emit(QZA_ED, p0);
      break;
    case 'K':
      if (p0 <= 2) emit(QZA_EL, p0);
      break;
    case '@': emit(QZA_ICH, p0); break;
    case 'P': emit(QZA_DCH, p0); break;
    case 'X': emit(QZA_ECH, p0); break;
    case 'h':
    case 'l': setMode(final == 'h', privateMode, params, count); break;
    case 'p':
      if (!bang) {
        unrecognised();
        break;
      }
      emit(QZA_CURSORKEYS, 0);
      emit(QZA_AUTOWRAP, 0);
      emit(QZA_CURSOR_VISIBLE, 1);
      emit(QZA_INSERT_MODE, 1);
      break;
    case 's': emit(QZA_SAVE_CURSOR, 0); break;
    case 'u': emit(QZA_RESTORE_CURSOR, 0); break;
    case 'g':
    case 'r': break;
    default: unrecognised(); break;
  }
}

void qzAnsiDecoder::selectGraphicRendition(const int* params, int count) {
  if (count == 0) {
    emit(QZA_RESET_ATTR, 0);
    return;
  }
  for (int i = 0; i < count; ++i) {
    int p = params[i];
    if (p == 0) emit(QZA_RESET_ATTR, 0);
    else if (p == 1) emit(QZA_BOLD, 1);
    else if (p >= 30 && p <= 38) emit(QZA_TEXTCOLOR, p - 30);
    else if (p == 39) emit(QZA_TEXTCOLOR_DEFAULT, 0);
    else if (p >= 40 && p <= 48) emit(QZA_BGCOLOR, p - 40);
    else if (p == 49) emit(QZA_BGCOLOR_DEFAULT, 0);
    else if (p == 7) emit(QZA_REVERSE, 1);
    else if (p == 27) emit(QZA_REVERSE, 0);
  }
}

void qzAnsiDecoder::setMode(bool set, bool privateMode, const int* params, int count) {
  if (count == 0) count = 1;
  bool known = true;
  for (int i = 0; i < count; ++i) {
    int p = params[i];
    if (privateMode) {
      if (p == 1) emit(QZA_CURSORKEYS, set);
      else if (p == 7) emit(QZA_AUTOWRAP, set);
      else if (p == 25) emit(QZA_CURSOR_VISIBLE, set);
      else if (p != 47 && p != 1000 && p != 1047 && p != 1048) known = false;
    } else {
      if (p == 4) emit(QZA_INSERT_MODE, set);
      else known = false;
    }
  }
  if (!known) unrecognised();
}
