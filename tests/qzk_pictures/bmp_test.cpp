#include "qzk/bmp.h"
#include "qzk/pixmap.h"

#include <gtest/gtest.h>

#include "picture_test_util.h"

namespace {

uint32_t le32At(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

// A bitmap file's headers for hand-made test files; the caller appends
// palette and pixel bytes.
std::vector<uint8_t> bmpHeader(int32_t width, int32_t height, int bpp, uint32_t compression, uint32_t offset,
                               uint32_t colours = 0) {
  std::vector<uint8_t> b = {'B', 'M'};
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto put16 = [&](uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
  };
  put32(0);
  put32(0);
  put32(offset);
  put32(40);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));
  put16(1);
  put16(static_cast<uint32_t>(bpp));
  put32(compression);
  put32(0);
  put32(0);
  put32(0);
  put32(colours);
  put32(0);
  return b;
}

}  // namespace

TEST(BmpWriter, OnePixelWideRowsHaveThreeBytesAndOnePad) {
  qzPixmap p;
  ASSERT_TRUE(qzpxmap_alloc(p, 1, 2, QZ_PX_TRUECOLOR));
  qzpxmap_setpixel(p, 0, 0, 0x112233);  // top row
  qzpxmap_setpixel(p, 0, 1, 0xAABBCC);
  std::vector<uint8_t> b;
  ASSERT_TRUE(qzbmp_encode(p, b));
  ASSERT_EQ(b.size(), 54u + 2 * 4);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(le32At(b, 2), 62u);
  EXPECT_EQ(le32At(b, 10), 54u);
  EXPECT_EQ(le32At(b, 14), 40u);
  EXPECT_EQ(le32At(b, 18), 1u);
  EXPECT_EQ(le32At(b, 22), 2u);
  EXPECT_EQ(b[26], 1);
  EXPECT_EQ(b[28], 24);
  for (size_t at = 30; at < 54; ++at) EXPECT_EQ(b[at], 0) << at;
  // Bottom row first, blue green red, then one zero.
  const std::vector<uint8_t> rows = {0xCC, 0xBB, 0xAA, 0, 0x33, 0x22, 0x11, 0};
  EXPECT_EQ(std::vector<uint8_t>(b.begin() + 54, b.end()), rows);
}

TEST(BmpWriter, RoundTripsEveryPaddingAndPaletteSources) {
  for (int w = 1; w <= 6; ++w) {
    qzPixmap p;
    ASSERT_TRUE(qzpxmap_alloc(p, w, 3, QZ_PX_TRUECOLOR));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) qzpxmap_setpixel(p, x, y, static_cast<uint32_t>(x * 0x30507 + y * 0x110000 + 5));
    std::vector<uint8_t> b;
    ASSERT_TRUE(qzbmp_encode(p, b));
    EXPECT_EQ(b.size(), 54u + 3 * ((3 * w + 3) / 4 * 4)) << w;
    qzPixmap back;
    ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), back)) << w;
    EXPECT_EQ(back.rgb, p.rgb) << w;
  }
  qzPixmap pal;
  pal.palette = {0xFF0000, 0x00FF00};
  ASSERT_TRUE(qzpxmap_alloc(pal, 2, 1, QZ_PX_PALETTE8));
  qzpxmap_setpixel(pal, 1, 0, 1);
  std::vector<uint8_t> b;
  ASSERT_TRUE(qzbmp_encode(pal, b));
  qzPixmap back;
  ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), back));
  EXPECT_EQ(back.rgb, (std::vector<uint32_t>{0xFF0000, 0x00FF00}));
}

TEST(BmpReader, PaletteDepthsTopDownAndThirtyTwoBits) {
  // 1 bit, 3 x 2, bottom-up; rows padded to 4 bytes.
  auto b = bmpHeader(3, 2, 1, 0, 54 + 8);
  for (uint32_t c : {0x000000u, 0xFFFFFFu})
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(i < 3 ? c >> (8 * i) : 0));
  for (uint8_t v : {0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0}) b.push_back(v);
  qzPixmap p;
  ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF}));

  // 4 bits with two palette colours given, 3 x 1.
  b = bmpHeader(3, 1, 4, 0, 54 + 8, 2);
  for (uint8_t v : {0x30, 0x20, 0x10, 0, 0x60, 0x50, 0x40, 0}) b.push_back(v);
  for (uint8_t v : {0x01, 0x10, 0, 0}) b.push_back(v);
  ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0x102030, 0x405060, 0x405060}));

  // 24 bits, top-down (negative height), 1 x 2.
  b = bmpHeader(1, -2, 24, 0, 54);
  for (uint8_t v : {1, 2, 3, 0, 4, 5, 6, 0}) b.push_back(v);
  ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0x030201, 0x060504}));
  int w = 0, h = 0;
  ASSERT_TRUE(qzbmp_size(b.data(), b.size(), w, h));
  EXPECT_EQ(h, 2);

  // 32 bits, blue green red unused.
  b = bmpHeader(2, 1, 32, 0, 54);
  for (uint8_t v : {1, 2, 3, 0xFF, 4, 5, 6, 0x80}) b.push_back(v);
  ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0x030201, 0x060504}));
}

TEST(BmpReader, SixteenBitsDefaultAndBitFields) {
  // 5-5-5 without masks: one red and one white pixel.
  auto b = bmpHeader(2, 1, 16, 0, 54);
  for (uint8_t v : {0x00, 0x7C, 0xFF, 0x7F}) b.push_back(v);
  qzPixmap p;
  ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0xFF0000, 0xFFFFFF}));
  // 5-6-5 bit fields after the 40-byte header: pure green, then half blue.
  b = bmpHeader(2, 1, 16, 3, 54 + 12);
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu})
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(m >> (8 * i)));
  for (uint8_t v : {0xE0, 0x07, 0x10, 0x00}) b.push_back(v);
  ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0x00FF00, 0x000084}));
  // Bit fields announced but all masks zero.
  b = bmpHeader(1, 1, 16, 3, 54 + 12);
  b.resize(54 + 12 + 4, 0);
  LogWatch log;
  EXPECT_FALSE(qzbmp_decode(b.data(), b.size(), p));
  EXPECT_TRUE(log.has("qzbmp: bit fields without masks\n"));
}

TEST(BmpReader, Rle8RunsLiteralsDeltaAndEnd) {
  auto b = bmpHeader(4, 2, 8, 1, 54 + 3 * 4, 3);
  for (uint32_t c : {0x000000u, 0xFF0000u, 0x0000FFu})
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(i < 3 ? c >> (8 * i) : 0));
  // Bottom row: a run of three 1s, then a literal of one 2 (padded).
  // Top row: a delta of 2 right, then two 2s, end of bitmap.
  for (uint8_t v : {3, 1, 0, 3, 2, 2, 2, 0, 0, 0, 0, 2, 2, 0, 2, 2, 0, 1}) b.push_back(v);
  qzPixmap p;
  ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0, 0, 0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000, 0xFF0000, 0x0000FF}));
}

// Runs longer than a row, and a row above the last, are drawn as far as
// the picture goes; the log says the picture was clipped. A file whose
// runs fit says nothing.
TEST(BmpReader, Rle8RunsBeyondThePictureAreClippedWithALogLine) {
  auto b = bmpHeader(3, 2, 8, 1, 54 + 2 * 4, 2);
  for (uint32_t c : {0x000000u, 0x00FF00u})
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(i < 3 ? c >> (8 * i) : 0));
  auto fitting = b;
  for (uint8_t v : {3, 1, 0, 0, 3, 0, 0, 1}) fitting.push_back(v);
  // Bottom row: five 1s in a row of three; top row: a literal of 0, 1, 1;
  // then a row that is not there: four 1s.
  for (uint8_t v : {5, 1, 0, 0, 0, 3, 0, 1, 1, 0, 0, 0, 4, 1, 0, 1}) b.push_back(v);
  qzPixmap p;
  {
    LogWatch log;
    ASSERT_TRUE(qzbmp_decode(fitting.data(), fitting.size(), p));
    EXPECT_EQ(log.text().find("qzbmp"), std::string::npos) << log.text();
  }
  LogWatch log;
  ASSERT_TRUE(qzbmp_decode(b.data(), b.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00}));
  EXPECT_TRUE(log.has("qzbmp: RLE8 runs overrun the 3 x 2 picture by 6 pixels; decoded clipped\n")) << log.text();
}

TEST(BmpReader, MalformedFilesAreRefusedWithALogLine) {
  qzPixmap good;
  ASSERT_TRUE(qzpxmap_alloc(good, 5, 4, QZ_PX_TRUECOLOR));
  std::vector<uint8_t> b;
  ASSERT_TRUE(qzbmp_encode(good, b));
  qzPixmap p;
  for (size_t n = 0; n < b.size(); ++n) {
    LogWatch log;
    EXPECT_FALSE(qzbmp_decode(b.data(), n, p)) << n;
    EXPECT_TRUE(log.has("qzbmp: ")) << n;
  }
  EXPECT_EQ(p.format, QZ_PX_NONE);  // untouched by the failures

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  auto huge = bmpHeader(100000, 100000, 24, 0, 54);
  auto zero = bmpHeader(0, 5, 24, 0, 54);
  auto offset = bmpHeader(1, 1, 24, 0, 5000);
  auto rleRunAway = bmpHeader(1, 1, 8, 1, 54 + 1024);
  rleRunAway.resize(54 + 1024, 0);
  rleRunAway.push_back(0);
  rleRunAway.push_back(200);  // a literal of 200 bytes with none behind it
  auto depth = bmpHeader(1, 1, 7, 0, 54);
  for (auto* c : {&huge, &zero, &offset, &depth}) c->resize(c->size() + 64, 0);
  for (const Case& c : {Case{"huge", huge}, Case{"zero width", zero}, Case{"wrong offset", offset},
                        Case{"rle past end", rleRunAway}, Case{"depth", depth}}) {
    LogWatch log;
    EXPECT_FALSE(qzbmp_decode(c.bytes.data(), c.bytes.size(), p)) << c.what;
    EXPECT_TRUE(log.has("qzbmp: ")) << c.what;
  }
}
