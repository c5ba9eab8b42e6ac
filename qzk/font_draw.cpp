// Drawing text into a pixmap with a registered font.
#include "qzk/font.h"
#include "qzk/font_registry.h"
#include "qzk/font_text.h"
#include "qzk/pixmap.h"

#include <algorithm>
#include <climits>

namespace {

bool isDirect(int format) {
  return format == QZ_PX_TRUECOLOR || format == QZ_PX_SERVER || format == QZ_PX_SCREEN;
}

bool isPalette(int format) { return format == QZ_PX_PALETTE8 || format == QZ_PX_PALETTE16; }

// Sets the glyph's set cells with its top-left corner at (x, y), clipped.
void drawGlyph(qzPixmap& target, long long x, int y, const qzFontRecord& f, int glyph, uint32_t colour) {
  const int w = f.widths[static_cast<size_t>(glyph)];
  const long long x0 = std::max<long long>(0, x), x1 = std::min<long long>(target.width, x + w);
  const int y0 = std::max(0, y), y1 = static_cast<int>(std::min<long long>(target.height, static_cast<long long>(y) + f.ysize));
  if (x0 >= x1 || y0 >= y1) return;
  const uint8_t* pixels = f.data.data() + f.offsets[static_cast<size_t>(glyph)];
  const bool direct = isDirect(target.format);
  const uint16_t index = static_cast<uint16_t>(target.format == QZ_PX_PALETTE8 ? colour & 0xFFu : colour & 0xFFFFu);
  for (int py = y0; py < y1; ++py) {
    const uint8_t* src = pixels + static_cast<size_t>(py - y) * static_cast<size_t>(w);
    const size_t rowStart = static_cast<size_t>(py) * static_cast<size_t>(target.width);
    for (long long px = x0; px < x1; ++px) {
      if (!src[px - x]) continue;
      if (direct) target.rgb[rowStart + static_cast<size_t>(px)] = colour & 0xFFFFFFu;
      else target.index[rowStart + static_cast<size_t>(px)] = index;
    }
  }
}

}  // namespace

int qzfont_drawtext(qzPixmap& target, int x, int y, int font, uint32_t colour, const char* text) {
  const qzFontRecord* f = qzfont_find(font);
  if (!f || !text) return x;
  const bool drawable =
      (isDirect(target.format) && target.rgb.size() >= static_cast<size_t>(target.width) * static_cast<size_t>(target.height)) ||
      (isPalette(target.format) && target.index.size() >= static_cast<size_t>(target.width) * static_cast<size_t>(target.height));
  long long pen = x;
  for (const char* p = text; *p;) {
    const int glyph = qzfont_glyphindex(*f, qzfont_nextcode(p));
    if (glyph < 0) continue;
    if (drawable && target.width > 0 && pen < target.width) drawGlyph(target, pen, y, *f, glyph, colour);
    pen += f->widths[static_cast<size_t>(glyph)];
  }
  return static_cast<int>(std::min<long long>(pen, INT_MAX));
}
