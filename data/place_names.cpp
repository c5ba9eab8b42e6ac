#include "data/place_names.h"

#include <cstdint>
#include <string_view>

namespace {

// U+0100 .. U+017F (Latin Extended-A), one base letter each; "J" stands for
// "ij" and "O" for "oe".
constexpr char kExtendedA[] =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiJJjjkkkllllllllllnnnnnnnnnooooooOOrrrrrrssssssss"
    "ttttttuuuuuuuuuuuuwwyyyzzzzzzs";
static_assert(sizeof kExtendedA == 129, "one letter for each of U+0100 .. U+017F");

// U+00C0 .. U+00FF (Latin-1 letters); "*" is the multiplication and
// division sign, a word separator; "A" "ae", "T" "th", "S" "ss".
constexpr char kLatin1[] = "aaaaaaAceeeeiiiidnooooo*ouuuuyTSaaaaaaAceeeeiiiidnooooo*ouuuuyTy";
static_assert(sizeof kLatin1 == 65, "one letter for each of U+00C0 .. U+00FF");

struct Range {
  char32_t first, last;
  const char* base;
};

// The letters of Latin Extended-B, the IPA schwa and Latin Extended
// Additional that place names use, by ranges of one base letter.
constexpr Range kOtherLatin[] = {
    {0x0180, 0x0180, "b"}, {0x0189, 0x0189, "d"}, {0x018F, 0x018F, "e"}, {0x0192, 0x0192, "f"},
    {0x0197, 0x0197, "i"}, {0x019A, 0x019A, "l"}, {0x019F, 0x01A1, "o"}, {0x01AF, 0x01B0, "u"},
    {0x01B5, 0x01B6, "z"}, {0x01CD, 0x01CE, "a"}, {0x01CF, 0x01D0, "i"}, {0x01D1, 0x01D2, "o"},
    {0x01D3, 0x01DC, "u"}, {0x01DD, 0x01DD, "e"}, {0x01DE, 0x01E1, "a"}, {0x01E2, 0x01E3, "ae"},
    {0x01E4, 0x01E7, "g"}, {0x01E8, 0x01E9, "k"}, {0x01EA, 0x01ED, "o"}, {0x01F0, 0x01F0, "j"},
    {0x01F4, 0x01F5, "g"}, {0x01F8, 0x01F9, "n"}, {0x01FA, 0x01FB, "a"}, {0x01FC, 0x01FD, "ae"},
    {0x01FE, 0x01FF, "o"}, {0x0200, 0x0203, "a"}, {0x0204, 0x0207, "e"}, {0x0208, 0x020B, "i"},
    {0x020C, 0x020F, "o"}, {0x0210, 0x0213, "r"}, {0x0214, 0x0217, "u"}, {0x0218, 0x0219, "s"},
    {0x021A, 0x021B, "t"}, {0x0259, 0x0259, "e"},
    {0x1E00, 0x1E01, "a"}, {0x1E02, 0x1E07, "b"}, {0x1E08, 0x1E09, "c"}, {0x1E0A, 0x1E13, "d"},
    {0x1E14, 0x1E1D, "e"}, {0x1E1E, 0x1E1F, "f"}, {0x1E20, 0x1E21, "g"}, {0x1E22, 0x1E2B, "h"},
    {0x1E2C, 0x1E2F, "i"}, {0x1E30, 0x1E35, "k"}, {0x1E36, 0x1E3D, "l"}, {0x1E3E, 0x1E43, "m"},
    {0x1E44, 0x1E4B, "n"}, {0x1E4C, 0x1E53, "o"}, {0x1E54, 0x1E57, "p"}, {0x1E58, 0x1E5F, "r"},
    {0x1E60, 0x1E69, "s"}, {0x1E6A, 0x1E71, "t"}, {0x1E72, 0x1E7B, "u"}, {0x1E7C, 0x1E7F, "v"},
    {0x1E80, 0x1E89, "w"}, {0x1E8A, 0x1E8D, "x"}, {0x1E8E, 0x1E8F, "y"}, {0x1E90, 0x1E95, "z"},
    {0x1E96, 0x1E96, "h"}, {0x1E97, 0x1E97, "t"}, {0x1E98, 0x1E98, "w"}, {0x1E99, 0x1E99, "y"},
    {0x1E9A, 0x1E9A, "a"}, {0x1E9B, 0x1E9B, "s"}, {0x1E9E, 0x1E9E, "ss"}, {0x1EA0, 0x1EB7, "a"},
    {0x1EB8, 0x1EC7, "e"}, {0x1EC8, 0x1ECB, "i"}, {0x1ECC, 0x1EE3, "o"}, {0x1EE4, 0x1EF1, "u"},
    {0x1EF2, 0x1EF9, "y"},
};

// Apostrophes of every kind, dropped from a name.
bool IsApostrophe(char32_t c) {
  return c == '\'' || c == '`' || c == 0x2018 || c == 0x2019 || c == 0x02BB || c == 0x02BC || c == 0x02BE ||
         c == 0x02BF || c == 0x00B4;
}

// Decodes one UTF-8 character at s[i], advancing i; a byte that starts no
// valid sequence comes back as itself with `valid` false.
char32_t Next(std::string_view s, size_t& i, bool& valid) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = byte(i);
  const int follow = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
  valid = follow >= 0 && i + follow < s.size();
  char32_t code = follow <= 0 ? c : follow == 1 ? (c & 0x1F) : follow == 2 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; valid && k <= follow; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) valid = false;
    code = code << 6 | (byte(i + k) & 0x3F);
  }
  if (!valid) {
    ++i;
    return c;
  }
  i += follow + 1;
  return code;
}

constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz";

// The ASCII base of a Latin letter ("" when the character is none).
std::string_view LatinBase(char32_t c, bool german) {
  if (german) {
    if (c == 0xC4 || c == 0xE4) return "ae";
    if (c == 0xD6 || c == 0xF6) return "oe";
    if (c == 0xDC || c == 0xFC) return "ue";
  }
  char b = 0;
  if (c >= 0xC0 && c <= 0xFF) b = kLatin1[c - 0xC0];
  else if (c >= 0x100 && c <= 0x17F) b = kExtendedA[c - 0x100];
  switch (b) {
    case 0: break;
    case 'A': return "ae";
    case 'T': return "th";
    case 'S': return "ss";
    case 'J': return "ij";
    case 'O': return "oe";
    case '*': return " ";
    default: return kLetters.substr(static_cast<size_t>(b - 'a'), 1);
  }
  for (const Range& r : kOtherLatin)
    if (c >= r.first && c <= r.last) return r.base;
  return "";
}

std::string Fold(std::string_view name, bool german) {
  std::string out;
  out.reserve(name.size());
  bool gap = false;  // a separator is pending
  auto put = [&](std::string_view text) {
    if (gap && !out.empty()) out += ' ';
    gap = false;
    out += text;
  };
  auto putc = [&](char c) {
    if (gap && !out.empty()) out += ' ';
    gap = false;
    out += c;
  };
  for (size_t i = 0; i < name.size();) {
    const size_t start = i;
    bool valid = true;
    const char32_t c = Next(name, i, valid);
    if (!valid) {
      put(name.substr(start, 1));
      continue;
    }
    if (c < 0x80) {
      if (c >= 'A' && c <= 'Z') putc(static_cast<char>(c + 32));
      else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) putc(static_cast<char>(c));
      else if (!IsApostrophe(c)) gap = true;
      continue;
    }
    if (IsApostrophe(c)) continue;
    const std::string_view base = LatinBase(c, german);
    if (base == " ") gap = true;
    else if (!base.empty()) put(base);
    else if (c < 0xC0 || (c >= 0x2000 && c <= 0x206F) || c == 0x3000) gap = true;  // marks, blanks, dashes
    else put(name.substr(start, i - start));  // another script
  }
  return out;
}

}  // namespace

std::string FoldPlaceName(std::string_view name) { return Fold(name, false); }

std::string FoldGermanName(std::string_view name) { return Fold(name, true); }

bool IsLatinName(std::string_view name) {
  for (size_t i = 0; i < name.size();) {
    bool valid = true;
    const char32_t c = Next(name, i, valid);
    if (!valid) return false;
    if (c < 0xC0 || IsApostrophe(c) || (c >= 0x2000 && c <= 0x206F)) continue;
    if (LatinBase(c, false).empty()) return false;
  }
  return true;
}
