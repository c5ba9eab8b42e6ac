#include "qzk/pixmap.h"

#include <gtest/gtest.h>

#include "picture_test_util.h"

TEST(PixmapBasic, AllocRefusesNegativeAndHugeSizes) {
  LogWatch log;
  qzPixmap p;
  EXPECT_FALSE(qzpxmap_alloc(p, -1, 5, QZ_PX_TRUECOLOR));
  EXPECT_FALSE(qzpxmap_alloc(p, 1 << 15, (1 << 13) + 1, QZ_PX_TRUECOLOR));
  EXPECT_FALSE(qzpxmap_alloc(p, 0x7fffffff, 0x7fffffff, QZ_PX_TRUECOLOR));
  EXPECT_FALSE(qzpxmap_alloc(p, 4, 4, QZ_PX_NONE));
  EXPECT_EQ(p.width, 0);
  EXPECT_TRUE(qzpxmap_alloc(p, 3, 2, QZ_PX_TRUECOLOR));
  EXPECT_EQ(p.rgb.size(), 6u);
  EXPECT_TRUE(qzpxmap_alloc(p, 0, 0, QZ_PX_TRUECOLOR));
  EXPECT_TRUE(log.has("qzpxmap_alloc"));
}

TEST(PixmapBasic, PixelsAndClipping) {
  qzPixmap p;
  ASSERT_TRUE(qzpxmap_alloc(p, 4, 3, QZ_PX_TRUECOLOR));
  EXPECT_TRUE(qzpxmap_clear(p, 0x112233));
  EXPECT_TRUE(qzpxmap_setpixel(p, 3, 2, 0xABCDEF));
  EXPECT_FALSE(qzpxmap_setpixel(p, 4, 0, 0xFF));
  EXPECT_FALSE(qzpxmap_setpixel(p, 0, -1, 0xFF));
  EXPECT_EQ(qzpxmap_getpixel(p, 3, 2), 0xABCDEFu);
  EXPECT_EQ(qzpxmap_getpixel(p, 0, 0), 0x112233u);
  EXPECT_EQ(qzpxmap_getpixel(p, 9, 9), 0u);
  qzpxmap_fillrect(p, -2, 1, 4, 10, 0xFF0000);
  EXPECT_EQ(qzpxmap_getpixel(p, 0, 1), 0xFF0000u);
  EXPECT_EQ(qzpxmap_getpixel(p, 1, 2), 0xFF0000u);
  EXPECT_EQ(qzpxmap_getpixel(p, 2, 1), 0x112233u);
  EXPECT_EQ(qzpxmap_getpixel(p, 0, 0), 0x112233u);
  qzpxmap_fillrect(p, 1, 1, 0x7fffffff, 0x7fffffff, 0x00FF00);  // no overflow
  EXPECT_EQ(qzpxmap_getpixel(p, 3, 2), 0x00FF00u);
}

TEST(PixmapBasic, PaletteIndicesAndWrongFormat) {
  LogWatch log;
  qzPixmap p;
  ASSERT_TRUE(qzpxmap_alloc(p, 2, 2, QZ_PX_PALETTE8));
  qzpxmap_setpixel(p, 1, 1, 0x1FF);  // palette8 keeps the low byte
  EXPECT_EQ(qzpxmap_getpixel(p, 1, 1), 0xFFu);
  qzPixmap none;
  EXPECT_FALSE(qzpxmap_clear(none, 0));
  EXPECT_FALSE(qzpxmap_setpixel(none, 0, 0, 0));
  EXPECT_EQ(qzpxmap_getpixel(none, 0, 0), 0u);
  EXPECT_TRUE(log.has("qzpxmap_clear: wrong format\n"));
  EXPECT_TRUE(log.has("qzpxmap_setpixel: wrong format 0\n"));
  EXPECT_TRUE(log.has("qzpxmap_getpixel: wrong format\n"));
}
