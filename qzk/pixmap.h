#pragma once
// The toolkit's in-memory picture: the canvas of every screen graphic, the
// pixels of every window, button pictures and the pictures loaded from or
// saved to files. Rows are stored top to bottom, pixels left to right.
// Colours are 0xRRGGBB everywhere.
#include <cstddef>
#include <cstdint>
#include <vector>

enum qzPixelFormat {
  QZ_PX_NONE = 0,
  QZ_PX_PALETTE8 = 1,   // one palette index per pixel (up to 256 colours)
  QZ_PX_PALETTE16 = 2,  // one palette index per pixel (up to 65536 colours)
  QZ_PX_TRUECOLOR = 3,  // one 0x00RRGGBB value per pixel
  QZ_PX_SERVER = 4,     // "native" bitmap: held like truecolor, shown by the platform layer
  QZ_PX_SCREEN = 5,     // the visible window surface itself
};

struct qzPixmap {
  int width = 0;
  int height = 0;
  int format = QZ_PX_NONE;
  std::vector<uint32_t> rgb;      // truecolor, server and screen pixels
  std::vector<uint16_t> index;    // palette8 and palette16 pixels
  std::vector<uint32_t> palette;  // the palette's colours
  int transparent = -1;           // transparent palette index, -1 for none
  int paletteCode = 0;            // palettes of pixmaps with equal codes agree

  uint32_t* row(int y) { return rgb.data() + static_cast<size_t>(y) * width; }
  const uint32_t* row(int y) const { return rgb.data() + static_cast<size_t>(y) * width; }
};

// Allocation and pixels. Sizes are checked: a request of more than
// 2^28 pixels or a negative size fails (false) and logs. Allocation keeps
// the palette, transparent index and palette code already in the pixmap.
// For palette pixmaps the "colour" of clear, setpixel and fillrect is a
// palette index, and getpixel returns the index. Pixels outside the
// pixmap are not set (false) and read as 0.
bool qzpxmap_alloc(qzPixmap& p, int width, int height, int format);
void qzpxmap_free(qzPixmap& p);
bool qzpxmap_clear(qzPixmap& p, uint32_t colour);
bool qzpxmap_setpixel(qzPixmap& p, int x, int y, uint32_t colour);
uint32_t qzpxmap_getpixel(const qzPixmap& p, int x, int y);
// Fills the rectangle, clipped to the pixmap (every format but none).
void qzpxmap_fillrect(qzPixmap& p, int x, int y, int width, int height, uint32_t colour);
