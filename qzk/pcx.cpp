#include "qzk/pcx.h"

#include "qzk/log.h"
#include "qzk/picture_bytes.h"
#include "qzk/pixmap.h"

namespace {

constexpr size_t kHeader = 128;
constexpr size_t kPaletteTail = 769;  // the marker 12 and 256 RGB triples

struct PcxHeader {
  int bpp = 0;
  int planes = 0;
  int bytesPerLine = 0;
  int width = 0;
  int height = 0;
  uint8_t headerPalette[48] = {};
};

bool fail(const char* why) {
  qzlog("qzpcx: %s\n", why);
  return false;
}

bool readHeader(qzByteReader& r, PcxHeader& h) {
  if (r.size() < kHeader) return fail("truncated header");
  if (r.u8() != 0x0A) return fail("not a PCX file");
  r.u8();  // version
  if (r.u8() != 1) return fail("not run-length encoded");
  h.bpp = r.u8();
  const int xmin = r.le16(), ymin = r.le16(), xmax = r.le16(), ymax = r.le16();
  r.skip(4);
  const uint8_t* pal = r.take(48);
  for (int i = 0; i < 48; ++i) h.headerPalette[i] = pal[i];
  r.u8();
  h.planes = r.u8();
  h.bytesPerLine = r.le16();
  if (!r.ok()) return fail("truncated header");
  if (xmax < xmin || ymax < ymin) return fail("zero or negative width or height");
  h.width = xmax - xmin + 1;
  h.height = ymax - ymin + 1;
  const bool known = (h.bpp == 8 && (h.planes == 1 || h.planes == 3 || h.planes == 4)) ||
                     (h.bpp == 1 && h.planes >= 1 && h.planes <= 4);
  if (!known) return fail("unsupported bits per pixel and planes");
  if (int64_t{h.bytesPerLine} * 8 < int64_t{h.width} * h.bpp) return fail("bytes per line too small for the width");
  if (static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height) > kQzMaxPicturePixels)
    return fail("picture too large");
  return r.seek(kHeader);
}

// The colours of a picture of 1-bit planes. One plane: the header's first
// two colours, or black and white when both are black (a file that does
// not fill them in). Two to four planes: the header's 16 colours, or the
// standard 16 colours of the PC's screen when the header holds none.
std::vector<uint32_t> planarPalette(const PcxHeader& h) {
  static constexpr uint32_t kStandard[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                             0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                             0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
  std::vector<uint32_t> pal(16, 0);
  bool empty = true;
  for (int i = 0; i < 16; ++i) {
    const uint8_t* c = h.headerPalette + 3 * i;
    pal[i] = (uint32_t{c[0]} << 16) | (uint32_t{c[1]} << 8) | c[2];
    if (i < (h.planes == 1 ? 2 : 16)) empty = empty && pal[i] == 0;
  }
  if (empty && h.planes == 1) pal[1] = 0xFFFFFF;
  if (empty && h.planes > 1) pal.assign(std::begin(kStandard), std::end(kStandard));
  return pal;
}

// Run-length decoding; a run may go on into the next line.
class RleReader {
 public:
  explicit RleReader(qzByteReader& r) : r_(r) {}
  bool line(std::vector<uint8_t>& buf) {
    for (auto& b : buf) {
      if (count_ == 0) {
        const uint8_t c = r_.u8();
        if (c >= 0xC0) {
          count_ = c & 0x3F;
          value_ = r_.u8();
        } else {
          count_ = 1;
          value_ = c;
        }
        if (!r_.ok()) return false;
        if (count_ == 0) return false;  // a run of zero bytes is malformed
      }
      b = value_;
      --count_;
    }
    return true;
  }

 private:
  qzByteReader& r_;
  int count_ = 0;
  uint8_t value_ = 0;
};

void encodeLine(const uint8_t* s, size_t n, std::vector<uint8_t>& out) {
  size_t i = 0;
  while (i < n) {
    size_t run = 1;
    while (i + run < n && run < 63 && s[i + run] == s[i]) ++run;
    if (run > 1 || s[i] >= 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
    out.push_back(s[i]);
    i += run;
  }
}

void putHeader(std::vector<uint8_t>& out, int width, int height, int planes, int bytesPerLine) {
  qzput8(out, 0x0A);
  qzput8(out, 5);
  qzput8(out, 1);
  qzput8(out, 8);
  qzputle16(out, 0);
  qzputle16(out, 0);
  qzputle16(out, static_cast<uint32_t>(width - 1));
  qzputle16(out, static_cast<uint32_t>(height - 1));
  qzputle16(out, 72);
  qzputle16(out, 72);
  out.insert(out.end(), 48, 0);
  qzput8(out, 0);
  qzput8(out, static_cast<uint32_t>(planes));
  qzputle16(out, static_cast<uint32_t>(bytesPerLine));
  qzputle16(out, 1);
  out.insert(out.end(), kHeader - out.size(), 0);
}

}  // namespace

bool qzpcx_size(const uint8_t* data, size_t size, int& width, int& height) {
  qzByteReader r(data, size);
  PcxHeader h;
  if (!readHeader(r, h)) return false;
  width = h.width;
  height = h.height;
  return true;
}

bool qzpcx_decode(const uint8_t* data, size_t size, qzPixmap& out) {
  qzByteReader r(data, size);
  PcxHeader h;
  if (!readHeader(r, h)) return false;
  std::vector<uint32_t> pal(256, 0);
  size_t end = size;
  if (h.bpp == 8 && h.planes == 1) {
    if (size < kHeader + kPaletteTail || data[size - kPaletteTail] != 12) return fail("256-colour palette missing");
    end = size - kPaletteTail;
    const uint8_t* t = data + size - 768;
    for (int i = 0; i < 256; ++i) pal[i] = (uint32_t{t[3 * i]} << 16) | (uint32_t{t[3 * i + 1]} << 8) | t[3 * i + 2];
  } else if (h.bpp == 1) {
    pal = planarPalette(h);
  }
  // Every encoded byte gives at most 63 pixels' bytes: a quick bound
  // before the allocation.
  const uint64_t need = uint64_t{static_cast<uint32_t>(h.bytesPerLine)} * h.planes * h.height;
  if (need > (end - kHeader) * 63) return fail("truncated pixel data");
  qzByteReader body(data, end);
  body.seek(kHeader);
  qzPixmap p;
  if (!qzpxmap_alloc(p, h.width, h.height, QZ_PX_TRUECOLOR)) return false;
  RleReader rle(body);
  std::vector<uint8_t> line(static_cast<size_t>(h.bytesPerLine) * h.planes);
  for (int y = 0; y < h.height; ++y) {
    if (!rle.line(line)) return fail("truncated pixel data");
    uint32_t* d = p.row(y);
    const uint8_t* s = line.data();
    const size_t bpl = static_cast<size_t>(h.bytesPerLine);
    for (int x = 0; x < h.width; ++x) {
      if (h.bpp == 1) {
        // Plane k holds bit k of the colour's number.
        unsigned index = 0;
        for (int k = 0; k < h.planes; ++k) index |= ((s[k * bpl + (x >> 3)] >> (7 - (x & 7))) & 1u) << k;
        d[x] = pal[index];
      } else if (h.planes == 1) {
        d[x] = pal[s[x]];
      } else {
        d[x] = (uint32_t{s[x]} << 16) | (uint32_t{s[bpl + x]} << 8) | s[2 * bpl + x];
      }
    }
  }
  out = std::move(p);
  return true;
}

bool qzpcx_encode(const qzPixmap& source, std::vector<uint8_t>& out) {
  if (source.width <= 0 || source.height <= 0 || source.width > 65535 || source.height > 65535) {
    qzlog("qzpcx: cannot write a %d x %d picture\n", source.width, source.height);
    return false;
  }
  const bool indexed = source.format == QZ_PX_PALETTE8 && source.palette.size() <= 256;
  qzPixmap storage;
  const qzPixmap* p = indexed ? &source : qzpxmap_truecolorview(source, storage);
  if (!p) return false;
  const int bpl = (p->width + 1) & ~1;  // lines of an even number of bytes
  out.clear();
  putHeader(out, p->width, p->height, indexed ? 1 : 3, bpl);
  std::vector<uint8_t> plane(static_cast<size_t>(bpl), 0);
  for (int y = 0; y < p->height; ++y) {
    const size_t at = static_cast<size_t>(y) * p->width;
    if (indexed) {
      for (int x = 0; x < p->width; ++x) plane[x] = static_cast<uint8_t>(p->index[at + x]);
      encodeLine(plane.data(), plane.size(), out);
      continue;
    }
    for (int shift = 16; shift >= 0; shift -= 8) {
      for (int x = 0; x < p->width; ++x) plane[x] = static_cast<uint8_t>(p->rgb[at + x] >> shift);
      encodeLine(plane.data(), plane.size(), out);
    }
  }
  if (indexed) {
    qzput8(out, 12);
    for (size_t i = 0; i < 256; ++i) {
      const uint32_t c = i < p->palette.size() ? p->palette[i] : 0;
      qzput8(out, c >> 16);
      qzput8(out, c >> 8);
      qzput8(out, c);
    }
  }
  return true;
}
