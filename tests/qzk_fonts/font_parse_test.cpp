#include "qzk/font_parse.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "font_test_util.h"

TEST(FontParse, Monospace12x24OffsetsAreRunningSums) {
  qzFontRecord f;
  std::string error;
  ASSERT_TRUE(qzfont_parse(makeFont("m", 12, 24, 223), f, error)) << error;
  ASSERT_EQ(f.glyphCount(), 223);
  EXPECT_EQ(f.offsets[0], 0);
  EXPECT_EQ(f.offsets[1], 288);
  EXPECT_EQ(f.offsets[2], 576);
  EXPECT_EQ(f.offsets[222], 222 * 288);
  EXPECT_EQ(f.data.size(), 223u * 288u);
  EXPECT_TRUE(f.monospace);
  EXPECT_EQ(f.xsize, 12);
  EXPECT_EQ(f.ysize, 24);
  EXPECT_EQ(f.ascent, 22);
  EXPECT_EQ(f.foundry, "test");
  for (int g : {0, 1, 100, 222})
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 12; ++x)
        ASSERT_EQ(f.data[static_cast<size_t>(f.offsets[static_cast<size_t>(g)] + y * 12 + x)],
                  madePixel(g, x, y) ? 1 : 0)
            << "glyph " << g << " at " << x << "," << y;
}

TEST(FontParse, ProportionalWidthsAndOffsets) {
  qzFontRecord f;
  std::string error;
  ASSERT_TRUE(qzfont_parse(makeFont("p", 9, 5, 4, {3, 0, 9, 1}), f, error)) << error;
  EXPECT_FALSE(f.monospace);
  EXPECT_EQ(f.widths, (std::vector<int>{3, 0, 9, 1}));
  EXPECT_EQ(f.offsets, (std::vector<int>{0, 15, 15, 60}));
  EXPECT_EQ(f.data.size(), 65u);
}

TEST(FontParse, HeaderIsExactAndUnknownLinesAreSkipped) {
  auto lines = makeFont("x", 2, 1, 1);
  lines.insert(lines.begin() + 2, "something=else");
  lines.insert(lines.begin() + 2, "XSIZE=40");  // case matters: not the cell width
  lines.insert(lines.begin() + 2, "propdataoffset=7 7 7");  // recomputed, never trusted
  qzFontRecord f;
  std::string error;
  ASSERT_TRUE(qzfont_parse(lines, f, error)) << error;
  EXPECT_EQ(f.xsize, 2);
  EXPECT_EQ(f.offsets, (std::vector<int>{0}));
}

TEST(FontParse, ShortGlyphLinesAreClearPastTheirEnd) {
  auto lines = makeFont("s", 4, 2, 1);
  lines[lines.size() - 2] = "**";
  lines[lines.size() - 1] = "";
  qzFontRecord f;
  std::string error;
  ASSERT_TRUE(qzfont_parse(lines, f, error)) << error;
  EXPECT_EQ(f.data, (std::vector<uint8_t>{1, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(FontParse, RefusesMalformedHeaders) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
  };
  auto with = [](std::vector<std::string> lines, const std::string& prefix, const std::string& line) {
    for (auto& l : lines)
      if (l.rfind(prefix, 0) == 0) l = line;
    return lines;
  };
  auto base = makeFont("b", 4, 3, 2);
  auto noData = base;
  noData.erase(std::find(noData.begin(), noData.end(), "data:"));
  auto noHeader = base;
  noHeader.erase(noHeader.begin());
  const Case cases[] = {
      {"empty", {}},
      {"no data line", noData},
      {"no header line", noHeader},
      {"zero width", with(base, "xsize=", "xsize=0")},
      {"huge height", with(base, "ysize=", "ysize=100000")},
      {"negative count", with(base, "chars=", "chars=-1")},
      {"too many glyphs", with(base, "chars=", "chars=225")},
      {"garbage number", with(base, "ysize=", "ysize=3x")},
      {"two colours", with(base, "colors=", "colors=8")},
      {"proportional without widths", with(base, "monospace", "proportional")},
      {"widths do not match count", with(makeFont("p", 4, 3, 2, {1, 2}), "propxs=", "propxs=1 2 3")},
      {"negative width", with(makeFont("p", 4, 3, 2, {1, 2}), "propxs=", "propxs=1 -2")},
      {"garbage widths", with(makeFont("p", 4, 3, 2, {1, 2}), "propxs=", "propxs=1 two")},
      {"overflowing metric", with(base, "ascent=", "ascent=99999999999999")},
  };
  for (const Case& c : cases) {
    qzFontRecord f;
    std::string error;
    EXPECT_FALSE(qzfont_parse(c.lines, f, error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_TRUE(f.data.empty() && f.widths.empty()) << c.what;
  }
}

TEST(FontParse, TruncatedGlyphSectionIsRefusedWhole) {
  const auto whole = makeFont("t", 5, 7, 10);
  const size_t data = static_cast<size_t>(std::find(whole.begin(), whole.end(), "data:") - whole.begin());
  for (size_t keep = data; keep + 1 < whole.size(); ++keep) {
    std::vector<std::string> cut(whole.begin(), whole.begin() + static_cast<long>(keep) + 1);
    qzFontRecord f;
    std::string error;
    EXPECT_FALSE(qzfont_parse(cut, f, error)) << keep;
    EXPECT_NE(error.find("glyph data ends"), std::string::npos) << error;
  }
  qzFontRecord f;
  std::string error;
  EXPECT_TRUE(qzfont_parse(whole, f, error)) << error;
}

TEST(FontParse, LongNamesAreCutTo63Characters) {
  qzFontRecord f;
  std::string error;
  ASSERT_TRUE(qzfont_parse(makeFont(std::string(100, 'n'), 1, 1, 1), f, error));
  EXPECT_EQ(f.name, std::string(63, 'n'));
}
