// The code pages of dBase texts, decoded to UTF-8.
#include <gtest/gtest.h>

#include "qzk/xbase_codepage.h"

namespace {

TEST(XBaseCodePage, GermanLettersInEveryPage) {
  // "Äöüß" in each code page's bytes.
  EXPECT_EQ(qzxbase_to_utf8("\xC4\xF6\xFC\xDF", qzCodePage::cp1252), "Äöüß");
  EXPECT_EQ(qzxbase_to_utf8("\xC4\xF6\xFC\xDF", qzCodePage::latin1), "Äöüß");
  EXPECT_EQ(qzxbase_to_utf8("\x8E\x94\x81\xE1", qzCodePage::cp850), "Äöüß");
  EXPECT_EQ(qzxbase_to_utf8("\x8E\x94\x81\xE1", qzCodePage::cp437), "Äöüß");
  EXPECT_EQ(qzxbase_to_utf8("Äöüß", qzCodePage::utf8), "Äöüß");
}

TEST(XBaseCodePage, WhereThePagesDiffer) {
  EXPECT_EQ(qzxbase_to_utf8("\x80", qzCodePage::cp1252), "€");
  EXPECT_EQ(qzxbase_to_utf8("\x80", qzCodePage::latin1), "\xC2\x80");
  EXPECT_EQ(qzxbase_to_utf8("\x81", qzCodePage::cp1252), "\xEF\xBF\xBD");
  EXPECT_EQ(qzxbase_to_utf8("\xD5", qzCodePage::cp850), "ı");
  EXPECT_EQ(qzxbase_to_utf8("\xD5", qzCodePage::cp437), "╒");
  EXPECT_EQ(qzxbase_to_utf8("\xFF", qzCodePage::cp850), "\xC2\xA0");
}

TEST(XBaseCodePage, BrokenUtf8BecomesReplacementCharacters) {
  const std::string bad = "\xEF\xBF\xBD";
  EXPECT_EQ(qzxbase_to_utf8("a\xC3", qzCodePage::utf8), "a" + bad);          // cut short
  EXPECT_EQ(qzxbase_to_utf8("\xC0\xAF", qzCodePage::utf8), bad + bad);       // overlong
  EXPECT_EQ(qzxbase_to_utf8("\xED\xA0\x80", qzCodePage::utf8), bad + bad + bad);  // surrogate
  EXPECT_EQ(qzxbase_to_utf8("\xF0\x9F\x98\x80", qzCodePage::utf8), "\xF0\x9F\x98\x80");
}

TEST(XBaseCodePage, NamesAndLanguageBytes) {
  qzCodePage page = qzCodePage::utf8;
  EXPECT_TRUE(qzxbase_codepage_from_name("Latin-1", page));
  EXPECT_EQ(page, qzCodePage::latin1);
  EXPECT_TRUE(qzxbase_codepage_from_name("CP850", page));
  EXPECT_EQ(page, qzCodePage::cp850);
  EXPECT_TRUE(qzxbase_codepage_from_name("utf-8", page));
  EXPECT_EQ(page, qzCodePage::utf8);
  EXPECT_FALSE(qzxbase_codepage_from_name("cp85", page));
  EXPECT_FALSE(qzxbase_codepage_from_name("", page));
  EXPECT_EQ(qzxbase_codepage_of_language(0x01), qzCodePage::cp437);
  EXPECT_EQ(qzxbase_codepage_of_language(0x02), qzCodePage::cp850);
  EXPECT_EQ(qzxbase_codepage_of_language(0x03), qzCodePage::cp1252);
  EXPECT_EQ(qzxbase_codepage_of_language(0x57), qzCodePage::cp1252);
  EXPECT_EQ(qzxbase_codepage_of_language(0x00), qzCodePage::cp1252);
  // The national DOS drivers: German, and German secondary; their umlauts
  // are not Windows ANSI's.
  EXPECT_EQ(qzxbase_codepage_of_language(0x0F), qzCodePage::cp437);
  EXPECT_EQ(qzxbase_codepage_of_language(0x10), qzCodePage::cp850);
  EXPECT_EQ(qzxbase_codepage_of_language(0x37), qzCodePage::cp850);
  EXPECT_EQ(qzxbase_to_utf8("M\x81ller", qzxbase_codepage_of_language(0x0F)), "M\xC3\xBCller");
}

}  // namespace
