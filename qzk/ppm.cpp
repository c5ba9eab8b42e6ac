#include "qzk/ppm.h"

#include "qzk/log.h"
#include "qzk/picture_bytes.h"
#include "qzk/pixmap.h"

#include <cstdio>

namespace {

struct PpmHeader {
  bool binary = true;
  int64_t width = 0;
  int64_t height = 0;
  int64_t maxval = 0;
};

bool fail(const char* why) {
  qzlog("qzppm: %s\n", why);
  return false;
}

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

void skipSpaceAndComments(qzByteReader& r) {
  while (true) {
    const int c = r.peek();
    if (isSpace(c)) {
      r.u8();
    } else if (c == '#') {
      while (r.peek() >= 0 && r.peek() != '\n' && r.peek() != '\r') r.u8();
    } else {
      return;
    }
  }
}

// A decimal number of at most 9 digits after blanks and comments; -1 when none.
int64_t number(qzByteReader& r) {
  skipSpaceAndComments(r);
  int64_t v = 0;
  int digits = 0;
  while (r.peek() >= '0' && r.peek() <= '9') {
    if (++digits > 9) return -1;
    v = v * 10 + (r.u8() - '0');
  }
  return digits ? v : -1;
}

bool readHeader(qzByteReader& r, PpmHeader& h) {
  const uint8_t p = r.u8(), kind = r.u8();
  if (!r.ok() || p != 'P' || (kind != '6' && kind != '3')) return fail("not a P6 or P3 pixmap file");
  h.binary = kind == '6';
  h.width = number(r);
  h.height = number(r);
  h.maxval = number(r);
  if (h.width < 0 || h.height < 0 || h.maxval < 0) return fail("bad or truncated header");
  if (h.width == 0 || h.height == 0) return fail("zero width or height");
  if (h.maxval == 0 || h.maxval > 65535) return fail("maxval outside 1..65535");
  if (static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height) > kQzMaxPicturePixels)
    return fail("picture too large");
  // Exactly one blank separates the header from binary samples.
  if (h.binary && !isSpace(r.u8())) return fail("no blank after the header");
  return true;
}

uint32_t scale(int64_t v, int64_t maxval) {
  return static_cast<uint32_t>((v * 255 + maxval / 2) / maxval);
}

}  // namespace

bool qzppm_size(const uint8_t* data, size_t size, int& width, int& height) {
  qzByteReader r(data, size);
  PpmHeader h;
  if (!readHeader(r, h)) return false;
  width = static_cast<int>(h.width);
  height = static_cast<int>(h.height);
  return true;
}

bool qzppm_decode(const uint8_t* data, size_t size, qzPixmap& out) {
  qzByteReader r(data, size);
  PpmHeader h;
  if (!readHeader(r, h)) return false;
  const uint64_t samples = static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height) * 3;
  const int bytesPerSample = h.maxval > 255 ? 2 : 1;
  if (h.binary && samples * bytesPerSample > r.left()) return fail("truncated pixel data");
  // A text sample takes at least two bytes (a digit and a blank).
  if (!h.binary && samples > r.left() / 2 + 1) return fail("truncated pixel data");
  qzPixmap p;
  if (!qzpxmap_alloc(p, static_cast<int>(h.width), static_cast<int>(h.height), QZ_PX_TRUECOLOR)) return false;
  for (auto& px : p.rgb) {
    uint32_t c = 0;
    for (int k = 0; k < 3; ++k) {
      int64_t v;
      if (!h.binary)
        v = number(r);
      else if (bytesPerSample == 2)
        v = (int64_t{r.u8()} << 8) | r.u8();
      else
        v = r.u8();
      if (v < 0 || !r.ok()) return fail("truncated pixel data");
      if (v > h.maxval) return fail("sample above maxval");
      c = (c << 8) | scale(v, h.maxval);
    }
    px = c;
  }
  out = std::move(p);
  return true;
}

bool qzppm_encode(const qzPixmap& source, std::vector<uint8_t>& out) {
  qzPixmap storage;
  const qzPixmap* p = qzpxmap_truecolorview(source, storage);
  if (!p) return false;
  char header[64];
  std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", p->width, p->height);
  out.clear();
  qzputtext(out, header);
  out.reserve(out.size() + p->rgb.size() * 3);
  for (uint32_t c : p->rgb) {
    out.push_back(static_cast<uint8_t>(c >> 16));
    out.push_back(static_cast<uint8_t>(c >> 8));
    out.push_back(static_cast<uint8_t>(c));
  }
  return true;
}
