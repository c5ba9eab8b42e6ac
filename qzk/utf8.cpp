#include "qzk/utf8.h"

#include <algorithm>

namespace {
bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }
char continuation(unsigned code, int shift) { return static_cast<char>(0x80 | ((code >> shift) & 0x3F)); }
}  // namespace

void qzutf8_append(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += continuation(code, 0);
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += continuation(code, 6);
    out += continuation(code, 0);
  } else {
    out += static_cast<char>(0xF0 | ((code >> 18) & 0x07));
    out += continuation(code, 12);
    out += continuation(code, 6);
    out += continuation(code, 0);
  }
}

std::string qzutf8_of(unsigned code) {
  std::string out;
  qzutf8_append(out, code);
  return out;
}

size_t qzutf8_count(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s)
    if (!is_continuation(c)) ++n;
  return n;
}

size_t qzutf8_prev(const std::string& s, size_t pos) {
  pos = std::min(pos, s.size());
  if (pos == 0) return 0;
  --pos;
  while (pos > 0 && is_continuation(static_cast<unsigned char>(s[pos]))) --pos;
  return pos;
}

size_t qzutf8_next(const std::string& s, size_t pos) {
  if (pos >= s.size()) return s.size();
  ++pos;
  while (pos < s.size() && is_continuation(static_cast<unsigned char>(s[pos]))) ++pos;
  return pos;
}

size_t qzutf8_start(const std::string& s, size_t pos) {
  pos = std::min(pos, s.size());
  while (pos > 0 && pos < s.size() && is_continuation(static_cast<unsigned char>(s[pos]))) --pos;
  return pos;
}
