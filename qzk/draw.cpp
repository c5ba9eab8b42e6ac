#include "qzk/draw.h"

#include <string>

#include "qzk/font.h"
#include "qzk/pixmap.h"

namespace {
void hline(qzPixmap& p, int x, int y, int w, uint32_t c) { qzpxmap_fillrect(p, x, y, w, 1, c); }
void vline(qzPixmap& p, int x, int y, int h, uint32_t c) { qzpxmap_fillrect(p, x, y, 1, h, c); }

// Two-tone edge: top and left in `lit`, bottom and right in `shade`.
void edge(qzPixmap& p, const qzRect& r, uint32_t lit, uint32_t shade) {
  if (r.empty()) return;
  hline(p, r.x, r.y, r.w, lit);
  vline(p, r.x, r.y, r.h, lit);
  hline(p, r.x, r.y + r.h - 1, r.w, shade);
  vline(p, r.x + r.w - 1, r.y, r.h, shade);
}
}  // namespace

int qzframe_width(int style) {
  switch (style) {
    case QZ_FRAME_NONE: return 0;
    case QZ_FRAME_SINGLE: return 1;
    case QZ_FRAME_DEFAULT_RAISED: return 3;
    default: return style < 0 ? 0 : 2;
  }
}

void qzdraw_frame(qzPixmap& p, const qzRect& r, int style) {
  switch (style) {
    case QZ_FRAME_NONE: return;
    case QZ_FRAME_SINGLE: edge(p, r, qzcolour::dark, qzcolour::dark); return;
    case QZ_FRAME_RAISED:
      edge(p, r, qzcolour::light, qzcolour::dark);
      edge(p, r.inset(1), qzcolour::face, qzcolour::shadow);
      return;
    case QZ_FRAME_PRESSED:
      edge(p, r, qzcolour::dark, qzcolour::dark);
      edge(p, r.inset(1), qzcolour::shadow, qzcolour::face);
      return;
    case QZ_FRAME_DEFAULT_RAISED:
      edge(p, r, qzcolour::dark, qzcolour::dark);
      edge(p, r.inset(1), qzcolour::light, qzcolour::dark);
      edge(p, r.inset(2), qzcolour::face, qzcolour::shadow);
      return;
    default:
      if (style < 0) return;
      edge(p, r, qzcolour::shadow, qzcolour::light);
      edge(p, r.inset(1), qzcolour::dark, qzcolour::face);
      return;
  }
}

void qzdraw_focus_mark(qzPixmap& p, const qzRect& r) {
  if (r.empty()) return;
  for (int x = r.x; x < r.x + r.w; x += 2) {
    qzpxmap_setpixel(p, x, r.y, qzcolour::focus);
    qzpxmap_setpixel(p, x, r.y + r.h - 1, qzcolour::focus);
  }
  for (int y = r.y; y < r.y + r.h; y += 2) {
    qzpxmap_setpixel(p, r.x, y, qzcolour::focus);
    qzpxmap_setpixel(p, r.x + r.w - 1, y, qzcolour::focus);
  }
}

void qzdraw_label(qzPixmap& p, int x, int y, int font, const char* text, bool enabled, uint32_t colour) {
  if (!text) return;
  if (enabled) {
    qzfont_drawtext(p, x, y, font, colour, text);
  } else {
    qzfont_drawtext(p, x + 1, y + 1, font, qzcolour::light, text);
    qzfont_drawtext(p, x, y, font, qzcolour::disabledText, text);
  }
}

void qzdraw_label_centred(qzPixmap& p, const qzRect& r, int font, const char* text, bool enabled,
                          uint32_t colour, int hotkeyIndex) {
  if (!text) return;
  int w = qzfont_textwidth(font, text);
  int h = qzfont_height(font);
  int x = r.x + (r.w - w) / 2;
  int y = r.y + (r.h - h) / 2;
  qzdraw_label(p, x, y, font, text, enabled, colour);
  std::string all(text);
  if (hotkeyIndex < 0 || hotkeyIndex >= static_cast<int>(all.size())) return;
  int ux = x + qzfont_textwidth(font, all.substr(0, hotkeyIndex).c_str());
  // The hotkey character may be several bytes of UTF-8.
  size_t end = hotkeyIndex + 1;
  while (end < all.size() && (static_cast<unsigned char>(all[end]) & 0xC0) == 0x80) ++end;
  int uw = qzfont_textwidth(font, all.substr(hotkeyIndex, end - hotkeyIndex).c_str());
  uint32_t c = enabled ? colour : qzcolour::disabledText;
  hline(p, ux, y + h - 1, uw, c);
}
