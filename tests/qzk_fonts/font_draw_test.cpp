#include "qzk/font.h"
#include "qzk/font_registry.h"
#include "qzk/pixmap.h"

#include <gtest/gtest.h>

#include "font_test_util.h"

namespace {

// Counts the pixels of the colour and checks each against the glyph.
void expectGlyphAt(const qzPixmap& p, const qzFontRecord& f, int code, int x0, int y0, uint32_t colour,
                   uint32_t background) {
  const int i = code - 32;
  const int w = f.widths[static_cast<size_t>(i)];
  for (int y = 0; y < f.ysize; ++y)
    for (int x = 0; x < w; ++x) {
      const int px = x0 + x, py = y0 + y;
      if (px < 0 || py < 0 || px >= p.width || py >= p.height) continue;
      const bool set = f.data[static_cast<size_t>(f.offsets[static_cast<size_t>(i)] + y * w + x)] != 0;
      ASSERT_EQ(qzpxmap_getpixel(p, px, py), set ? colour : background)
          << "code " << code << " pixel " << x << "," << y;
    }
}

int countColour(const qzPixmap& p, uint32_t colour) {
  int n = 0;
  for (uint32_t v : p.rgb) n += v == colour;
  return n;
}

}  // namespace

TEST(FontDraw, SetsTheGlyphPixelsAndAdvances) {
  const int id = qzfont_builtin("builtin 6x13");
  const qzFontRecord* f = qzfont_find(id);
  ASSERT_NE(f, nullptr);
  qzPixmap p;
  ASSERT_TRUE(qzpxmap_alloc(p, 40, 20, QZ_PX_TRUECOLOR));
  qzpxmap_clear(p, 0xFFFFFF);
  EXPECT_EQ(qzfont_drawtext(p, 3, 2, id, 0x102030, "A\xc3\xa4"), 15);
  expectGlyphAt(p, *f, 'A', 3, 2, 0x102030, 0xFFFFFF);
  expectGlyphAt(p, *f, 0xE4, 9, 2, 0x102030, 0xFFFFFF);
  // Nothing outside the two cells.
  int inside = 0;
  for (int y = 2; y < 15; ++y)
    for (int x = 3; x < 15; ++x) inside += qzpxmap_getpixel(p, x, y) == 0x102030;
  EXPECT_GT(inside, 10);
  EXPECT_EQ(countColour(p, 0x102030), inside);
}

TEST(FontDraw, ClipsAtEveryEdge) {
  const int id = qzfont_load(makeFont("clipfont", 4, 5, 224), nullptr);
  const qzFontRecord* f = qzfont_find(id);
  ASSERT_NE(f, nullptr);
  qzPixmap p;
  ASSERT_TRUE(qzpxmap_alloc(p, 6, 6, QZ_PX_TRUECOLOR));
  for (auto [x, y] : {std::pair{-2, -3}, {4, 3}, {-3, 4}, {5, -4}, {-100, 0}, {100, 100}}) {
    qzpxmap_clear(p, 0);
    EXPECT_EQ(qzfont_drawtext(p, x, y, id, 0xFF00FF, "B"), x + 4);
    expectGlyphAt(p, *f, 'B', x, y, 0xFF00FF, 0);
  }
  EXPECT_EQ(qzfont_drawtext(p, 2147483640, 0, id, 1, "BBBB"), 2147483647);
}

TEST(FontDraw, PalettePixmapsGetTheIndex) {
  const int id = qzfont_builtin("builtin 5x7");
  qzPixmap p;
  ASSERT_TRUE(qzpxmap_alloc(p, 10, 10, QZ_PX_PALETTE8));
  qzfont_drawtext(p, 0, 0, id, 0x1203, "W");
  int set = 0;
  for (uint16_t v : p.index) {
    EXPECT_TRUE(v == 0 || v == 3);
    set += v == 3;
  }
  EXPECT_GT(set, 5);
}

TEST(FontDraw, UnknownFontOrEmptyPixmapDrawNothing) {
  qzPixmap p;
  EXPECT_EQ(qzfont_drawtext(p, 5, 5, qzfont_default(), 0xFF, "abc"), 23);
  ASSERT_TRUE(qzpxmap_alloc(p, 8, 8, QZ_PX_TRUECOLOR));
  EXPECT_EQ(qzfont_drawtext(p, 1, 1, 42, 0xFF, "abc"), 1);
  EXPECT_EQ(countColour(p, 0xFF), 0);
}
