// Conversions between the pixel formats and the palette reduction they
// share with the XPM writer.
#include "qzk/pixmap.h"

#include "qzk/log.h"

#include <array>
#include <unordered_map>

namespace {

bool isPalette(int format) { return format == QZ_PX_PALETTE8 || format == QZ_PX_PALETTE16; }

bool isDirect(int format) {
  return format == QZ_PX_TRUECOLOR || format == QZ_PX_SERVER || format == QZ_PX_SCREEN;
}

std::vector<uint32_t> paletteToColours(const qzPixmap& p) {
  std::vector<uint32_t> out(p.index.size());
  for (size_t i = 0; i < out.size(); ++i) {
    const uint16_t k = p.index[i];
    out[i] = k < p.palette.size() ? (p.palette[k] & 0xFFFFFFu) : 0;
  }
  return out;
}

// The pixmap as the palette format `format` of at most `maxColours`
// colours reduced from `colours` (its pixels, row by row).
bool toPalette(qzPixmap& p, const std::vector<uint32_t>& colours, size_t maxColours, int format) {
  std::vector<uint32_t> palette;
  std::vector<uint16_t> indices;
  if (!qzpxmap_reducecolours(colours, maxColours, palette, indices)) return false;
  p.palette = std::move(palette);
  p.index = std::move(indices);
  p.rgb.clear();
  p.rgb.shrink_to_fit();
  p.transparent = -1;
  p.format = format;
  return true;
}

// Exact palette of the pixels; false when they have more than max colours.
bool exactPalette(const std::vector<uint32_t>& pixels, size_t max, std::vector<uint32_t>& palette,
                  std::vector<uint16_t>& indices) {
  std::unordered_map<uint32_t, uint16_t> seen;
  std::vector<uint32_t> pal;
  std::vector<uint16_t> idx(pixels.size());
  uint32_t last = 0;
  uint16_t lastIndex = 0;
  bool haveLast = false;
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint32_t c = pixels[i] & 0xFFFFFFu;
    if (haveLast && c == last) {
      idx[i] = lastIndex;
      continue;
    }
    auto it = seen.find(c);
    if (it == seen.end()) {
      if (pal.size() >= max) return false;
      it = seen.emplace(c, static_cast<uint16_t>(pal.size())).first;
      pal.push_back(c);
    }
    idx[i] = it->second;
    last = c;
    lastIndex = it->second;
    haveLast = true;
  }
  palette = std::move(pal);
  indices = std::move(idx);
  return true;
}

uint32_t quantKey(uint32_t c, int drop) {
  const uint32_t m = (0xFFu << drop) & 0xFFu;
  return c & ((m << 16) | (m << 8) | m);
}

}  // namespace

bool qzpxmap_reducecolours(const std::vector<uint32_t>& pixels, size_t maxColours,
                           std::vector<uint32_t>& palette, std::vector<uint16_t>& indices) {
  if (maxColours < 1) return false;
  if (maxColours > 65536) maxColours = 65536;
  if (exactPalette(pixels, maxColours, palette, indices)) return true;
  for (int drop = 1; drop <= 8; ++drop) {
    std::vector<uint32_t> keys(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) keys[i] = quantKey(pixels[i], drop);
    std::vector<uint32_t> keyPalette;
    std::vector<uint16_t> idx;
    if (!exactPalette(keys, maxColours, keyPalette, idx)) continue;
    // Each entry becomes the mean of the true colours it stands for.
    std::vector<std::array<uint64_t, 4>> sums(keyPalette.size(), {0, 0, 0, 0});
    for (size_t i = 0; i < pixels.size(); ++i) {
      auto& s = sums[idx[i]];
      s[0] += (pixels[i] >> 16) & 0xFF;
      s[1] += (pixels[i] >> 8) & 0xFF;
      s[2] += pixels[i] & 0xFF;
      s[3] += 1;
    }
    palette.resize(keyPalette.size());
    for (size_t k = 0; k < sums.size(); ++k) {
      const auto& s = sums[k];
      palette[k] = static_cast<uint32_t>(((s[0] / s[3]) << 16) | ((s[1] / s[3]) << 8) | (s[2] / s[3]));
    }
    indices = std::move(idx);
    return true;
  }
  return false;  // unreachable: with all bits dropped there is one colour
}

bool qzpxmap_convert2truecolor(qzPixmap& p) {
  if (p.format == QZ_PX_TRUECOLOR) return true;
  if (isDirect(p.format)) {
    p.format = QZ_PX_TRUECOLOR;
    return true;
  }
  if (isPalette(p.format)) {
    p.rgb = paletteToColours(p);
    p.index.clear();
    p.index.shrink_to_fit();
    p.format = QZ_PX_TRUECOLOR;
    return true;
  }
  qzlog("qzpxmap_convert2truecolor: wrong format\n");
  return false;
}

bool qzpxmap_convert2palette8(qzPixmap& p) {
  if (p.format == QZ_PX_PALETTE8) return true;
  std::vector<uint32_t> colours;
  if (isDirect(p.format))
    colours = p.rgb;
  else if (p.format == QZ_PX_PALETTE16) {
    if (p.palette.size() <= 256) {
      // The indices already fit in a byte.
      for (auto& i : p.index)
        if (i >= p.palette.size()) i = 0;
      p.format = QZ_PX_PALETTE8;
      return true;
    }
    colours = paletteToColours(p);
  } else {
    qzlog("qzpxmap_convert2palette8: wrong format %d\n", p.format);
    return false;
  }
  return toPalette(p, colours, 256, QZ_PX_PALETTE8);
}

bool qzpxmap_convert2server(qzPixmap& p) {
  if (p.format == QZ_PX_SERVER) return true;
  if (p.format == QZ_PX_TRUECOLOR || p.format == QZ_PX_SCREEN || isPalette(p.format)) {
    qzpxmap_convert2truecolor(p);
    p.format = QZ_PX_SERVER;
    return true;
  }
  qzlog("qzpxmap_convert2server: unsupported format %d\n", p.format);
  return false;
}

bool qzpxmap_convert(qzPixmap& p, int format) {
  switch (format) {
    case QZ_PX_TRUECOLOR:
      return qzpxmap_convert2truecolor(p);
    case QZ_PX_PALETTE8:
      return qzpxmap_convert2palette8(p);
    case QZ_PX_SERVER:
      return qzpxmap_convert2server(p);
    case QZ_PX_PALETTE16: {
      if (p.format == QZ_PX_PALETTE16) return true;
      if (p.format == QZ_PX_PALETTE8) {
        p.format = QZ_PX_PALETTE16;
        return true;
      }
      if (!isDirect(p.format)) break;
      return toPalette(p, p.rgb, 65536, QZ_PX_PALETTE16);
    }
    default:
      break;
  }
  qzlog("qzpxmap_convert: format %d not supported\n", format);
  return false;
}

const qzPixmap* qzpxmap_truecolorview(const qzPixmap& p, qzPixmap& storage) {
  if (isDirect(p.format)) return &p;
  if (!isPalette(p.format)) {
    qzlog("qzpxmap_convert2truecolor: wrong format\n");
    return nullptr;
  }
  storage = p;
  qzpxmap_convert2truecolor(storage);
  return &storage;
}
