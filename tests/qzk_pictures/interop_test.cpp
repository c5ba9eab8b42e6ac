// Our files read by other programs, and their files read by us, compared
// pixel by pixel. ImageMagick, PIL and pngcheck are independent decoders
// and encoders; a test skips visibly where its tool is missing.
#include "qzk/picture.h"
#include "qzk/pixmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "picture_test_util.h"

namespace {

const char* kPython = "/usr/bin/python3";

bool hasCommand(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool hasPil() {
  return std::system((std::string(kPython) + " -c 'import PIL' >/dev/null 2>&1").c_str()) == 0;
}

int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::vector<uint32_t> rgbPixels(const std::vector<uint8_t>& raw) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i + 2 < raw.size(); i += 3) out.push_back(uint32_t{raw[i]} << 16 | raw[i + 1] << 8 | raw[i + 2]);
  return out;
}

// ImageMagick's reading of a file as 8-bit RGB pixels.
std::vector<uint32_t> magickPixels(const std::string& file) {
  if (run("convert '" + file + "' -depth 8 rgb:magick.raw") != 0) return {};
  return rgbPixels(readBytes("magick.raw"));
}

// PIL's reading of a file as RGB pixels.
std::vector<uint32_t> pilPixels(const std::string& file) {
  const std::string script =
      "import sys; from PIL import Image; "
      "open('pil.raw','wb').write(Image.open(sys.argv[1]).convert('RGB').tobytes())";
  if (run(std::string(kPython) + " -c \"" + script + "\" '" + file + "'") != 0) return {};
  return rgbPixels(readBytes("pil.raw"));
}

qzPixmap testPicture(int w, int h) {
  qzPixmap p;
  qzpxmap_alloc(p, w, h, QZ_PX_TRUECOLOR);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      qzpxmap_setpixel(p, x, y, static_cast<uint32_t>((x * 41 & 255) << 16 | (y * 29 & 255) << 8 | ((x * y) & 255)));
  qzpxmap_fillrect(p, 3, 2, 9, 4, 0xFFFFFF);
  return p;
}

// Few colours, so that the XPM holds them exactly.
qzPixmap fewColours(int w, int h) {
  qzPixmap p;
  qzpxmap_alloc(p, w, h, QZ_PX_TRUECOLOR);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) qzpxmap_setpixel(p, x, y, static_cast<uint32_t>(((x / 3 + y) % 7) * 0x243B51));
  return p;
}

const char* kOurFormats[] = {"ours.bmp", "ours.png", "ours.ppm", "ours.pcx", "ours.xpm"};

}  // namespace

TEST(Interop, EveryPngWePassesPngcheck) {
  if (!hasCommand("pngcheck")) GTEST_SKIP() << "pngcheck not installed (scripts/install-deps.sh test)";
  InTempDir dir;
  for (int w : {1, 2, 3, 64, 257}) {
    qzPixmap p = testPicture(w, 17);
    ASSERT_TRUE(qzpxmap_savetofile(p, "%s", "check.png"));
    EXPECT_EQ(run("pngcheck -q check.png"), 0) << w;
  }
  qzPixmap pal;
  pal.palette = {0x123456, 0xABCDEF};
  ASSERT_TRUE(qzpxmap_alloc(pal, 5, 5, QZ_PX_PALETTE8));
  ASSERT_TRUE(qzpxmap_savetofile(pal, "pal.png"));
  EXPECT_EQ(run("pngcheck -q pal.png"), 0);
}

TEST(Interop, ImageMagickReadsOurFilesWithTheSamePixels) {
  if (!hasCommand("convert")) GTEST_SKIP() << "ImageMagick convert not installed (scripts/install-deps.sh test)";
  InTempDir dir;
  for (int w : {1, 2, 3, 41}) {
    const qzPixmap rich = testPicture(w, 9), few = fewColours(w, 9);
    for (const char* name : kOurFormats) {
      const qzPixmap& p = std::string(name) == "ours.xpm" ? few : rich;
      ASSERT_TRUE(qzpxmap_savetofile(p, "%s", name)) << name;
      EXPECT_EQ(magickPixels(name), p.rgb) << name << " width " << w;
    }
  }
  qzPixmap pal;
  for (int i = 0; i < 150; ++i) pal.palette.push_back(static_cast<uint32_t>(i * 0x010101 + 0x200000));
  ASSERT_TRUE(qzpxmap_alloc(pal, 30, 5, QZ_PX_PALETTE8));
  for (size_t i = 0; i < pal.index.size(); ++i) pal.index[i] = static_cast<uint16_t>(i % 150);
  qzPixmap expect = pal;
  qzpxmap_convert2truecolor(expect);
  for (const char* name : {"pal.pcx", "pal.xpm"}) {
    ASSERT_TRUE(qzpxmap_savetofile(pal, "%s", name));
    EXPECT_EQ(magickPixels(name), expect.rgb) << name;
  }
}

TEST(Interop, PilReadsOurFilesWithTheSamePixels) {
  if (!hasPil()) GTEST_SKIP() << "Python PIL not installed for /usr/bin/python3 (scripts/install-deps.sh test)";
  InTempDir dir;
  for (int w : {1, 3, 5, 41}) {
    const qzPixmap rich = testPicture(w, 9), few = fewColours(w, 9);
    for (const char* name : kOurFormats) {
      // PIL cannot read even its own 24-bit PCX files of 1 to 3 pixels' width.
      if (std::string(name) == "ours.pcx" && w < 5) continue;
      const qzPixmap& p = std::string(name) == "ours.xpm" ? few : rich;
      ASSERT_TRUE(qzpxmap_savetofile(p, "%s", name)) << name;
      EXPECT_EQ(pilPixels(name), p.rgb) << name << " width " << w;
    }
  }
}

TEST(Interop, WeReadImageMagickFilesWithItsPixels) {
  if (!hasCommand("convert")) GTEST_SKIP() << "ImageMagick convert not installed (scripts/install-deps.sh test)";
  InTempDir dir;
  const qzPixmap src = testPicture(37, 23);
  ASSERT_TRUE(qzpxmap_savetofile(src, "src.ppm"));
  struct Made {
    const char* file;
    const char* options;  // how ImageMagick writes it
  };
  const Made made[] = {
      {"m24.bmp", "-type truecolor bmp3:"},       {"m32.bmp", "-alpha set bmp:"},
      {"m8.bmp", "-colors 200 -type palette bmp3:"}, {"rle8.bmp", "-colors 100 -type palette -compress RLE bmp3:"},
      {"m4.bmp", "-colors 12 -type palette bmp3:"}, {"m1.bmp", "-monochrome bmp3:"},
      {"bmp4.bmp", "bmp:"},                          {"p6.ppm", "ppm:"},
      {"p3.ppm", "-compress none ppm:"},             {"p16.ppm", "-depth 16 ppm:"},
      {"t24.pcx", "-type truecolor pcx:"},          {"p8.pcx", "-colors 60 -type palette pcx:"},
  };
  for (const Made& m : made) {
    ASSERT_EQ(run(std::string("convert src.ppm ") + m.options + m.file), 0) << m.file;
    const std::vector<uint32_t> theirs = magickPixels(m.file);
    ASSERT_EQ(theirs.size(), 37u * 23) << m.file;
    qzPixmap ours;
    ASSERT_TRUE(qzpxmap_loadfromfile(ours, "%s", m.file)) << m.file;
    EXPECT_EQ(ours.rgb, theirs) << m.file;
    int w = 0, h = 0;
    EXPECT_EQ(qzgetpicturesizes(m.file, w, h), 1) << m.file;
    EXPECT_EQ(w * 100 + h, 3723) << m.file;
  }
}

TEST(Interop, WeReadPilFilesWithItsPixels) {
  if (!hasPil()) GTEST_SKIP() << "Python PIL not installed for /usr/bin/python3 (scripts/install-deps.sh test)";
  InTempDir dir;
  const qzPixmap src = testPicture(29, 13);
  ASSERT_TRUE(qzpxmap_savetofile(src, "src.ppm"));
  const std::string script =
      "from PIL import Image; im=Image.open('src.ppm'); "
      "im.save('pil24.bmp'); im.quantize(77).save('pil8.bmp'); im.convert('1').save('pil1.bmp'); "
      "im.save('pil.ppm'); im.save('pil24.pcx'); im.quantize(50).save('pil8.pcx')";
  ASSERT_EQ(run(std::string(kPython) + " -c \"" + script + "\""), 0);
  for (const char* file : {"pil24.bmp", "pil8.bmp", "pil1.bmp", "pil.ppm", "pil24.pcx", "pil8.pcx"}) {
    const std::vector<uint32_t> theirs = pilPixels(file);
    ASSERT_EQ(theirs.size(), 29u * 13) << file;
    qzPixmap ours;
    ASSERT_TRUE(qzpxmap_loadfromfile(ours, "%s", file)) << file;
    EXPECT_EQ(ours.rgb, theirs) << file;
  }
}

// netpbm's ppmtopcx writes a picture of up to 16 colours as one to four
// planes of one bit with the colours in the header; we read each such file
// as the picture it was made from.
TEST(Interop, WeReadPpmtopcxPlanesOfOneBitWithTheirColours) {
  if (!hasCommand("ppmtopcx")) GTEST_SKIP() << "netpbm's ppmtopcx not installed (scripts/install-deps.sh test)";
  InTempDir dir;
  for (int colours : {2, 3, 5, 9, 16}) {
    for (int w : {1, 8, 9, 33}) {
      qzPixmap src;
      ASSERT_TRUE(qzpxmap_alloc(src, w, 5, QZ_PX_TRUECOLOR));
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < w; ++x)
          qzpxmap_setpixel(src, x, y, static_cast<uint32_t>(((x * 7 + y * 3) % colours + 1) * 0x0F1D2B));
      ASSERT_TRUE(qzpxmap_savetofile(src, "few.ppm"));
      ASSERT_EQ(std::system("ppmtopcx few.ppm > few.pcx 2>/dev/null"), 0);
      const std::vector<uint8_t> file = readBytes("few.pcx");
      ASSERT_GT(file.size(), 128u);
      // A narrow picture holds fewer colours than asked; the planes follow those it holds.
      const size_t held = std::set<uint32_t>(src.rgb.begin(), src.rgb.end()).size();
      const int planes = held <= 2 ? 1 : held <= 4 ? 2 : held <= 8 ? 3 : 4;
      EXPECT_EQ(file[3], 1) << "one bit per plane";
      EXPECT_EQ(file[65], planes) << colours;
      qzPixmap ours;
      ASSERT_TRUE(qzpxmap_loadfromfile(ours, "few.pcx")) << colours << " colours, width " << w;
      EXPECT_EQ(ours.rgb, src.rgb) << colours << " colours, width " << w;
    }
  }
}
