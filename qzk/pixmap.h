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

// Copies of a pixmap. duplicate copies the rectangle (x, y, width, height)
// of src, clipped to it, into dst (palette, transparent index and palette
// code come along); the whole pixmap when width or height is negative.
bool qzpxmap_duplicate(const qzPixmap& src, qzPixmap& dst);
bool qzpxmap_duplicate(const qzPixmap& src, qzPixmap& dst, int x, int y, int width, int height);
// Gives the pixmap a new size; the pixels of the old size that still fit
// stay where they are, new pixels are 0 (index 0 for palettes).
bool qzpxmap_resize(qzPixmap& p, int width, int height);
// Scales the pixmap to the new size by nearest neighbour.
bool qzpxmap_scale(qzPixmap& p, int width, int height);

// Conversions, in place. A format a conversion does not handle is logged
// and leaves the pixmap unchanged (false).
bool qzpxmap_convert2truecolor(qzPixmap& p);
// More than 256 colours are reduced to at most 256.
bool qzpxmap_convert2palette8(qzPixmap& p);
bool qzpxmap_convert2server(qzPixmap& p);
// Any of palette8, palette16, truecolor and server as the target.
bool qzpxmap_convert(qzPixmap& p, int format);

// Reduces 0xRRGGBB pixels to a palette of at most maxColours entries and
// one index per pixel: exact when the pixels have few enough colours,
// otherwise by dropping low bits per channel until they fit, each palette
// entry the mean of the colours it stands for. Returns false (nothing
// changed) when maxColours is below 1.
bool qzpxmap_reducecolours(const std::vector<uint32_t>& pixels, size_t maxColours,
                           std::vector<uint32_t>& palette, std::vector<uint16_t>& indices);

// Copies src into dst with src's top-left corner at (x, y), clipped to
// dst. Pairs: palette8 -> palette8 (equal palette codes), and every format
// -> truecolor and -> server (the transparent index of a palette source
// is left out). Other pairs are logged and change nothing (false).
bool qzpxmap_merge(const qzPixmap& src, qzPixmap& dst, int x, int y);

// The colour of a pixel whatever the format (palette pixmaps look their
// index up; an index beyond the palette gives 0).
uint32_t qzpxmap_colour(const qzPixmap& p, int x, int y);

// The pixmap itself when it holds 0xRRGGBB pixels, else a truecolor copy
// made in storage; null (logged) when the format cannot be converted.
// Writers use it to read pixels without copying a canvas.
const qzPixmap* qzpxmap_truecolorview(const qzPixmap& p, qzPixmap& storage);
