// UTF-8 decoding for the fonts, with invalid bytes taken as Latin-1.
#include "qzk/font_text.h"

namespace {

bool continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

int qzfont_nextcode(const char*& p) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
  const unsigned char c = s[0];
  if (c == 0) return 0;
  int length = 0;
  int cp = 0;
  int least = 0;
  if (c >= 0xC2 && c <= 0xDF) length = 2, cp = c & 0x1F, least = 0x80;
  else if (c >= 0xE0 && c <= 0xEF) length = 3, cp = c & 0x0F, least = 0x800;
  else if (c >= 0xF0 && c <= 0xF4) length = 4, cp = c & 0x07, least = 0x10000;
  if (length > 0) {
    int i = 1;
    for (; i < length && continuation(s[i]); ++i) cp = (cp << 6) | (s[i] & 0x3F);
    const bool whole = i == length && cp >= least && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    if (whole) {
      p += length;
      return cp;
    }
  }
  ++p;  // ASCII, or a byte that is not valid UTF-8: itself as Latin-1
  return c;
}

int qzfont_displaycode(int codepoint) {
  if (codepoint < 32) return -1;
  if (codepoint > 255) return '?';
  return codepoint;
}
