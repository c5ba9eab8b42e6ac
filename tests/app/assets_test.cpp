// Our own pictures and chime: the committed files are what the tool makes,
// and other programs read them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "qzk/picture.h"
#include "qzk/pixmap.h"
#include "read_file.h"
#include "temp_folder.h"

namespace {

const char* kPictures[] = {"solarsystem-1.bmp", "meridea-1.bmp",  "meridea-1e.bmp", "meridea-2e.bmp",
                           "meridea-3e.bmp",    "meridea-1d.bmp", "meridea-2d.bmp", "meridea-3d.bmp",
                           "booken.bmp",        "bookde.bmp",     "kundm.bmp"};

TEST(Assets, ToolMakesPicturesOurReaderDecodesAndTheCommittedChime) {
  std::string dir = MakeTempFolder("assets_");
  ASSERT_FALSE(dir.empty());
  std::string cmd = "cd " + dir + " && " + std::string(BINARY_DIR) + "/tools/make_assets " + dir;
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  for (const char* name : kPictures) {
    // The text on the pictures follows the builtin fonts, so the committed
    // files are compared by their size in pixels, not byte for byte.
    for (const std::string& path : {dir + "/" + name, std::string(SOURCE_DIR) + "/assets/" + name}) {
      qzPixmap p;
      ASSERT_TRUE(qzpxmap_loadfromfile(p, "%s", path.c_str())) << path;
      EXPECT_EQ(p.width, std::string(name) == "solarsystem-1.bmp" ? 1536 : 1000) << path;
      EXPECT_EQ(p.height, std::string(name) == "solarsystem-1.bmp" ? 960 : 700) << path;
    }
  }
  std::string wav = ReadFile(dir + "/Tada.wav");
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(wav.size(), 44u + 2u * 24255u) << "1.1 s of 16-bit mono at 22050 Hz";
  EXPECT_EQ(wav, ReadFile(std::string(SOURCE_DIR) + "/assets/Tada.wav"));
}

TEST(Assets, PicturesOpenInPil) {
  if (access("/usr/bin/python3", X_OK) != 0 || std::system("/usr/bin/python3 -c 'import PIL' 2>/dev/null") != 0)
    GTEST_SKIP() << "/usr/bin/python3 with PIL is not installed";
  std::string cmd = "/usr/bin/python3 -c \"import sys; from PIL import Image\n"
                    "im = Image.open(sys.argv[1]); im.load()\n"
                    "assert im.size == (1536, 960), im.size\n"
                    "assert im.convert('RGB').getpixel((110, 520)) == (0xFF, 0xF0, 0xA0)\" " +
                    std::string(SOURCE_DIR) + "/assets/solarsystem-1.bmp";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << "PIL reads the RLE8 picture, the Sun's core in its middle";
}

}  // namespace
