// Code pages of dBase tables, decoded to UTF-8. The tables give the
// Unicode code point of every byte from 0x80 up, transcribed from the
// Unicode consortium's mapping files (VENDORS/MICSFT/PC/CP437.TXT,
// CP850.TXT and WINDOWS/CP1252.TXT); the five bytes that Windows ANSI
// leaves undefined decode to U+FFFD.
#include "qzk/xbase_codepage.h"

#include <array>
#include <cstddef>

namespace {

using UpperHalf = std::array<char16_t, 128>;

constexpr UpperHalf kCp437 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

constexpr UpperHalf kCp850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Windows ANSI: from 0xA0 up it is Latin-1.
constexpr std::array<char16_t, 32> kCp1252 = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,  // 88
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,  // 98
};

void put_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t decode_byte(unsigned char b, qzCodePage page) {
  if (b < 0x80) return b;
  switch (page) {
    case qzCodePage::cp437: return kCp437[b - 0x80];
    case qzCodePage::cp850: return kCp850[b - 0x80];
    case qzCodePage::cp1252: return b < 0xA0 ? kCp1252[b - 0x80] : b;
    default: return b;  // Latin-1
  }
}

// The length of the well-formed UTF-8 sequence at s[k], 0 if it is broken.
size_t utf8_sequence(std::string_view s, size_t k) {
  const auto byte = [&](size_t at) { return static_cast<unsigned char>(s[at]); };
  const unsigned char lead = byte(k);
  size_t n;
  char32_t c;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) n = 2, c = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF) n = 3, c = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4) n = 4, c = lead & 0x07;
  else return 0;
  if (k + n > s.size()) return 0;
  for (size_t j = 1; j < n; ++j) {
    if ((byte(k + j) & 0xC0) != 0x80) return 0;
    c = c << 6 | (byte(k + j) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are broken too.
  if ((n == 3 && c < 0x800) || (n == 4 && c < 0x10000) || c > 0x10FFFF ||
      (c >= 0xD800 && c <= 0xDFFF))
    return 0;
  return n;
}

struct Name {
  const char* text;
  qzCodePage page;
};
constexpr std::array<Name, 8> kNames = {{{"cp1252", qzCodePage::cp1252},
                                         {"cp850", qzCodePage::cp850},
                                         {"cp437", qzCodePage::cp437},
                                         {"latin-1", qzCodePage::latin1},
                                         {"latin1", qzCodePage::latin1},
                                         {"iso-8859-1", qzCodePage::latin1},
                                         {"utf-8", qzCodePage::utf8},
                                         {"utf8", qzCodePage::utf8}}};

}  // namespace

bool qzxbase_codepage_from_name(std::string_view name, qzCodePage& page) {
  for (const Name& known : kNames) {
    std::string_view text = known.text;
    if (text.size() != name.size()) continue;
    bool same = true;
    for (size_t k = 0; k < text.size() && same; ++k) {
      char c = name[k];
      same = (c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) == text[k];
    }
    if (same) {
      page = known.page;
      return true;
    }
  }
  return false;
}

const char* qzxbase_codepage_name(qzCodePage page) {
  switch (page) {
    case qzCodePage::cp1252: return "cp1252";
    case qzCodePage::cp850: return "cp850";
    case qzCodePage::cp437: return "cp437";
    case qzCodePage::latin1: return "latin-1";
    case qzCodePage::utf8: return "utf-8";
  }
  return "cp1252";
}

qzCodePage qzxbase_codepage_of_language(int language_byte) {
  switch (language_byte) {
    // DOS USA and the national DOS drivers on code page 437 (Dutch,
    // Finnish, French, German, Italian, Swedish, Spanish, English).
    case 0x01: case 0x09: case 0x0B: case 0x0D: case 0x0F: case 0x11:
    case 0x15: case 0x18: case 0x19: case 0x1B:
      return qzCodePage::cp437;
    // DOS multilingual and the national drivers on code page 850.
    case 0x02: case 0x0A: case 0x0E: case 0x10: case 0x12: case 0x14:
    case 0x16: case 0x1A: case 0x1D: case 0x25: case 0x37:
      return qzCodePage::cp850;
    default: return qzCodePage::cp1252;  // 0x03, 0x57, 0x58, 0x59 and all others
  }
}

std::string qzxbase_to_utf8(std::string_view bytes, qzCodePage page) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  if (page != qzCodePage::utf8) {
    for (char b : bytes) put_utf8(out, decode_byte(static_cast<unsigned char>(b), page));
    return out;
  }
  for (size_t k = 0; k < bytes.size();) {
    size_t n = utf8_sequence(bytes, k);
    if (n == 0) {
      put_utf8(out, 0xFFFD);
      ++k;
    } else {
      out.append(bytes.substr(k, n));
      k += n;
    }
  }
  return out;
}
