// Allocation and single pixels of the toolkit's pixmaps. Palette pixmaps
// hold indices in `index`; every other format holds 0x00RRGGBB values in
// `rgb`. For palette pixmaps a "colour" passed to clear and setpixel is a
// palette index, and getpixel returns the index.
#include "qzk/pixmap.h"

#include "qzk/log.h"

#include <algorithm>

namespace {

constexpr int64_t kMaxPixels = int64_t{1} << 28;

bool isPalette(int format) { return format == QZ_PX_PALETTE8 || format == QZ_PX_PALETTE16; }

bool isDirect(int format) {
  return format == QZ_PX_TRUECOLOR || format == QZ_PX_SERVER || format == QZ_PX_SCREEN;
}

bool inside(const qzPixmap& p, int x, int y) {
  return x >= 0 && y >= 0 && x < p.width && y < p.height;
}

size_t offset(const qzPixmap& p, int x, int y) {
  return static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x);
}

uint16_t indexValue(int format, uint32_t colour) {
  return static_cast<uint16_t>(format == QZ_PX_PALETTE8 ? (colour & 0xFFu) : (colour & 0xFFFFu));
}

}  // namespace

bool qzpxmap_alloc(qzPixmap& p, int width, int height, int format) {
  if (width < 0 || height < 0 || static_cast<int64_t>(width) * height > kMaxPixels) {
    qzlog("qzpxmap_alloc: size %d x %d refused\n", width, height);
    return false;
  }
  if (!isPalette(format) && !isDirect(format)) {
    qzlog("qzpxmap_alloc: wrong format %d\n", format);
    return false;
  }
  const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
  qzPixmap fresh;
  fresh.width = width;
  fresh.height = height;
  fresh.format = format;
  fresh.paletteCode = p.paletteCode;
  if (isPalette(format)) {
    fresh.index.assign(n, 0);
    fresh.palette = p.palette;
    fresh.transparent = p.transparent;
  } else {
    fresh.rgb.assign(n, 0);
  }
  p = std::move(fresh);
  return true;
}

void qzpxmap_free(qzPixmap& p) { p = qzPixmap{}; }

bool qzpxmap_clear(qzPixmap& p, uint32_t colour) {
  if (isDirect(p.format)) {
    std::fill(p.rgb.begin(), p.rgb.end(), colour & 0xFFFFFFu);
    return true;
  }
  if (isPalette(p.format)) {
    std::fill(p.index.begin(), p.index.end(), indexValue(p.format, colour));
    return true;
  }
  qzlog("qzpxmap_clear: wrong format\n");
  return false;
}

bool qzpxmap_setpixel(qzPixmap& p, int x, int y, uint32_t colour) {
  if (isDirect(p.format)) {
    if (!inside(p, x, y)) return false;
    p.rgb[offset(p, x, y)] = colour & 0xFFFFFFu;
    return true;
  }
  if (isPalette(p.format)) {
    if (!inside(p, x, y)) return false;
    p.index[offset(p, x, y)] = indexValue(p.format, colour);
    return true;
  }
  qzlog("qzpxmap_setpixel: wrong format %d\n", p.format);
  return false;
}

uint32_t qzpxmap_getpixel(const qzPixmap& p, int x, int y) {
  if (isDirect(p.format)) return inside(p, x, y) ? p.rgb[offset(p, x, y)] : 0;
  if (isPalette(p.format)) return inside(p, x, y) ? p.index[offset(p, x, y)] : 0;
  qzlog("qzpxmap_getpixel: wrong format\n");
  return 0;
}

void qzpxmap_fillrect(qzPixmap& p, int x, int y, int width, int height, uint32_t colour) {
  const bool direct = isDirect(p.format);
  if (!direct && !isPalette(p.format)) return;
  const int64_t x0 = std::max<int64_t>(x, 0);
  const int64_t y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(static_cast<int64_t>(x) + width, p.width);
  const int64_t y1 = std::min<int64_t>(static_cast<int64_t>(y) + height, p.height);
  if (x0 >= x1 || y0 >= y1) return;
  for (int64_t row = y0; row < y1; ++row) {
    const size_t start = offset(p, static_cast<int>(x0), static_cast<int>(row));
    const size_t count = static_cast<size_t>(x1 - x0);
    if (direct)
      std::fill_n(p.rgb.begin() + start, count, colour & 0xFFFFFFu);
    else
      std::fill_n(p.index.begin() + start, count, indexValue(p.format, colour));
  }
}

uint32_t qzpxmap_colour(const qzPixmap& p, int x, int y) {
  if (!inside(p, x, y)) return 0;
  if (isDirect(p.format)) return p.rgb[offset(p, x, y)];
  if (isPalette(p.format)) {
    const uint16_t i = p.index[offset(p, x, y)];
    return i < p.palette.size() ? (p.palette[i] & 0xFFFFFFu) : 0;
  }
  return 0;
}
