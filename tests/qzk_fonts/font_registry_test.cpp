#include "qzk/font.h"
#include "qzk/font_registry.h"
#include "qzk/font_user.h"

#include <gtest/gtest.h>

#include "font_test_util.h"

TEST(FontRegistry, SameNameTwiceGivesTheSameIdentifier) {
  FontLog log;
  const int count = qzfont_count();
  const int id = qzfont_load(makeFont("twice", 3, 4, 5), "twice");
  ASSERT_NE(id, 0);
  EXPECT_GE(id, 1000000);
  EXPECT_EQ(qzfont_load(makeFont("twice", 3, 4, 5), "twice"), id);
  EXPECT_EQ(qzfont_count(), count + 1);
  EXPECT_TRUE(log.has("load font \"twice\"\n"));
  EXPECT_TRUE(log.has("Font ID=" + std::to_string(id) + " idx=" + std::to_string(count) + " added\n"));
  EXPECT_EQ(qzfont_findname("twice"), id);
  EXPECT_EQ(qzfont_height(id), 4);
}

TEST(FontRegistry, UserFontIsRegisteredUnderItsHeaderName) {
  FontLog log;
  const int id = qzfont_loaduser(makeFont("user sans 14", 8, 14, 3));
  ASSERT_NE(id, 0);
  EXPECT_TRUE(log.has("load user font: user sans 14\n"));
  EXPECT_EQ(qzfont_findname("user sans 14"), id);
  EXPECT_EQ(qzfont_loaduser(makeFont("user sans 14", 8, 14, 3)), id);
}

TEST(FontRegistry, BrokenFontsLogAndGiveZero) {
  FontLog log;
  const int count = qzfont_count();
  auto cut = makeFont("cut", 6, 13, 223);
  cut.resize(cut.size() - 1);
  EXPECT_EQ(qzfont_load(cut, "cut"), 0);
  EXPECT_TRUE(log.has("font \"cut\" not loaded: glyph data ends in glyph 222 of 223\n"));
  EXPECT_EQ(qzfont_load({"random", "garbage", "\xff\xfe"}, "garbage"), 0);
  EXPECT_EQ(qzfont_load({}, nullptr), 0);
  EXPECT_EQ(qzfont_loaduser({"header:", "data:"}), 0);
  EXPECT_EQ(qzfont_count(), count);
  EXPECT_EQ(qzfont_findname("cut"), 0);
  // A refused font can be loaded once it is whole.
  EXPECT_NE(qzfont_load(makeFont("cut", 6, 13, 223), "cut"), 0);
}

TEST(FontRegistry, UnknownIdentifierGivesZero) {
  EXPECT_EQ(qzfont_height(0), 0);
  EXPECT_EQ(qzfont_height(-5), 0);
  EXPECT_EQ(qzfont_glyphwidth(123, 'A'), 0);
  EXPECT_EQ(qzfont_textwidth(123, "Hallo"), 0);
  EXPECT_EQ(qzfont_builtin("builtin 7x7"), 0);
  EXPECT_EQ(qzfont_builtin(nullptr), 0);
}

TEST(FontRegistry, BuiltinFontsHaveTheirCellSizesAndCoverLatin1) {
  struct Expect {
    const char* name;
    int width, height;
    bool monospace;
  };
  const Expect fonts[] = {
      {"builtin 6x13", 6, 13, true},   {"builtin 6x13 bold", 6, 13, true},
      {"builtin 9x15", 9, 15, true},   {"builtin 9x15 bold", 9, 15, true},
      {"builtin 8x16", 8, 16, true},   {"builtin 8x16 bold", 8, 16, true},
      {"builtin 12x24", 12, 24, true}, {"builtin 5x7", 5, 7, true},
      {"builtin 8x8", 8, 8, true},     {"builtin variable 13", 6, 13, false},
  };
  for (const Expect& e : fonts) {
    const int id = qzfont_builtin(e.name);
    ASSERT_NE(id, 0) << e.name;
    EXPECT_EQ(qzfont_builtin(e.name), id) << e.name;
    const qzFontRecord* f = qzfont_find(id);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->ysize, e.height) << e.name;
    EXPECT_EQ(f->monospace, e.monospace) << e.name;
    EXPECT_EQ(f->glyphCount(), 224) << e.name;
    if (e.monospace) {
      EXPECT_EQ(f->xsize, e.width) << e.name;
      for (int code = 32; code <= 255; ++code) EXPECT_EQ(qzfont_glyphwidth(id, code), e.width);
    }
    // Letters, digits and the German umlauts all have ink.
    for (unsigned char code : std::string("AZaz09\xc4\xd6\xdc\xe4\xf6\xfc\xdf\xff")) {
      const int i = code - 32;
      const int w = f->widths[static_cast<size_t>(i)];
      int ink = 0;
      for (int p = 0; p < w * f->ysize; ++p) ink += f->data[static_cast<size_t>(f->offsets[static_cast<size_t>(i)] + p)];
      EXPECT_GT(ink, 0) << e.name << " code " << int(code);
    }
  }
  EXPECT_EQ(qzfont_default(), qzfont_builtin("builtin 6x13"));
  EXPECT_EQ(qzfont_default_proportional(), qzfont_builtin("builtin variable 13"));
  const int variable = qzfont_default_proportional();
  EXPECT_LT(qzfont_textwidth(variable, "il"), qzfont_textwidth(variable, "mw"));
}

TEST(FontRegistry, TextWidthDecodesUtf8) {
  const int f = qzfont_builtin("builtin 6x13");
  ASSERT_NE(f, 0);
  EXPECT_EQ(qzfont_textwidth(f, " "), 6);
  EXPECT_EQ(qzfont_textwidth(f, ""), 0);
  EXPECT_EQ(qzfont_textwidth(f, "M\xc3\xa4rz"), 24);               // "März": 4 glyphs
  EXPECT_EQ(qzfont_textwidth(f, "Pr\xc3\xbc" "fungen"), 54);        // "Prüfungen"
  EXPECT_EQ(qzfont_textwidth(f, "M\xe4rz"), 24);                    // Latin-1 byte
  EXPECT_EQ(qzfont_textwidth(f, "\xe2\x82\xac"), 6);                // euro sign shown as '?'
  EXPECT_EQ(qzfont_textwidth(f, "a\tb\n"), 12);                      // control codes take no room
  EXPECT_EQ(qzfont_textwidth(f, "\xc3"), 6);                         // cut sequence: Latin-1 byte
  EXPECT_EQ(qzfont_textwidth(f, "\xc0\xaf"), 12);                    // overlong: two Latin-1 bytes
  EXPECT_EQ(qzfont_textwidth(f, "\xed\xa0\x80"), 18);                // surrogate: three bytes
  EXPECT_EQ(qzfont_textwidth(f, nullptr), 0);
}

TEST(FontRegistry, CodesBeyondASmallFontShowAsQuestionMark) {
  // 40 glyphs: codes 32..71, '?' (63) among them.
  std::vector<int> widths(40, 2);
  widths['?' - 32] = 5;
  const int id = qzfont_load(makeFont("small", 5, 3, 40, widths), nullptr);
  ASSERT_NE(id, 0);
  EXPECT_EQ(qzfont_glyphwidth(id, 'z'), 0);
  EXPECT_EQ(qzfont_textwidth(id, "z"), 5);
  EXPECT_EQ(qzfont_textwidth(id, "A?"), 7);
}

TEST(FontRegistry, ShippedApplicationFontsLoadAsUserFonts) {
  FontLog log;
  const auto names = qzfont_userfont_names();
  ASSERT_EQ(names.size(), 8u);
  for (const std::string& name : names) {
    const int id = qzfont_user(name.c_str());
    ASSERT_NE(id, 0) << name;
    EXPECT_EQ(qzfont_user(name.c_str()), id);
    const int height = std::stoi(name.substr(name.find(' ') + 1));
    EXPECT_EQ(qzfont_height(id), height) << name;
    EXPECT_TRUE(log.has("load user font: " + name + "\n")) << name;
    const qzFontRecord* f = qzfont_find(id);
    EXPECT_EQ(f->glyphCount(), 224);
    EXPECT_EQ(f->monospace, name.rfind("mono", 0) == 0) << name;
    // Wider glyphs for wider letters in the proportional face; umlauts as wide as their vowels.
    if (!f->monospace) {
      EXPECT_LT(qzfont_glyphwidth(id, 'i'), qzfont_glyphwidth(id, 'W')) << name;
    }
    EXPECT_EQ(qzfont_textwidth(id, "\xc3\xa4"), qzfont_glyphwidth(id, 'a')) << name;
  }
  EXPECT_EQ(qzfont_user("sans 15"), 0);
  EXPECT_EQ(qzfont_user(nullptr), 0);
  EXPECT_TRUE(qzfont_userfont_lines("mono 17").empty());
}
