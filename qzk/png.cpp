#include "qzk/png.h"

#include "qzk/log.h"
#include "qzk/picture_bytes.h"
#include "qzk/pixmap.h"

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

void putChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size) {
  qzputbe32(out, static_cast<uint32_t>(size));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (size) out.insert(out.end(), data, data + size);
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + start, static_cast<uInt>(size + 4));
  qzputbe32(out, static_cast<uint32_t>(crc));
}

uint8_t paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Filters one row of RGB bytes with filter type f into out (without the
// type byte); returns the sum of the filtered bytes read as signed values.
uint64_t filterRow(int f, const uint8_t* cur, const uint8_t* prev, size_t n, uint8_t* out) {
  constexpr size_t bpp = 3;
  uint64_t cost = 0;
  for (size_t i = 0; i < n; ++i) {
    const int a = i >= bpp ? cur[i - bpp] : 0;
    const int b = prev[i];
    const int c = i >= bpp ? prev[i - bpp] : 0;
    int v = cur[i];
    switch (f) {
      case 1: v -= a; break;
      case 2: v -= b; break;
      case 3: v -= (a + b) / 2; break;
      case 4: v -= paeth(a, b, c); break;
      default: break;
    }
    out[i] = static_cast<uint8_t>(v);
    cost += static_cast<uint64_t>(std::abs(static_cast<int8_t>(out[i])));
  }
  return cost;
}

// The raw image data: per row one filter byte and the filtered bytes.
std::vector<uint8_t> filteredRows(const qzPixmap& p) {
  const size_t n = static_cast<size_t>(p.width) * 3;
  std::vector<uint8_t> raw((n + 1) * static_cast<size_t>(p.height));
  std::vector<uint8_t> cur(n), prev(n, 0);
  std::array<std::vector<uint8_t>, 5> trial;
  for (auto& t : trial) t.resize(n);
  for (int y = 0; y < p.height; ++y) {
    const uint32_t* row = p.row(y);
    for (int x = 0; x < p.width; ++x) {
      cur[3 * x] = static_cast<uint8_t>(row[x] >> 16);
      cur[3 * x + 1] = static_cast<uint8_t>(row[x] >> 8);
      cur[3 * x + 2] = static_cast<uint8_t>(row[x]);
    }
    int best = 0;
    uint64_t bestCost = UINT64_MAX;
    for (int f = 0; f < 5; ++f) {
      const uint64_t cost = filterRow(f, cur.data(), prev.data(), n, trial[f].data());
      if (cost < bestCost) {
        bestCost = cost;
        best = f;
      }
    }
    uint8_t* d = raw.data() + static_cast<size_t>(y) * (n + 1);
    d[0] = static_cast<uint8_t>(best);
    std::memcpy(d + 1, trial[best].data(), n);
    cur.swap(prev);
  }
  return raw;
}

}  // namespace

bool qzpng_encode(const qzPixmap& source, std::vector<uint8_t>& out) {
  if (source.width <= 0 || source.height <= 0) {
    qzlog("qzpng: cannot write a %d x %d picture\n", source.width, source.height);
    return false;
  }
  qzPixmap storage;
  const qzPixmap* p = qzpxmap_truecolorview(source, storage);
  if (!p) return false;
  const std::vector<uint8_t> raw = filteredRows(*p);
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) {
    qzlog("qzpng: deflate failed\n");
    return false;
  }
  out.clear();
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  out.insert(out.end(), signature, signature + 8);
  std::vector<uint8_t> ihdr;
  qzputbe32(ihdr, static_cast<uint32_t>(p->width));
  qzputbe32(ihdr, static_cast<uint32_t>(p->height));
  for (uint32_t b : {8u, 2u, 0u, 0u, 0u}) qzput8(ihdr, b);  // depth, RGB, deflate, adaptive, no interlace
  putChunk(out, "IHDR", ihdr.data(), ihdr.size());
  putChunk(out, "IDAT", packed.data(), packedSize);
  putChunk(out, "IEND", nullptr, 0);
  return true;
}
