// UTF-8 in strings: the encoder at the edges of each length, and stepping
// over characters of every length by byte offsets.
#include <gtest/gtest.h>

#include <string>

#include "qzk/utf8.h"

TEST(Utf8, EncodesEachLengthUpToItsLastCode) {
  EXPECT_EQ(qzutf8_of(0x41), "A");
  EXPECT_EQ(qzutf8_of(0x7F), "\x7F");
  EXPECT_EQ(qzutf8_of(0x80), "\xC2\x80");
  EXPECT_EQ(qzutf8_of(0xE4), "\xC3\xA4");  // ä
  EXPECT_EQ(qzutf8_of(0x7FF), "\xDF\xBF");
  EXPECT_EQ(qzutf8_of(0x800), "\xE0\xA0\x80");
  EXPECT_EQ(qzutf8_of(0x2500), "\xE2\x94\x80");  // a line-drawing character
  EXPECT_EQ(qzutf8_of(0xFFFF), "\xEF\xBF\xBF");
  EXPECT_EQ(qzutf8_of(0x10000), "\xF0\x90\x80\x80");
  EXPECT_EQ(qzutf8_of(0x10FFFF), "\xF4\x8F\xBF\xBF");
  std::string out = "x";
  qzutf8_append(out, 0xE4);
  qzutf8_append(out, 0);
  EXPECT_EQ(out, std::string("x\xC3\xA4\0", 4));
}

TEST(Utf8, StepsOverCharactersOfEveryLength) {
  // a, ä (2 bytes), ─ (3), an astral character (4), b
  std::string s = "a" + qzutf8_of(0xE4) + qzutf8_of(0x2500) + qzutf8_of(0x1F600) + "b";
  ASSERT_EQ(s.size(), 11u);
  EXPECT_EQ(qzutf8_count(s), 5u);
  EXPECT_EQ(qzutf8_count(""), 0u);

  const size_t starts[] = {0, 1, 3, 6, 10, 11};
  for (size_t i = 0; i + 1 < std::size(starts); ++i) {
    EXPECT_EQ(qzutf8_next(s, starts[i]), starts[i + 1]);
    EXPECT_EQ(qzutf8_prev(s, starts[i + 1]), starts[i]);
  }
  // Clamped at both ends.
  EXPECT_EQ(qzutf8_prev(s, 0), 0u);
  EXPECT_EQ(qzutf8_next(s, 11), 11u);
  EXPECT_EQ(qzutf8_next(s, 99), 11u);
  EXPECT_EQ(qzutf8_prev(s, 99), 10u);
  // From inside a character: the next one, its own start.
  EXPECT_EQ(qzutf8_next(s, 7), 10u);
  EXPECT_EQ(qzutf8_prev(s, 8), 6u);
  EXPECT_EQ(qzutf8_start(s, 8), 6u);
  EXPECT_EQ(qzutf8_start(s, 2), 1u);
  EXPECT_EQ(qzutf8_start(s, 6), 6u);
  EXPECT_EQ(qzutf8_start(s, 11), 11u);
  EXPECT_EQ(qzutf8_start(s, 50), 11u);
}
