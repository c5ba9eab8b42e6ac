#include "qzk/pcx.h"
#include "qzk/picture.h"
#include "qzk/pixmap.h"
#include "qzk/png.h"
#include "qzk/ppm.h"
#include "qzk/xpm.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "picture_test_util.h"

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
std::string textOf(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

qzPixmap gradient(int w, int h) {
  qzPixmap p;
  qzpxmap_alloc(p, w, h, QZ_PX_TRUECOLOR);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      qzpxmap_setpixel(p, x, y, static_cast<uint32_t>(((x * 37) & 255) << 16 | ((y * 11) & 255) << 8 | ((x ^ y) & 255)));
  return p;
}

// A palette8 pixmap of n colours, pixel i of colour i mod n.
qzPixmap paletteOf(int n, int w, int h) {
  qzPixmap p;
  for (int i = 0; i < n; ++i) p.palette.push_back(static_cast<uint32_t>(0x010203 * i + 0x100000));
  qzpxmap_alloc(p, w, h, n <= 256 ? QZ_PX_PALETTE8 : QZ_PX_PALETTE16);
  for (size_t i = 0; i < p.index.size(); ++i) p.index[i] = static_cast<uint16_t>(i % n);
  return p;
}

}  // namespace

TEST(Ppm, WriterHeaderAndReaderVariants) {
  qzPixmap p = gradient(3, 2);
  std::vector<uint8_t> b;
  ASSERT_TRUE(qzppm_encode(p, b));
  EXPECT_EQ(textOf(b).substr(0, 11), "P6\n3 2\n255\n");
  EXPECT_EQ(b.size(), 11u + 18);
  EXPECT_EQ(b[11], (p.rgb[0] >> 16) & 255);
  qzPixmap back;
  ASSERT_TRUE(qzppm_decode(b.data(), b.size(), back));
  EXPECT_EQ(back.rgb, p.rgb);

  // Text samples with comments and a maxval of 1000.
  const auto p3 = bytesOf("P3\n# made by hand\n2 1 # size\n1000\n1000 0 500\n0 1000   0\n");
  ASSERT_TRUE(qzppm_decode(p3.data(), p3.size(), back));
  EXPECT_EQ(back.rgb, (std::vector<uint32_t>{0xFF0080, 0x00FF00}));
  // Two bytes per sample above maxval 255.
  auto p6 = bytesOf("P6 1 1 65535 ");
  for (uint8_t v : {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00}) p6.push_back(v);
  ASSERT_TRUE(qzppm_decode(p6.data(), p6.size(), back));
  EXPECT_EQ(back.rgb, (std::vector<uint32_t>{0xFF8000}));
  int w = 0, h = 0;
  ASSERT_TRUE(qzppm_size(p3.data(), p3.size(), w, h));
  EXPECT_EQ(w * 10 + h, 21);
}

TEST(Ppm, MalformedFilesAreRefused) {
  const char* bad[] = {"P5\n1 1\n255\n\1", "P6\n0 5\n255\n", "P6\n100000 100000\n255\n", "P6\n2 2\n255\n\1\2\3",
                       "P6\n1 1\n0\n\1\2\3",  "P3\n1 1\n255\n1 2 300\n", "P3\n1 1\n255\n1 2", "P6\n99999999999 1\n255\n"};
  for (const char* text : bad) {
    LogWatch log;
    qzPixmap p;
    const auto b = bytesOf(text);
    EXPECT_FALSE(qzppm_decode(b.data(), b.size(), p)) << text;
    EXPECT_TRUE(log.has("qzppm: ")) << text;
  }
}

TEST(Pcx, RoundTripsTruecolorAndPaletteAndRefusesDamage) {
  for (int w : {1, 2, 5, 70}) {  // odd widths pad the lines, 70 makes runs over 63
    qzPixmap p = gradient(w, 3);
    qzpxmap_fillrect(p, 0, 1, w, 1, 0xC0C0C1);  // bytes at or above 0xC0 need a run code
    std::vector<uint8_t> b;
    ASSERT_TRUE(qzpcx_encode(p, b));
    qzPixmap back;
    ASSERT_TRUE(qzpcx_decode(b.data(), b.size(), back)) << w;
    EXPECT_EQ(back.rgb, p.rgb) << w;
    int sw = 0, sh = 0;
    ASSERT_TRUE(qzpcx_size(b.data(), b.size(), sw, sh));
    EXPECT_EQ(sw, w);
    EXPECT_EQ(sh, 3);
  }
  qzPixmap pal = paletteOf(200, 9, 4);
  std::vector<uint8_t> b;
  ASSERT_TRUE(qzpcx_encode(pal, b));
  EXPECT_EQ(b[65], 1);                     // one plane
  EXPECT_EQ(b[b.size() - 769], 12);        // palette marker
  qzPixmap back;
  ASSERT_TRUE(qzpcx_decode(b.data(), b.size(), back));
  qzPixmap expect = pal;
  qzpxmap_convert2truecolor(expect);
  EXPECT_EQ(back.rgb, expect.rgb);
  for (size_t n = 0; n + 1 < b.size(); n += 7) {
    qzPixmap p;
    EXPECT_FALSE(qzpcx_decode(b.data(), n, p)) << n;
  }
  auto huge = b;
  huge[8] = huge[9] = huge[10] = huge[11] = 0xFF;  // 65536 x 65536
  huge[66] = huge[67] = 0xFF;
  LogWatch log;
  EXPECT_FALSE(qzpcx_decode(huge.data(), huge.size(), back));
  EXPECT_TRUE(log.has("qzpcx: "));
  qzPixmap empty;
  ASSERT_TRUE(qzpxmap_alloc(empty, 0, 3, QZ_PX_TRUECOLOR));
  EXPECT_FALSE(qzpcx_encode(empty, b));
}

// A 16-colour picture as ppmtopcx writes it (four planes of one bit, lines
// of an odd number of bytes) is kept beside the tests with the pixels
// netpbm's pcxtoppm reads from it.
TEST(Pcx, ReadsFourPlanesOfOneBitAsNetpbmDoes) {
  const std::string dir = std::string(TEST_DATA_DIR) + "/pictures/";
  const std::vector<uint8_t> pcx = readBytes(dir + "planar16.pcx");
  const std::vector<uint8_t> ppm = readBytes(dir + "planar16.ppm");
  ASSERT_EQ(pcx.size(), 231u);
  ASSERT_EQ(pcx[65], 4);
  qzPixmap ours, theirs;
  ASSERT_TRUE(qzpcx_decode(pcx.data(), pcx.size(), ours));
  ASSERT_TRUE(qzppm_decode(ppm.data(), ppm.size(), theirs));
  ASSERT_EQ(ours.width, 21);
  EXPECT_EQ(ours.rgb, theirs.rgb);
  for (size_t n = 128; n < pcx.size(); ++n) {
    qzPixmap cut;
    EXPECT_FALSE(qzpcx_decode(pcx.data(), n, cut)) << n;
  }
}

// One-bit planes by hand: the header's colours; black and white for one
// plane whose header gives none, the 16 colours of the PC's screen for
// more planes whose header gives none.
TEST(Pcx, OneBitPlanesTakeTheHeaderColoursOrTheStandardOnes) {
  auto file = [](int planes, const std::vector<uint32_t>& colours, const std::vector<uint8_t>& lines) {
    std::vector<uint8_t> b(128, 0);
    b[0] = 0x0A, b[1] = 5, b[2] = 1, b[3] = 1;
    b[8] = 7;  // 8 pixels wide, 1 high
    b[65] = static_cast<uint8_t>(planes);
    b[66] = 1;  // one byte per plane and line
    for (size_t i = 0; i < colours.size(); ++i)
      for (int k = 0; k < 3; ++k) b[16 + 3 * i + k] = static_cast<uint8_t>(colours[i] >> (16 - 8 * k));
    for (uint8_t v : lines) {
      b.push_back(0xC1);  // every byte as a run of one
      b.push_back(v);
    }
    return b;
  };
  qzPixmap p;
  auto bw = file(1, {}, {0xA0});
  ASSERT_TRUE(qzpcx_decode(bw.data(), bw.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0, 0, 0}));
  auto two = file(1, {0x102030, 0xA0B0C0}, {0x80});
  ASSERT_TRUE(qzpcx_decode(two.data(), two.size(), p));
  EXPECT_EQ(p.rgb[0], 0xA0B0C0u);
  EXPECT_EQ(p.rgb[1], 0x102030u);
  // Plane 0 gives bit 0 of the colour's number, plane 1 bit 1.
  auto four = file(2, {0x000001, 0x000002, 0x000003, 0x000004}, {0xC0, 0xA0});
  ASSERT_TRUE(qzpcx_decode(four.data(), four.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{4, 2, 3, 1, 1, 1, 1, 1}));
  auto standard = file(4, {}, {0x80, 0x40, 0x20, 0x10});
  ASSERT_TRUE(qzpcx_decode(standard.data(), standard.size(), p));
  EXPECT_EQ(p.rgb, (std::vector<uint32_t>{0x0000AA, 0x00AA00, 0xAA0000, 0x555555, 0, 0, 0, 0}));
  auto five = file(5, {}, {0, 0, 0, 0, 0});
  LogWatch log;
  EXPECT_FALSE(qzpcx_decode(five.data(), five.size(), p));
  EXPECT_TRUE(log.has("qzpcx: unsupported bits per pixel and planes"));
}

TEST(Xpm, ExactTextOfASmallPalettePixmap) {
  qzPixmap p;
  p.palette = {0xFF0000, 0x00FF00};
  p.transparent = 1;
  ASSERT_TRUE(qzpxmap_alloc(p, 3, 2, QZ_PX_PALETTE8));
  p.index = {0, 1, 0, 1, 1, 0};
  std::vector<uint8_t> b;
  ASSERT_TRUE(qzxpm_encode(p, qzxpm_variable_name("dir/zq-H.xpm"), b));
  EXPECT_EQ(textOf(b),
            "/* XPM */\nstatic char * zq-H_xpm[] = {\n\"3 2 3 1\",\n\" \tc None\",\n\".\tc #FF0000\",\n"
            "\"+\tc #00FF00\",\n\". .\",\n\"  .\"};\n");
}

TEST(Xpm, NinetyColoursUseOneCharacterNinetyOneUseTwo) {
  for (int n : {90, 91}) {
    qzPixmap p = paletteOf(n, n, 1);
    std::vector<uint8_t> b;
    ASSERT_TRUE(qzxpm_encode(p, "pic", b));
    const auto lines = qzxpm_strings(textOf(b));
    ASSERT_EQ(lines.size(), static_cast<size_t>(1 + n + 1 + 1));
    const int cpp = n == 90 ? 1 : 2;
    EXPECT_EQ(lines[0], std::to_string(n) + " 1 " + std::to_string(n + 1) + " " + std::to_string(cpp));
    EXPECT_EQ(lines.back().size(), static_cast<size_t>(n * cpp));
    EXPECT_EQ(lines[1], std::string(cpp, ' ') + "\tc None");
    // The last colour's symbol: "^" alone, or symbols 91 / 90 = 1 and 91 mod 90 = 1.
    EXPECT_EQ(lines[n + 1].substr(0, cpp), n == 90 ? "^" : "..");
    qzPixmap back;
    ASSERT_TRUE(qzxpm_decode(lines, back));
    qzPixmap a = p, c = back;
    qzpxmap_convert2truecolor(a);
    qzpxmap_convert2truecolor(c);
    EXPECT_EQ(a.rgb, c.rgb) << n;
  }
}

TEST(Xpm, TruecolorIsReducedAndTooManyColoursLogged) {
  qzPixmap few = gradient(4, 4);
  std::vector<uint8_t> b;
  ASSERT_TRUE(qzxpm_encode(few, "few", b));
  qzPixmap back;
  ASSERT_TRUE(qzxpm_decode(qzxpm_strings(textOf(b)), back));
  qzpxmap_convert2truecolor(back);
  EXPECT_EQ(back.rgb, few.rgb);

  qzPixmap many;
  ASSERT_TRUE(qzpxmap_alloc(many, 128, 128, QZ_PX_TRUECOLOR));
  for (size_t i = 0; i < many.rgb.size(); ++i) many.rgb[i] = static_cast<uint32_t>(i * 1021);
  LogWatch log;
  ASSERT_TRUE(qzxpm_encode(many, "many", b));
  EXPECT_TRUE(log.has("qzpxmap_savetofile_xpm warning: too many colors in truecolor"));
  EXPECT_TRUE(log.has("xpm save: too many colors !\n"));
  const auto lines = qzxpm_strings(textOf(b));
  int cols = 0;
  ASSERT_EQ(sscanf(lines[0].c_str(), "%*d %*d %d", &cols), 1);
  EXPECT_LE(cols, kQzXpmMaxColours + 1);
  EXPECT_EQ(lines.size(), static_cast<size_t>(1 + cols + 128));

  qzPixmap none;
  LogWatch log2;
  EXPECT_FALSE(qzxpm_encode(none, "none", b));
  EXPECT_TRUE(log2.has("qzpxmap_savetofile_xpm: unsupported format 0\n"));
}

TEST(Xpm, CreateFromMemoryOptionsAndFaults) {
  const std::vector<std::string> arrow = {"3 2 3 1", "  c None", ". c #000000", "X c #FFFFFF", " .X", "X. "};
  qzPixmap p;
  ASSERT_TRUE(qzpxmap_createfrommem(p, arrow, "palettecode=%d", 7));
  EXPECT_EQ(p.format, QZ_PX_PALETTE8);
  EXPECT_EQ(p.paletteCode, 7);
  EXPECT_EQ(p.transparent, 0);
  EXPECT_EQ(p.index, (std::vector<uint16_t>{0, 1, 2, 2, 1, 0}));
  ASSERT_TRUE(qzpxmap_createfrommem(p, arrow, "notransparent"));
  EXPECT_EQ(p.transparent, -1);
  ASSERT_TRUE(qzpxmap_createfrommem(p, arrow, "transparent = 0"));
  EXPECT_EQ(p.transparent, -1);

  std::vector<std::string> many = {"1 1 300 2"};
  LogWatch log;
  EXPECT_FALSE(qzpxmap_createfrommem(p, many, "%s", ""));
  EXPECT_TRUE(log.has("qzpxmap_createfrommem_xpm: too many colors (300)\n"));
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"0 2 1 1", "  c None"},
      {"2 1 1 1", ". c #000000", ".."},           // well formed: the one that must pass
      {"2 2 1 1", ". c #000000", ".."},           // too few rows
      {"2 1 1 1", ". c #000000", ".x"},           // undeclared symbol
      {"2 1 1 1", ". c #00000", ".."},            // bad colour
      {"999999 999999 1 1", ". c #000000"},      // huge
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    if (i == 2) {
      EXPECT_TRUE(qzpxmap_createfrommem(p, bad[i], "%s", ""));
      continue;
    }
    LogWatch l;
    EXPECT_FALSE(qzpxmap_createfrommem(p, bad[i], "%s", "")) << i;
    EXPECT_TRUE(l.has("qzpxmap_createfrommem_xpm: ")) << i;
  }
}

namespace {

// Undoes the row filters of our PNG writer's image data.
std::vector<uint32_t> unfilter(const std::vector<uint8_t>& raw, int w, int h) {
  const size_t n = static_cast<size_t>(w) * 3;
  std::vector<uint8_t> prev(n, 0), cur(n);
  std::vector<uint32_t> out;
  for (int y = 0; y < h; ++y) {
    const uint8_t* s = raw.data() + y * (n + 1);
    for (size_t i = 0; i < n; ++i) {
      const int a = i >= 3 ? cur[i - 3] : 0, b = prev[i], c = i >= 3 ? prev[i - 3] : 0;
      int pred = 0;
      switch (s[0]) {
        case 1: pred = a; break;
        case 2: pred = b; break;
        case 3: pred = (a + b) / 2; break;
        case 4: {
          const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
          pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
          break;
        }
      }
      cur[i] = static_cast<uint8_t>(s[1 + i] + pred);
    }
    for (int x = 0; x < w; ++x) out.push_back(cur[3 * x] << 16 | cur[3 * x + 1] << 8 | cur[3 * x + 2]);
    prev = cur;
  }
  return out;
}

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

}  // namespace

TEST(Png, ChunksAndImageData) {
  qzPixmap p = gradient(37, 23);
  std::vector<uint8_t> b;
  ASSERT_TRUE(qzpng_encode(p, b));
  ASSERT_GT(b.size(), 8u + 25 + 12 + 12);
  EXPECT_EQ(textOf(b).substr(1, 3), "PNG");
  EXPECT_EQ(be32(b, 8), 13u);
  EXPECT_EQ(textOf(b).substr(12, 4), "IHDR");
  EXPECT_EQ(be32(b, 16), 37u);
  EXPECT_EQ(be32(b, 20), 23u);
  EXPECT_EQ(b[24], 8);
  EXPECT_EQ(b[25], 2);
  const uint32_t idat = be32(b, 33);
  EXPECT_EQ(textOf(b).substr(37, 4), "IDAT");
  EXPECT_EQ(textOf(b).substr(b.size() - 8, 4), "IEND");
  uLongf rawSize = (37 * 3 + 1) * 23;
  std::vector<uint8_t> raw(rawSize);
  ASSERT_EQ(uncompress(raw.data(), &rawSize, b.data() + 41, idat), Z_OK);
  ASSERT_EQ(rawSize, raw.size());
  bool someFilter = false;
  for (int y = 0; y < 23; ++y) {
    EXPECT_LE(raw[y * (37 * 3 + 1)], 4);
    someFilter |= raw[y * (37 * 3 + 1)] != 0;
  }
  EXPECT_TRUE(someFilter);
  EXPECT_EQ(unfilter(raw, 37, 23), p.rgb);
  qzPixmap empty;
  EXPECT_FALSE(qzpng_encode(empty, b));
}

TEST(PictureFiles, TypesSizesAndMessages) {
  EXPECT_EQ(qzpicture_filetype("a.PNG"), 1);
  EXPECT_EQ(qzpicture_filetype("AI-aktuell/zq-H.bmp"), 2);
  EXPECT_EQ(qzpicture_filetype("x.Xpm"), 3);
  EXPECT_EQ(qzpicture_filetype("x.ppm"), 4);
  EXPECT_EQ(qzpicture_filetype("x.pcx"), 5);
  EXPECT_EQ(qzpicture_filetype("x.htm"), 6);
  EXPECT_EQ(qzpicture_filetype("x.HTML"), 6);
  EXPECT_EQ(qzpicture_filetype("x.wmf"), 7);
  EXPECT_EQ(qzpicture_filetype("x.ps"), 8);
  EXPECT_EQ(qzpicture_filetype("x.pdf"), 9);
  EXPECT_EQ(qzpicture_filetype("x.jpg"), 0);
  EXPECT_EQ(qzpicture_filetype("dir.bmp/file"), 0);
  EXPECT_EQ(qzpicture_filetype("bmp"), 0);

  InTempDir dir;
  qzPixmap p = gradient(13, 7);
  for (const char* name : {"s.bmp", "s.ppm", "s.pcx"}) {
    ASSERT_TRUE(qzpxmap_savetofile(p, "%s", name));
    int w = 0, h = 0;
    EXPECT_EQ(qzgetpicturesizes(name, w, h), 1) << name;
    EXPECT_EQ(w, 13);
    EXPECT_EQ(h, 7);
    qzPixmap back;
    ASSERT_TRUE(qzpxmap_loadfromfile(back, "%s", name));
    EXPECT_EQ(back.rgb, p.rgb) << name;
  }
  int w = 0, h = 0;
  {
    LogWatch log;
    EXPECT_EQ(qzgetpicturesizes("s.png", w, h), 0);
    EXPECT_TRUE(log.has("qzgetpicturesizes: unsupported format (s.png)\n"));
  }
  EXPECT_EQ(qzgetpicturesizes("missing.bmp", w, h), 0);
  {
    LogWatch log;
    EXPECT_FALSE(qzpxmap_savetofile(p, "out.jpg"));
    EXPECT_TRUE(log.has("qzpxmap_savetofile: unsupported format (out.jpg)\n"));
  }
  EXPECT_FALSE(qzpxmap_savetofile(p, "no/such/dir/out.bmp"));
  {
    LogWatch log;
    ASSERT_TRUE(qzpxmap_savetofile(p, "%s", "s.xpm"));
    qzPixmap back;
    EXPECT_FALSE(qzpxmap_loadfromfile(back, "s.xpm"));
    EXPECT_FALSE(qzpxmap_loadfromfile(back, "s.png"));
    qzPixmap pal = paletteOf(4, 2, 2);
    EXPECT_FALSE(qzpxmap_loadfromfile(pal, "s.bmp"));
    EXPECT_FALSE(qzpxmap_loadfromfile(pal, "s.pcx"));
    EXPECT_TRUE(log.has("qzpxmap_loadfromfile_xpm not supported\n"));
    EXPECT_TRUE(log.has("qzgraphic_gloadintern_file: unsupported format (s.png)\n"));
    EXPECT_TRUE(log.has("qzpxmap_loadfromfile_bmp: PX-Format 1 not supported (should load and copy then)\n"));
    EXPECT_TRUE(log.has("qzpxmap_loadfromfile_pcx: PX-Format 1 not supported (should load and copy then)\n"));
  }
}

TEST(PictureFiles, RectanglesPlacementAndScaling) {
  InTempDir dir;
  qzPixmap p = gradient(10, 8);
  ASSERT_TRUE(qzpxmap_savetofile(p, "%s,x=%d,y=%d,xs=%d,ys=%d", "part.ppm", 2, 3, 4, 100));
  qzPixmap part;
  ASSERT_TRUE(qzpxmap_loadfromfile(part, "part.ppm"));
  ASSERT_EQ(part.width, 4);
  ASSERT_EQ(part.height, 5);  // clipped at the bottom
  EXPECT_EQ(qzpxmap_getpixel(part, 0, 0), qzpxmap_getpixel(p, 2, 3));
  EXPECT_EQ(qzpxmap_getpixel(part, 3, 4), qzpxmap_getpixel(p, 5, 7));

  qzPixmap canvas;
  ASSERT_TRUE(qzpxmap_alloc(canvas, 20, 20, QZ_PX_TRUECOLOR));
  ASSERT_TRUE(qzpxmap_loadfromfile(canvas, "part.ppm, x=18, y=1"));
  EXPECT_EQ(qzpxmap_getpixel(canvas, 18, 1), qzpxmap_getpixel(p, 2, 3));
  EXPECT_EQ(qzpxmap_getpixel(canvas, 19, 5), qzpxmap_getpixel(p, 3, 7));
  EXPECT_EQ(qzpxmap_getpixel(canvas, 17, 1), 0u);

  qzPixmap scaled;
  ASSERT_TRUE(qzpxmap_loadfromfile(scaled, "part.ppm,xs=8,ys=10"));
  ASSERT_EQ(scaled.width, 8);
  EXPECT_EQ(qzpxmap_getpixel(scaled, 7, 9), qzpxmap_getpixel(part, 3, 4));
  EXPECT_EQ(qzpxmap_getpixel(scaled, 1, 1), qzpxmap_getpixel(part, 0, 0));

  // A failed write leaves the old file whole, and no temporary file behind.
  const auto before = readBytes("part.ppm");
  qzPixmap none;
  EXPECT_FALSE(qzpxmap_savetofile(none, "part.ppm"));
  EXPECT_EQ(readBytes("part.ppm"), before);
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}
