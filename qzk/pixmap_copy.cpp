// Copying pixmaps: duplicates, new sizes and merging one into another.
#include "qzk/pixmap.h"

#include "qzk/log.h"

#include <algorithm>

namespace {

bool isPalette(int format) { return format == QZ_PX_PALETTE8 || format == QZ_PX_PALETTE16; }

bool isDirect(int format) {
  return format == QZ_PX_TRUECOLOR || format == QZ_PX_SERVER || format == QZ_PX_SCREEN;
}

size_t at(const qzPixmap& p, int x, int y) {
  return static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x);
}

// A blank pixmap of the given size that keeps p's palette settings.
bool blankLike(const qzPixmap& p, qzPixmap& out, int width, int height) {
  out = qzPixmap{};
  out.palette = p.palette;
  out.transparent = p.transparent;
  out.paletteCode = p.paletteCode;
  return qzpxmap_alloc(out, width, height, p.format);
}

// Copies the pixel at (sx, sy) of src to (dx, dy) of dst; same format family.
void copyPixel(const qzPixmap& src, int sx, int sy, qzPixmap& dst, int dx, int dy) {
  if (isDirect(src.format))
    dst.rgb[at(dst, dx, dy)] = src.rgb[at(src, sx, sy)];
  else
    dst.index[at(dst, dx, dy)] = src.index[at(src, sx, sy)];
}

}  // namespace

bool qzpxmap_duplicate(const qzPixmap& src, qzPixmap& dst) {
  return qzpxmap_duplicate(src, dst, 0, 0, -1, -1);
}

bool qzpxmap_duplicate(const qzPixmap& src, qzPixmap& dst, int x, int y, int width, int height) {
  if (!isDirect(src.format) && !isPalette(src.format)) {
    qzlog("qzpxmap_duplicate: wrong format\n");
    return false;
  }
  if (width < 0 || height < 0) {
    x = 0;
    y = 0;
    width = src.width;
    height = src.height;
  }
  const int x0 = std::clamp(x, 0, src.width), y0 = std::clamp(y, 0, src.height);
  const int x1 = static_cast<int>(std::clamp<int64_t>(int64_t{x} + width, x0, src.width));
  const int y1 = static_cast<int>(std::clamp<int64_t>(int64_t{y} + height, y0, src.height));
  qzPixmap out;
  if (!blankLike(src, out, x1 - x0, y1 - y0)) return false;
  for (int row = y0; row < y1; ++row)
    for (int col = x0; col < x1; ++col) copyPixel(src, col, row, out, col - x0, row - y0);
  dst = std::move(out);
  return true;
}

bool qzpxmap_resize(qzPixmap& p, int width, int height) {
  if (!isDirect(p.format) && !isPalette(p.format)) {
    qzlog("qzpxmap_resize: wrong format %d\n", p.format);
    return false;
  }
  qzPixmap out;
  if (!blankLike(p, out, width, height)) return false;
  const int w = std::min(width, p.width), h = std::min(height, p.height);
  for (int row = 0; row < h; ++row)
    for (int col = 0; col < w; ++col) copyPixel(p, col, row, out, col, row);
  p = std::move(out);
  return true;
}

bool qzpxmap_scale(qzPixmap& p, int width, int height) {
  if (!isDirect(p.format) && !isPalette(p.format)) {
    qzlog("qzpxmap_resize: wrong format %d\n", p.format);
    return false;
  }
  if (width == p.width && height == p.height) return true;
  qzPixmap out;
  if (!blankLike(p, out, width, height)) return false;
  if (p.width == 0 || p.height == 0) {
    p = std::move(out);
    return true;
  }
  for (int row = 0; row < height; ++row) {
    const int sy = static_cast<int>(int64_t{row} * p.height / height);
    for (int col = 0; col < width; ++col)
      copyPixel(p, static_cast<int>(int64_t{col} * p.width / width), sy, out, col, row);
  }
  p = std::move(out);
  return true;
}

bool qzpxmap_merge(const qzPixmap& src, qzPixmap& dst, int x, int y) {
  const bool srcKnown = isDirect(src.format) || isPalette(src.format);
  if (dst.format == QZ_PX_SCREEN) {
    qzlog("qzpxmap_merge: unsupported formats: %d -> screen\n", src.format);
    return false;
  }
  if (dst.format == QZ_PX_SERVER && !srcKnown) {
    qzlog("qzpxmap_merge: unsupported formats: %d -> server\n", src.format);
    return false;
  }
  if (dst.format == QZ_PX_PALETTE8 && isDirect(src.format)) {
    qzlog("qzpxmap_merge_truecolortopal8: not implemented\n");
    return false;
  }
  if (dst.format == QZ_PX_PALETTE8 && src.format == QZ_PX_PALETTE8 && src.paletteCode != dst.paletteCode) {
    qzlog("qzpxmap_merge_pal8topal8: wrong PaletteCode (%d)\n", src.paletteCode);
    return false;
  }
  const bool toDirect = (dst.format == QZ_PX_TRUECOLOR || dst.format == QZ_PX_SERVER) && srcKnown;
  const bool pal8 = dst.format == QZ_PX_PALETTE8 && src.format == QZ_PX_PALETTE8;
  if (!toDirect && !pal8) {
    qzlog("qzpxmap_merge: unsupported formats: %d -> %d\n", src.format, dst.format);
    return false;
  }
  const int x0 = std::max(0, -x), y0 = std::max(0, -y);
  const int x1 = static_cast<int>(std::min<int64_t>(src.width, int64_t{dst.width} - x));
  const int y1 = static_cast<int>(std::min<int64_t>(src.height, int64_t{dst.height} - y));
  for (int row = y0; row < y1; ++row) {
    for (int col = x0; col < x1; ++col) {
      const size_t d = at(dst, col + x, row + y);
      if (isDirect(src.format)) {
        dst.rgb[d] = src.rgb[at(src, col, row)];
        continue;
      }
      const uint16_t i = src.index[at(src, col, row)];
      if (src.transparent >= 0 && i == src.transparent) continue;
      if (pal8)
        dst.index[d] = i;
      else
        dst.rgb[d] = i < src.palette.size() ? (src.palette[i] & 0xFFFFFFu) : 0;
    }
  }
  return true;
}
