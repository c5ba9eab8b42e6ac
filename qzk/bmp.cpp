#include "qzk/bmp.h"

#include "qzk/log.h"
#include "qzk/picture_bytes.h"
#include "qzk/pixmap.h"

#include <bit>

namespace {

constexpr size_t kFileHeader = 14;

struct BmpHeader {
  uint32_t dataOffset = 0;
  uint32_t infoSize = 0;
  int64_t width = 0;
  int64_t height = 0;  // negative: rows top-down
  int bpp = 0;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  uint32_t masks[3] = {0, 0, 0};
  size_t paletteOffset = 0;
  int paletteEntrySize = 4;
};

bool fail(const char* why) {
  qzlog("qzbmp: %s\n", why);
  return false;
}

bool readHeader(qzByteReader& r, BmpHeader& h) {
  if (r.u8() != 'B' || r.u8() != 'M') return fail("not a bitmap file (no \"BM\")");
  r.skip(8);
  h.dataOffset = r.le32();
  h.infoSize = r.le32();
  if (!r.ok()) return fail("truncated header");
  if (h.infoSize == 12) {
    h.width = r.le16();
    h.height = static_cast<int16_t>(r.le16());
    r.le16();
    h.bpp = r.le16();
    h.paletteEntrySize = 3;
  } else if (h.infoSize >= 40 && h.infoSize <= 4096) {
    h.width = static_cast<int32_t>(r.le32());
    h.height = static_cast<int32_t>(r.le32());
    r.le16();
    h.bpp = r.le16();
    h.compression = r.le32();
    r.skip(12);
    h.coloursUsed = r.le32();
    r.le32();
    // Bit fields follow a 40-byte header, or are part of a longer one.
    if (h.compression == 3) {
      for (auto& m : h.masks) m = r.le32();
    }
  } else {
    return fail("unknown info header size");
  }
  if (!r.ok()) return fail("truncated header");
  h.paletteOffset = kFileHeader + h.infoSize + (h.infoSize == 40 && h.compression == 3 ? 12 : 0);
  return true;
}

bool checkSize(const BmpHeader& h) {
  if (h.width <= 0) return fail("zero or negative width");
  if (h.height == 0) return fail("zero height");
  const uint64_t rows = static_cast<uint64_t>(h.height < 0 ? -h.height : h.height);
  if (static_cast<uint64_t>(h.width) * rows > kQzMaxPicturePixels) return fail("picture too large");
  return true;
}

// One channel of a bit-field pixel, scaled to 0..255.
uint32_t channel(uint32_t v, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t bits = mask >> shift;
  const uint32_t value = (v & mask) >> shift;
  return static_cast<uint32_t>((uint64_t{value} * 255 + bits / 2) / bits);
}

bool readPalette(const uint8_t* data, size_t size, const BmpHeader& h, std::vector<uint32_t>& pal) {
  const uint32_t max = 1u << h.bpp;
  const uint32_t count = h.coloursUsed == 0 || h.coloursUsed > max ? max : h.coloursUsed;
  qzByteReader r(data, size);
  if (!r.seek(h.paletteOffset)) return fail("palette beyond the end of the file");
  pal.assign(max, 0);
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t b = r.u8(), g = r.u8(), rd = r.u8();
    if (h.paletteEntrySize == 4) r.u8();
    pal[i] = (rd << 16) | (g << 8) | b;
  }
  return r.ok() ? true : fail("truncated palette");
}

// RLE8: runs and literal stretches of palette indices, rows bottom-up.
// Pixels that runs put beyond a row's end or above the last row are
// dropped, and the log says how many: the picture is decoded clipped.
bool decodeRle8(qzByteReader& r, const BmpHeader& h, const std::vector<uint32_t>& pal, qzPixmap& p) {
  const int width = static_cast<int>(h.width), height = static_cast<int>(h.height);
  int x = 0, y = 0;  // y counts rows from the bottom
  uint64_t dropped = 0;
  auto put = [&](uint8_t index) {
    if (x < width && y < height)
      p.rgb[static_cast<size_t>(height - 1 - y) * width + x] = pal[index];
    else
      ++dropped;
    ++x;
  };
  auto clipped = [&] {
    if (dropped > 0)
      qzlog("qzbmp: RLE8 runs overrun the %d x %d picture by %llu pixels; decoded clipped\n", width, height,
            static_cast<unsigned long long>(dropped));
    return true;
  };
  while (true) {
    const uint8_t count = r.u8(), value = r.u8();
    if (!r.ok()) return fail("RLE data ends without end-of-bitmap");
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(value);
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return clipped();
    } else if (value == 2) {
      x += r.u8();
      y += r.u8();
    } else {
      const uint8_t* run = r.take(value);
      if (!run) return fail("RLE literal run beyond the end of the file");
      for (int i = 0; i < value; ++i) put(run[i]);
      if (value & 1) r.u8();
    }
    if (y > height) return clipped();  // past the last row: nothing more can be drawn
  }
}

bool decodeRows(qzByteReader& r, const BmpHeader& h, const std::vector<uint32_t>& pal, qzPixmap& p) {
  const int width = static_cast<int>(h.width);
  const bool topDown = h.height < 0;
  const int height = static_cast<int>(topDown ? -h.height : h.height);
  const uint64_t stride = (static_cast<uint64_t>(width) * h.bpp + 31) / 32 * 4;
  if (stride * height > r.left()) return fail("truncated pixel data");
  uint32_t masks[3] = {h.masks[0], h.masks[1], h.masks[2]};
  if (h.compression == 0 && h.bpp == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }
  for (int row = 0; row < height; ++row) {
    const uint8_t* s = r.take(stride);
    uint32_t* d = p.row(topDown ? row : height - 1 - row);
    for (int x = 0; x < width; ++x) {
      switch (h.bpp) {
        case 1: d[x] = pal[(s[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: d[x] = pal[(s[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]; break;
        case 8: d[x] = pal[s[x]]; break;
        case 24: d[x] = (uint32_t{s[3 * x + 2]} << 16) | (uint32_t{s[3 * x + 1]} << 8) | s[3 * x]; break;
        case 16:
        case 32: {
          uint32_t v = h.bpp == 16 ? (s[2 * x] | (s[2 * x + 1] << 8))
                                   : (s[4 * x] | (s[4 * x + 1] << 8) | (s[4 * x + 2] << 16) |
                                      (uint32_t{s[4 * x + 3]} << 24));
          if (h.compression == 0 && h.bpp == 32)
            d[x] = v & 0xFFFFFFu;
          else
            d[x] = (channel(v, masks[0]) << 16) | (channel(v, masks[1]) << 8) | channel(v, masks[2]);
          break;
        }
      }
    }
  }
  return true;
}

}  // namespace

bool qzbmp_size(const uint8_t* data, size_t size, int& width, int& height) {
  qzByteReader r(data, size);
  BmpHeader h;
  if (!readHeader(r, h) || !checkSize(h)) return false;
  width = static_cast<int>(h.width);
  height = static_cast<int>(h.height < 0 ? -h.height : h.height);
  return true;
}

bool qzbmp_decode(const uint8_t* data, size_t size, qzPixmap& out) {
  qzByteReader r(data, size);
  BmpHeader h;
  if (!readHeader(r, h) || !checkSize(h)) return false;
  const bool knownDepth = h.bpp == 1 || h.bpp == 4 || h.bpp == 8 || h.bpp == 16 || h.bpp == 24 || h.bpp == 32;
  if (!knownDepth) return fail("unsupported bits per pixel");
  const bool rle8 = h.compression == 1 && h.bpp == 8;
  const bool fields = h.compression == 3 && (h.bpp == 16 || h.bpp == 32);
  if (h.compression != 0 && !rle8 && !fields) return fail("unsupported compression");
  if (fields && (h.masks[0] | h.masks[1] | h.masks[2]) == 0) return fail("bit fields without masks");
  if (rle8 && h.height < 0) return fail("top-down RLE bitmap");
  std::vector<uint32_t> pal;
  if (h.bpp <= 8 && !readPalette(data, size, h, pal)) return false;
  if (!r.seek(h.dataOffset) || h.dataOffset < kFileHeader + 12) return fail("pixel data offset outside the file");
  // The pixel data must be there before the picture is allocated. RLE
  // data is allowed up to 1024 pixels a byte: a plain page runs at about
  // 127, only deltas over empty parts go further, and a few bytes of
  // header must not claim a gigabyte.
  const int height = static_cast<int>(h.height < 0 ? -h.height : h.height);
  const uint64_t pixels = static_cast<uint64_t>(h.width) * static_cast<uint64_t>(height);
  const uint64_t stride = (static_cast<uint64_t>(h.width) * h.bpp + 31) / 32 * 4;
  if (!rle8 && stride * height > r.left()) return fail("truncated pixel data");
  if (rle8 && pixels / 1024 > r.left()) return fail("too little RLE data for the picture size");
  qzPixmap p;
  if (!qzpxmap_alloc(p, static_cast<int>(h.width), height, QZ_PX_TRUECOLOR)) return false;
  if (!(rle8 ? decodeRle8(r, h, pal, p) : decodeRows(r, h, pal, p))) return false;
  out = std::move(p);
  return true;
}

bool qzbmp_encode(const qzPixmap& source, std::vector<uint8_t>& out) {
  qzPixmap storage;
  const qzPixmap* truecolor = qzpxmap_truecolorview(source, storage);
  if (!truecolor) return false;
  const qzPixmap& p = *truecolor;
  const uint32_t rowBytes = static_cast<uint32_t>(p.width) * 3 + static_cast<uint32_t>(p.width % 4);
  out.clear();
  out.reserve(54 + static_cast<size_t>(rowBytes) * p.height);
  qzputtext(out, "BM");
  qzputle32(out, 54 + static_cast<uint32_t>(p.height) * rowBytes);
  qzputle16(out, 0);
  qzputle16(out, 0);
  qzputle32(out, 54);
  qzputle32(out, 40);
  qzputle32(out, static_cast<uint32_t>(p.width));
  qzputle32(out, static_cast<uint32_t>(p.height));
  qzputle16(out, 1);
  qzputle16(out, 24);
  for (int i = 0; i < 6; ++i) qzputle32(out, 0);  // compression, image size, resolutions, colours
  for (int y = p.height - 1; y >= 0; --y) {
    const uint32_t* row = p.row(y);
    for (int x = 0; x < p.width; ++x) {
      out.push_back(static_cast<uint8_t>(row[x]));
      out.push_back(static_cast<uint8_t>(row[x] >> 8));
      out.push_back(static_cast<uint8_t>(row[x] >> 16));
    }
    out.insert(out.end(), static_cast<size_t>(p.width % 4), 0);
  }
  return true;
}
