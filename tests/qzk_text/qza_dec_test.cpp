// The ANSI decoder's table and the text memory it drives.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

#include "qzk/qza_dec.h"
#include "qzk/txtmem.h"

using Commands = std::vector<std::pair<int, int>>;

static Commands decode(const std::string& bytes) {
  qzAnsiDecoder d;
  Commands out;
  for (char c : bytes) {
    d.feed(static_cast<unsigned char>(c));
    int command, argument;
    while (d.next(command, argument)) out.push_back({command, argument});
  }
  return out;
}

static std::string read_log() {
  std::ifstream in("qzk.log");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(AnsiDecoder, GraphicRendition) {
  EXPECT_EQ(decode("\x1b[31;44m"), (Commands{{QZA_TEXTCOLOR, 1}, {QZA_BGCOLOR, 4}}));
  EXPECT_EQ(decode("\x1b[m"), (Commands{{QZA_RESET_ATTR, 0}}));
  EXPECT_EQ(decode("\x1b[0;1;39;49;7;27;38;48m"),
            (Commands{{QZA_RESET_ATTR, 0}, {QZA_BOLD, 1}, {QZA_TEXTCOLOR_DEFAULT, 0}, {QZA_BGCOLOR_DEFAULT, 0},
                      {QZA_REVERSE, 1}, {QZA_REVERSE, 0}}));  // at most 6 parameters
  EXPECT_EQ(decode("\x1b[;32m"), (Commands{{QZA_RESET_ATTR, 0}, {QZA_TEXTCOLOR, 2}}));
}

TEST(AnsiDecoder, CursorEraseAndModes) {
  EXPECT_EQ(decode("\x1b[5;10H"), (Commands{{QZA_CHA, 10}, {QZA_VPA, 5}}));
  EXPECT_EQ(decode("\x1b[3A\x1b[B\x1b[2C\x1b[4D\x1b[7G\x1b[9d"),
            (Commands{{QZA_CUU, 3}, {QZA_CUD, 0}, {QZA_CUF, 2}, {QZA_CUB, 4}, {QZA_CHA, 7}, {QZA_VPA, 9}}));
  EXPECT_EQ(decode("\x1b[J\x1b[2J\x1b[1J\x1b[1K"), (Commands{{QZA_ED, 0}, {QZA_ED, 2}, {QZA_EL, 1}}));
  EXPECT_EQ(decode("\x1b[2@\x1b[P\x1b[3X"), (Commands{{QZA_ICH, 2}, {QZA_DCH, 0}, {QZA_ECH, 3}}));
  EXPECT_EQ(decode("\x1b[?25l\x1b[?7h\x1b[?1h\x1b[4h\x1b[?1049h"),
            (Commands{{QZA_CURSOR_VISIBLE, 0}, {QZA_AUTOWRAP, 1}, {QZA_CURSORKEYS, 1}, {QZA_INSERT_MODE, 1}}));
  EXPECT_EQ(decode("\x1b[?47h\x1b[?1000l\x1b[g\x1b[r"), Commands{});
  EXPECT_EQ(decode("\x1b[!p"), (Commands{{QZA_CURSORKEYS, 0}, {QZA_AUTOWRAP, 0}, {QZA_CURSOR_VISIBLE, 1},
                                         {QZA_INSERT_MODE, 1}}));
  EXPECT_EQ(decode("\x1b[s\x1b[u"), (Commands{{QZA_SAVE_CURSOR, 0}, {QZA_RESTORE_CURSOR, 0}}));
}

TEST(AnsiDecoder, ShortEscapesShiftAndLineDrawing) {
  EXPECT_EQ(decode("\x1b" "7a\x1b" "8b\x1b" "Dc"), (Commands{{QZA_PRINT, 'a'}, {QZA_PRINT, 'b'}, {QZA_PRINT, 'c'}}));
  EXPECT_EQ(decode("\x1b\x1b"), (Commands{{QZA_PRINT, 27}}));
  // Shifted with the line-drawing set, and without it.
  EXPECT_EQ(decode("\x1b(0\x0elqkx\x0fq"),
            (Commands{{QZA_PRINT, QZ_LD_DOWN_RIGHT}, {QZA_PRINT, QZ_LD_HORIZONTAL}, {QZA_PRINT, QZ_LD_DOWN_LEFT},
                      {QZA_PRINT, QZ_LD_VERTICAL}, {QZA_PRINT, 'q'}}));
  EXPECT_EQ(decode("\x1b(B\x0eLqxaz"),
            (Commands{{QZA_PRINT, '+'}, {QZA_PRINT, '-'}, {QZA_PRINT, '|'}, {QZA_PRINT, '#'}, {QZA_PRINT, 'z'}}));
  EXPECT_EQ(decode("\x1b(0\x0e" "a"), (Commands{{QZA_PRINT, 35}}));
}

TEST(AnsiDecoder, UnknownSequencesAreLoggedAndPrintingGoesOn) {
  EXPECT_EQ(decode("\x1b[5qA"), (Commands{{QZA_PRINT, 'A'}}));
  EXPECT_NE(read_log().find("AnsiDecoder not recognized: [5q\n"), std::string::npos);
  // An escape that never ends is dropped once it is too long.
  std::string endless = "\x1b[" + std::string(200, '1') + "m" + "Z";
  Commands c = decode(endless);
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(c.back(), (std::pair<int, int>{QZA_PRINT, 'Z'}));
}

TEST(AnsiDecoder, RingHoldsFortyEightPairs) {
  qzAnsiDecoder d;
  for (int i = 0; i < 60; ++i) d.feed('x');
  EXPECT_EQ(d.pending(), QZA_RING);
  int command, argument, n = 0;
  while (d.next(command, argument)) ++n;
  EXPECT_EQ(n, 48);
}

TEST(AnsiDecoder, RandomBytesNeverBreakIt) {
  std::mt19937 random(7);
  qzAnsiDecoder d;
  qzTxtMemFixed m;
  ASSERT_TRUE(m.create("txtmem,lines=%d,columns=%d,scrollback=%d,txtcolormem,bgcolormem,attrmem", 5, 7, 3));
  for (int i = 0; i < 200000; ++i) {
    unsigned char b = static_cast<unsigned char>(i % 3 ? random() % 256 : "\x1b[;?0123456789mHJK@PX"[random() % 21]);
    d.feed(b);
    int command, argument;
    while (d.next(command, argument)) m.apply(command, argument);
    ASSERT_GE(m.cursorLine(), 0);
    ASSERT_LT(m.cursorLine(), 5);
    ASSERT_LE(m.cursorColumn(), 7);
  }
}

static std::string feed_all(qzTxtMemFixed& m, const std::string& bytes) {
  qzAnsiDecoder d;
  for (char c : bytes) {
    if (c == '\n') {
      m.newline();
      continue;
    }
    d.feed(static_cast<unsigned char>(c));
    int command, argument;
    while (d.next(command, argument)) m.apply(command, argument);
  }
  return m.text();
}

TEST(TextMemory, ScrollBackKeepsTheNewestLines) {
  qzTxtMemFixed m;
  ASSERT_TRUE(m.create("txtmem,lines=%d,columns=%d,scrollback=%d", 3, 10, 200));
  for (int i = 0; i < 500; ++i) {
    std::string line = std::to_string(i);
    for (char c : line) m.put(c);
    m.newline();
  }
  // 500 lines and the empty cursor line: the grid holds 498, 499 and the
  // cursor line, the 200 before are kept.
  EXPECT_EQ(m.scrollbackUsed(), 200);
  EXPECT_EQ(m.rowText(-1), "497");
  EXPECT_EQ(m.rowText(-200), "298");
  EXPECT_EQ(m.rowText(-201), "");
  EXPECT_EQ(m.rowText(0), "498");
  EXPECT_EQ(m.rowText(1), "499");
  m.clear();
  EXPECT_EQ(m.scrollbackUsed(), 0);
  EXPECT_EQ(m.text(), "");
  EXPECT_EQ(m.cursorLine(), 0);
}

TEST(TextMemory, ColoursWrapInsertAndErase) {
  qzTxtMemFixed m;
  ASSERT_TRUE(m.create("txtmem,lines=3,columns=5,scroll,txtcolormem,bgcolormem"));
  feed_all(m, "\x1b[31;44mab\x1b[mc");
  EXPECT_EQ(m.textColour(0, 0), 1);
  EXPECT_EQ(m.backgroundColour(0, 1), 4);
  EXPECT_EQ(m.textColour(0, 2), QZ_TXT_DEFAULT_COLOUR);
  feed_all(m, "defg");  // wraps after the fifth column
  EXPECT_EQ(m.rowText(0), "abcde");
  EXPECT_EQ(m.rowText(1), "fg");
  feed_all(m, "\x1b[1;2H\x1b[4hX");  // insert mode shifts the line
  EXPECT_EQ(m.rowText(0), "aXbcd");
  feed_all(m, "\x1b[4l\x1b[K");
  EXPECT_EQ(m.rowText(0), "aX");
  feed_all(m, "\x1b[2J");
  EXPECT_EQ(m.text(), "");
  // Without auto-wrap the last column is overwritten.
  feed_all(m, "\x1b[?7l12345678");
  EXPECT_EQ(m.rowText(0), "12348");
  EXPECT_EQ(m.rowText(1), "");
}

TEST(TextMemory, CursorMovesSaveRestoreAndDelete) {
  qzTxtMemFixed m;
  ASSERT_TRUE(m.create("txtmem,lines=4,columns=8,scroll"));
  feed_all(m, "abcdefgh");
  feed_all(m, "\x1b[1;3H\x1b[2P");
  EXPECT_EQ(m.rowText(0), "abefgh");
  feed_all(m, "\x1b[s\x1b[4;8H\x1b[A\x1b[2D");
  EXPECT_EQ(m.cursorLine(), 2);
  EXPECT_EQ(m.cursorColumn(), 5);
  feed_all(m, "\x1b[u");
  EXPECT_EQ(m.cursorLine(), 0);
  EXPECT_EQ(m.cursorColumn(), 2);
  feed_all(m, "\x1b[2X");
  EXPECT_EQ(m.rowText(0), "ab  gh");
  feed_all(m, "\x1b[99;99H");
  EXPECT_EQ(m.cursorLine(), 3);
  EXPECT_EQ(m.cursorColumn(), 7);
}

TEST(TextMemory, ImpossibleSizesAreRefused) {
  qzTxtMemFixed m;
  EXPECT_FALSE(m.create("txtmem,lines=0,columns=10"));
  EXPECT_FALSE(m.create("txtmem,lines=10,columns=-3"));
  EXPECT_FALSE(m.create("txtmem,lines=4000,columns=4000,scrollback=100000000"));
  m.put('x');  // an empty memory ignores writing
  EXPECT_EQ(m.text(), "");
}
