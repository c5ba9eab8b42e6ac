// The drawing record beside a graphic target's pixels and the SVG drawing
// written from it: what the record keeps, how the document is spelled,
// and, where rsvg-convert and ImageMagick are installed, that the drawing
// rendered by librsvg shows the pixels the toolkit drew.
#include "qzk/drawing_record.h"
#include "qzk/font.h"
#include "qzk/graphic.h"
#include "qzk/picture.h"
#include "qzk/svg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "picture_test_util.h"
#include "temp_folder.h"

namespace {

struct Canvas {
  qzGraphicTarget target;
  Canvas(int w, int h) {
    qzpxmap_alloc(target.canvas, w, h, QZ_PX_TRUECOLOR);
    qzgraphic_settarget(&target);
    qzgraphic_clear(0xFFFFFF);
  }
  ~Canvas() { qzgraphic_settarget(nullptr); }
  const qzDrawingRecord& record() const { return target.record; }
  std::string svg() const {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(qzsvg_encode(target.record, target.canvas, 0, 0, target.canvas.width, target.canvas.height, bytes));
    return std::string(bytes.begin(), bytes.end());
  }
};

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

bool have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) == 0; }

}  // namespace

TEST(DrawingRecord, LineToExtendsOnePolylineUntilColourOrPenBreaksIt) {
  Canvas c(100, 100);
  qzgraphic_moveto(0, 0);
  for (int i = 1; i <= 50; ++i) qzgraphic_lineto(i, (i * 7) % 40, 0xFF0000);
  ASSERT_EQ(c.record().shapes.size(), 1u);
  EXPECT_EQ(c.record().shapes[0].count, 51u);
  qzgraphic_lineto(60, 60, 0x0000FF);  // another colour: a new polyline from the pen
  qzgraphic_line(0, 90, 10, 90, 0x0000FF);  // starts away from the last end
  qzgraphic_line(10, 90, 20, 80, 0x0000FF);  // continues it
  ASSERT_EQ(c.record().shapes.size(), 3u);
  EXPECT_EQ(c.record().shapes[1].count, 2u);
  EXPECT_EQ(c.record().shapes[2].count, 3u);
  EXPECT_EQ(c.record().points.size(), 51u + 2u + 3u);

  qzgraphic_clear(0x123456);
  EXPECT_TRUE(c.record().shapes.empty());
  qzgraphic_fillrect(0, 0, 100, 99, 0x654321);  // not all of it
  EXPECT_EQ(c.record().shapes.size(), 1u);
  qzgraphic_fillrect(-5, -5, 200, 200, 0x123456);  // all of it: a clear
  EXPECT_TRUE(c.record().shapes.empty());
  EXPECT_TRUE(c.record().points.empty());
  EXPECT_EQ(c.record().background, 0x123456u);
}

TEST(DrawingRecord, EveryCallLeavesItsShapeAndEmptyOnesNone) {
  Canvas c(80, 60);
  qzgraphic_setpixel(3, 4, 0x010203);
  qzgraphic_fillrect(1, 1, 0, 5, 0xFF);  // empty: nothing drawn, nothing kept
  qzgraphic_rect(5, 5, 10, 8, 0x00FF00);
  qzgraphic_ellipse(40, 30, 10, 6, 0xFF00FF, true);
  qzgraphic_circle(20, 30, 5, 0x00FFFF, false);
  qzgraphic_text(2, 40, 0x000000, "x=%d", 5);
  qzPixmap sprite;
  qzpxmap_alloc(sprite, 4, 4, QZ_PX_TRUECOLOR);
  qzpxmap_clear(sprite, 0xABCDEF);
  qzgraphic_copypixmap(sprite, 78, 58);  // half outside: the image keeps the 2 x 2 inside
  const auto& s = c.record().shapes;
  ASSERT_EQ(s.size(), 6u);
  EXPECT_EQ(s[0].kind, qzDrawnShape::kFill);
  EXPECT_EQ(s[1].kind, qzDrawnShape::kOutline);
  EXPECT_EQ(s[2].kind, qzDrawnShape::kFilledEllipse);
  EXPECT_EQ(s[3].kind, qzDrawnShape::kEllipse);
  EXPECT_EQ(s[4].kind, qzDrawnShape::kText);
  EXPECT_EQ(c.record().texts[0], "x=5");
  EXPECT_EQ(s[4].w, qzgraphic_textwidth("x=5"));
  EXPECT_EQ(s[4].h, qzgraphic_fontheight());
  EXPECT_EQ(s[5].kind, qzDrawnShape::kImage);
  EXPECT_EQ(s[5].w, 2);
  EXPECT_EQ(c.record().images[0].width, 2);
  EXPECT_EQ(c.record().images[0].rgb[0], 0xABCDEFu);
}

TEST(DrawingRecord, PaletteCopyKeepsWhatItsTransparentPixelsLeftVisible) {
  Canvas c(10, 10);
  qzgraphic_fillrect(0, 0, 10, 10, 0x00FF00);
  qzPixmap sprite;
  sprite.palette = {0xFF0000, 0x0000FF};
  sprite.transparent = 0;
  qzpxmap_alloc(sprite, 2, 1, QZ_PX_PALETTE8);
  qzpxmap_setpixel(sprite, 1, 0, 1);
  qzgraphic_copypixmap(sprite, 3, 3);
  const qzPixmap& kept = c.record().images.at(0);
  EXPECT_EQ(kept.rgb[0], 0x00FF00u) << "the transparent pixel shows the green below";
  EXPECT_EQ(kept.rgb[1], 0x0000FFu);
}

TEST(DrawingRecord, GivingUpWritesTheCanvasPixelsAsOneImage) {
  Canvas c(16, 8);
  qzgraphic_fillrect(0, 0, 4, 4, 0xFF0000);
  qzrecord_abandon(c.target.record);
  qzgraphic_fillrect(4, 4, 4, 4, 0x0000FF);  // not kept any more
  EXPECT_TRUE(c.record().shapes.empty());
  const std::string svg = c.svg();
  EXPECT_EQ(count(svg, "<image"), 1u);
  EXPECT_EQ(count(svg, "<rect"), 1u) << "the background alone";
  EXPECT_EQ(count(svg, "#0000ff"), 0u);
}

TEST(Svg, DocumentSpellsGeometryColoursAndText) {
  Canvas c(200, 100);
  qzgraphic_fillrect(10, 20, 30, 40, 0x0080FF);
  qzgraphic_line(5, 5, 5, 50, 0x000000);    // upright: a rectangle 1 wide
  qzgraphic_line(0, 0, 20, 10, 0xFF0000);   // slanted: a path through the pixel centres
  qzgraphic_rect(50, 50, 2, 9, 0x00FF00);   // two wide: filled whole
  qzgraphic_text(60, 10, 0x000000, "a<b & \"c\"");
  const std::string svg = c.svg();
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  EXPECT_NE(svg.find("width=\"200\" height=\"100\" viewBox=\"0 0 200 100\""), std::string::npos);
  EXPECT_NE(svg.find("<rect x=\"0\" y=\"0\" width=\"200\" height=\"100\" fill=\"#ffffff\"/>"), std::string::npos);
  EXPECT_NE(svg.find("<rect x=\"10\" y=\"20\" width=\"30\" height=\"40\" fill=\"#0080ff\"/>"), std::string::npos);
  EXPECT_NE(svg.find("<rect x=\"5\" y=\"5\" width=\"1\" height=\"46\" fill=\"#000000\"/>"), std::string::npos);
  EXPECT_NE(svg.find("<g fill=\"none\" stroke=\"#ff0000\">\n<path d=\"M0.5 0.5l20 10\"/>\n</g>"), std::string::npos);
  EXPECT_NE(svg.find("<rect x=\"50\" y=\"50\" width=\"2\" height=\"9\" fill=\"#00ff00\"/>"), std::string::npos);
  EXPECT_NE(svg.find(">a&lt;b &amp; &quot;c&quot;</text>"), std::string::npos) << svg;
  EXPECT_NE(svg.find("font-family=\"monospace\""), std::string::npos);
  EXPECT_NE(svg.find("xml:space=\"preserve\""), std::string::npos) << "the labels' leading blanks place them";
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(Svg, PolylineTurningBackStartsANewPathAtTheTurn) {
  Canvas c(50, 100);
  qzgraphic_moveto(0, 0);
  qzgraphic_lineto(1, 50, 0x000000);
  qzgraphic_lineto(2, 90, 0x000000);   // onward: the same path
  qzgraphic_lineto(3, 10, 0x000000);   // back up: a new path from (2, 90)
  qzgraphic_lineto(40, 10, 0x000000);  // a right angle is no turn back
  const std::string svg = c.svg();
  EXPECT_NE(svg.find("<path d=\"M0.5 0.5l1 50 1 40\"/>\n<path d=\"M2.5 90.5l1 -80 37 0\"/>"), std::string::npos) << svg;
}

TEST(Svg, TextIsShownAsTheBitmapFontsShowIt) {
  EXPECT_EQ(qzsvg_text("M\xC3\xA4rz"), "M\xC3\xA4rz") << "UTF-8 stays";
  EXPECT_EQ(qzsvg_text("M\xE4rz"), "M\xC3\xA4rz") << "a Latin-1 byte becomes its character";
  EXPECT_EQ(qzsvg_text("a\tb\x01" "c"), "abc") << "control codes are not drawn";
  EXPECT_EQ(qzsvg_text("\xE2\x82\xAC"), "?") << "beyond Latin-1 the fonts show '?'";
  EXPECT_EQ(qzsvg_text("<&>"), "&lt;&amp;&gt;");
}

TEST(Svg, Base64OfTheRfcExamples) {
  auto b = [](const std::string& s) { return qzsvg_base64(std::vector<uint8_t>(s.begin(), s.end())); };
  EXPECT_EQ(b(""), "");
  EXPECT_EQ(b("f"), "Zg==");
  EXPECT_EQ(b("fo"), "Zm8=");
  EXPECT_EQ(b("foo"), "Zm9v");
  EXPECT_EQ(b("foobar"), "Zm9vYmFy");
  EXPECT_EQ(qzsvg_base64({0xFF, 0xFE, 0x00}), "//4A");
}

TEST(Svg, PaletteCanvasColoursComeFromItsPalette) {
  qzGraphicTarget t;
  t.canvas.palette = {0x000000, 0x11AA22};
  qzpxmap_alloc(t.canvas, 8, 8, QZ_PX_PALETTE8);
  qzgraphic_settarget(&t);
  qzgraphic_clear(0);
  qzgraphic_fillrect(1, 1, 2, 2, 1);
  qzgraphic_settarget(nullptr);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(qzsvg_encode(t.record, t.canvas, 0, 0, 8, 8, bytes));
  EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("fill=\"#11aa22\""), std::string::npos);
}

TEST(Svg, SavingByExtensionWithPartsAndFailures) {
  InTempFolder here("qzksvg");
  Canvas c(40, 30);
  qzgraphic_fillrect(0, 0, 5, 5, 0xFF0000);
  ASSERT_EQ(qzgraphic_savepicture("page.svg"), 1);
  ASSERT_EQ(qzgraphic_savepicture("part.svg,x=10,y=5,xs=100,ys=10"), 1);
  ASSERT_EQ(qzgraphic_savepicture("page.png"), 1) << "other types stay pixel pictures";
  const std::vector<uint8_t> page = readBytes("page.svg");
  EXPECT_NE(std::string(page.begin(), page.end()).find("<rect x=\"0\" y=\"0\" width=\"5\""), std::string::npos);
  const std::vector<uint8_t> part = readBytes("part.svg");
  EXPECT_NE(std::string(part.begin(), part.end()).find("width=\"30\" height=\"10\" viewBox=\"10 5 30 10\""),
            std::string::npos)
      << "the part is clipped to the canvas";
  EXPECT_EQ(qzgraphic_savepicture("empty.svg,x=50"), 0) << "nothing of the canvas is left";
  EXPECT_EQ(qzgraphic_savepicture("no-such-folder/page.svg"), 0);
  EXPECT_TRUE(readBytes("empty.svg").empty());
  EXPECT_FALSE(qzpxmap_savetofile(c.target.canvas, "pixels.svg")) << "a pixmap alone has no drawing";
}

// librsvg draws the document; every pixel outside the texts' boxes must
// match what the toolkit drew (a pixel off by one at a slanted line's
// step is allowed; they stay well under 1 % of the picture).
TEST(Svg, RsvgRendersThePixelsTheToolkitDrew) {
  if (!have("rsvg-convert") || !have("convert")) GTEST_SKIP() << "rsvg-convert or ImageMagick missing";
  InTempFolder here("qzksvgrender");
  Canvas c(400, 300);
  qzgraphic_selectfont(qzfont_builtin("builtin 12x24"));
  qzgraphic_fillrect(10, 10, 50, 30, 0xFF8000);
  qzgraphic_rect(70, 10, 40, 30, 0x0000FF);
  qzgraphic_moveto(0, 150);
  for (int x = 4; x < 400; x += 4) qzgraphic_lineto(x, 150 + static_cast<int>(60 * std::sin(x * 0.05)), 0xC00000);
  for (int a = 0; a < 8; ++a) qzgraphic_line(200, 250, 200 + (a - 4) * 25, 290 - (a % 3) * 20, 0x008000);
  qzgraphic_ellipse(320, 60, 40, 25, 0x800080, true);
  qzgraphic_circle(250, 60, 30, 0x000000, false);
  for (int i = 0; i < 20; ++i) qzgraphic_setpixel(10 + 3 * i, 280, 0x0000FF);
  qzPixmap sprite;
  qzpxmap_alloc(sprite, 20, 20, QZ_PX_TRUECOLOR);
  for (int i = 0; i < 400; ++i) sprite.rgb[i] = static_cast<uint32_t>(i * 40503u) & 0xFFFFFF;
  qzgraphic_copypixmap(sprite, 130, 200);
  qzgraphic_text(10, 60, 0x000000, "Harmony 1983");
  ASSERT_EQ(qzgraphic_savepicture("page.svg"), 1);
  ASSERT_EQ(std::system("rsvg-convert page.svg -o drawn.png && convert drawn.png -alpha off drawn.ppm"), 0);
  qzPixmap drawn;
  ASSERT_TRUE(qzpxmap_loadfromfile(drawn, "drawn.ppm"));
  ASSERT_EQ(drawn.width, 400);
  ASSERT_EQ(drawn.height, 300);
  auto inText = [&](int x, int y) {
    for (const qzDrawnShape& s : c.record().shapes)
      if (s.kind == qzDrawnShape::kText && x >= s.x - 2 && x < s.x + s.w + 2 && y >= s.y - 2 && y < s.y + s.h + 2)
        return true;
    return false;
  };
  int compared = 0, off = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      if (inText(x, y)) continue;
      ++compared;
      const uint32_t a = qzpxmap_getpixel(c.target.canvas, x, y), b = qzpxmap_getpixel(drawn, x, y);
      int d = 0;
      for (int shift : {0, 8, 16}) d = std::max(d, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
      off += d > 24;
    }
  EXPECT_LT(off, compared / 100) << off << " of " << compared << " pixels differ";
  EXPECT_EQ(qzpxmap_getpixel(drawn, 30, 20), 0xFF8000u) << "a filled rectangle is exact";
  EXPECT_EQ(qzpxmap_getpixel(drawn, 135, 205), sprite.rgb[5 * 20 + 5]) << "the copied pixels are exact";
}
