#include "qzk/pixmap.h"

#include <gtest/gtest.h>

#include "picture_test_util.h"

namespace {

qzPixmap palettePixmap(std::vector<uint32_t> palette, int w, int h, int code = 0) {
  qzPixmap p;
  p.palette = std::move(palette);
  p.paletteCode = code;
  qzpxmap_alloc(p, w, h, QZ_PX_PALETTE8);
  for (size_t i = 0; i < p.index.size(); ++i) p.index[i] = static_cast<uint16_t>(i % p.palette.size());
  return p;
}

}  // namespace

TEST(PixmapConvert, PaletteTruecolorServerRoundTrips) {
  qzPixmap p = palettePixmap({0x102030, 0x405060, 0x708090}, 4, 2);
  qzPixmap t = p;
  ASSERT_TRUE(qzpxmap_convert2truecolor(t));
  EXPECT_EQ(t.format, QZ_PX_TRUECOLOR);
  EXPECT_EQ(t.rgb[4], 0x405060u);  // pixel 4: index 1
  ASSERT_TRUE(qzpxmap_convert2palette8(t));
  ASSERT_EQ(t.palette.size(), 3u);
  ASSERT_TRUE(qzpxmap_convert(t, QZ_PX_SERVER));
  EXPECT_EQ(t.format, QZ_PX_SERVER);
  ASSERT_TRUE(qzpxmap_convert(t, QZ_PX_PALETTE16));
  EXPECT_EQ(t.format, QZ_PX_PALETTE16);
  ASSERT_TRUE(qzpxmap_convert(t, QZ_PX_TRUECOLOR));
  qzPixmap expect = p;
  qzpxmap_convert2truecolor(expect);
  EXPECT_EQ(t.rgb, expect.rgb);
}

TEST(PixmapConvert, ManyColoursAreReducedToAveragedPalettes) {
  qzPixmap t;
  ASSERT_TRUE(qzpxmap_alloc(t, 64, 64, QZ_PX_TRUECOLOR));
  for (size_t i = 0; i < t.rgb.size(); ++i) t.rgb[i] = static_cast<uint32_t>(i * 4099);
  const qzPixmap before = t;
  ASSERT_TRUE(qzpxmap_convert2palette8(t));
  EXPECT_LE(t.palette.size(), 256u);
  EXPECT_GT(t.palette.size(), 32u);
  qzpxmap_convert2truecolor(t);
  // Each channel stays within the bucket the dropped bits leave.
  int worst = 0;
  for (size_t i = 0; i < t.rgb.size(); ++i)
    for (int shift : {0, 8, 16})
      worst = std::max(worst, std::abs(static_cast<int>((t.rgb[i] >> shift) & 255) -
                                       static_cast<int>((before.rgb[i] >> shift) & 255)));
  EXPECT_LT(worst, 128);
  std::vector<uint32_t> pal;
  std::vector<uint16_t> idx;
  EXPECT_FALSE(qzpxmap_reducecolours(before.rgb, 0, pal, idx));
}

TEST(PixmapConvert, WrongFormatsAreLoggedAndLeaveThePixmap) {
  LogWatch log;
  qzPixmap none;
  EXPECT_FALSE(qzpxmap_convert2truecolor(none));
  EXPECT_FALSE(qzpxmap_convert2palette8(none));
  EXPECT_FALSE(qzpxmap_convert2server(none));
  qzPixmap t;
  ASSERT_TRUE(qzpxmap_alloc(t, 2, 2, QZ_PX_TRUECOLOR));
  EXPECT_FALSE(qzpxmap_convert(t, QZ_PX_SCREEN));
  EXPECT_FALSE(qzpxmap_convert(t, 42));
  EXPECT_EQ(t.format, QZ_PX_TRUECOLOR);
  qzPixmap copy;
  EXPECT_FALSE(qzpxmap_duplicate(none, copy));
  EXPECT_FALSE(qzpxmap_resize(none, 3, 3));
  for (const char* line :
       {"qzpxmap_convert2truecolor: wrong format\n", "qzpxmap_convert2palette8: wrong format 0\n",
        "qzpxmap_convert2server: unsupported format 0\n", "qzpxmap_convert: format 5 not supported\n",
        "qzpxmap_convert: format 42 not supported\n", "qzpxmap_duplicate: wrong format\n",
        "qzpxmap_resize: wrong format 0\n"})
    EXPECT_TRUE(log.has(line)) << line;
}

TEST(PixmapCopy, DuplicateRectanglesAndResize) {
  qzPixmap t;
  ASSERT_TRUE(qzpxmap_alloc(t, 5, 4, QZ_PX_TRUECOLOR));
  for (size_t i = 0; i < t.rgb.size(); ++i) t.rgb[i] = static_cast<uint32_t>(i);
  qzPixmap part;
  ASSERT_TRUE(qzpxmap_duplicate(t, part, 3, 2, 10, 10));
  EXPECT_EQ(part.width, 2);
  EXPECT_EQ(part.height, 2);
  EXPECT_EQ(part.rgb, (std::vector<uint32_t>{13, 14, 18, 19}));
  ASSERT_TRUE(qzpxmap_duplicate(t, part, 7, 7, 3, 3));  // wholly outside: empty
  EXPECT_EQ(part.width, 0);
  ASSERT_TRUE(qzpxmap_resize(t, 3, 6));
  EXPECT_EQ(qzpxmap_getpixel(t, 2, 3), 17u);
  EXPECT_EQ(qzpxmap_getpixel(t, 2, 5), 0u);
  EXPECT_FALSE(qzpxmap_resize(t, 1 << 20, 1 << 20));
  EXPECT_EQ(t.width, 3);
}

TEST(PixmapMerge, SupportedPairsTransparencyAndClipping) {
  qzPixmap dst;
  ASSERT_TRUE(qzpxmap_alloc(dst, 4, 4, QZ_PX_TRUECOLOR));
  qzPixmap src = palettePixmap({0xAAAAAA, 0xBBBBBB}, 2, 2);
  src.transparent = 0;
  qzpxmap_clear(dst, 0x777777);
  ASSERT_TRUE(qzpxmap_merge(src, dst, 2, -1));  // only the bottom row lands
  EXPECT_EQ(qzpxmap_getpixel(dst, 3, 0), 0xBBBBBBu);  // src (1, 1), index 1
  EXPECT_EQ(qzpxmap_getpixel(dst, 2, 0), 0x777777u);  // src (0, 1), transparent
  EXPECT_EQ(qzpxmap_getpixel(dst, 2, 1), 0x777777u);
  qzPixmap server = dst;
  server.format = QZ_PX_SERVER;
  qzPixmap tc;
  ASSERT_TRUE(qzpxmap_alloc(tc, 1, 1, QZ_PX_TRUECOLOR));
  qzpxmap_setpixel(tc, 0, 0, 0x123456);
  ASSERT_TRUE(qzpxmap_merge(tc, server, 0, 0));
  EXPECT_EQ(qzpxmap_getpixel(server, 0, 0), 0x123456u);

  qzPixmap a = palettePixmap({1, 2}, 2, 2, 5), b = palettePixmap({1, 2}, 3, 3, 5);
  ASSERT_TRUE(qzpxmap_merge(a, b, 1, 1));
  EXPECT_EQ(qzpxmap_getpixel(b, 2, 1), 1u);

  LogWatch log;
  qzPixmap other = palettePixmap({1, 2}, 2, 2, 6);
  EXPECT_FALSE(qzpxmap_merge(other, b, 0, 0));
  EXPECT_FALSE(qzpxmap_merge(tc, b, 0, 0));
  qzPixmap screen;
  ASSERT_TRUE(qzpxmap_alloc(screen, 2, 2, QZ_PX_SCREEN));
  EXPECT_FALSE(qzpxmap_merge(tc, screen, 0, 0));
  qzPixmap none, p16;
  EXPECT_FALSE(qzpxmap_merge(none, server, 0, 0));
  p16.palette = {1};
  ASSERT_TRUE(qzpxmap_alloc(p16, 2, 2, QZ_PX_PALETTE16));
  EXPECT_FALSE(qzpxmap_merge(a, p16, 0, 0));
  for (const char* line : {"qzpxmap_merge_pal8topal8: wrong PaletteCode (6)\n", "qzpxmap_merge_truecolortopal8: not implemented\n",
                           "qzpxmap_merge: unsupported formats: 3 -> screen\n", "qzpxmap_merge: unsupported formats: 0 -> server\n",
                           "qzpxmap_merge: unsupported formats: 1 -> 2\n"})
    EXPECT_TRUE(log.has(line)) << line;
}
