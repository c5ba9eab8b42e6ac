// The values items carry: captions with hotkeys, hotkey names, numbers
// with units, colours and fonts.
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "qzk/font.h"
#include "qzk/log.h"
#include "qzk/options.h"

static char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

static bool equal_nocase(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// The code of the character at text[i] (UTF-8 decoded to its code point, a
// stray byte taken as Latin-1) and its length in bytes.
static int decode_char(const std::string& text, size_t i, size_t* length) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  *length = 1;
  if (c >= 0xC2 && c <= 0xDF && i + 1 < text.size()) {
    unsigned char d = static_cast<unsigned char>(text[i + 1]);
    if ((d & 0xC0) == 0x80) {
      *length = 2;
      return ((c & 0x1F) << 6) | (d & 0x3F);
    }
  }
  return c;
}

// Hotkeys are compared in lower case: "A".."Z" and the Latin-1 capitals.
static int hotkey_lower(int code) {
  if (code >= 'A' && code <= 'Z') return code + 32;
  if (code >= 0xC0 && code <= 0xDE && code != 0xD7) return code + 32;
  return code;
}

qzCaption qzopt_caption_text(const std::string& raw) {
  qzCaption caption;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '&') {
      caption.text += raw[i];
      continue;
    }
    if (i + 1 < raw.size() && raw[i + 1] == '&') {  // "&&" shows one "&"
      caption.text += '&';
      ++i;
      continue;
    }
    if (caption.hotkey != 0 || i + 1 >= raw.size()) {
      if (caption.hotkey != 0) caption.text += '&';
      continue;
    }
    size_t length = 0;
    caption.hotkey = hotkey_lower(decode_char(raw, i + 1, &length));
    caption.hotkey_index = static_cast<int>(caption.text.size());
  }
  return caption;
}

qzCaption qzopt_caption(qzOptionList& list) {
  qzCaption caption = qzopt_caption_text(qzopt_item(list, 0));
  qzopt_consume(list, 0);
  return caption;
}

int qzopt_hotkey_name(const std::string& name) {
  if (!name.empty()) {
    size_t length = 0;
    int code = decode_char(name, 0, &length);
    if (length == name.size()) return hotkey_lower(code);
  }
  if (equal_nocase(name, "space")) return 32;
  if (equal_nocase(name, "return")) return 10;
  for (int n = 1; n <= 12; ++n) {
    std::string f = "f" + std::to_string(n);
    if (equal_nocase(name, f.c_str())) return 304 + n;
  }
  qzlog("complex hotkey not fully supported yet ! (qzcfgstr_btnattr) \"%s\"\n", name.c_str());
  return 0;
}

// Numbers outside this range are no position or size on any screen; the
// limit keeps every later product and truncation inside an int.
static constexpr double number_limit = 1e9;

static double finite_limited(double v) {
  if (!std::isfinite(v)) return 0;
  if (v > number_limit) return number_limit;
  if (v < -number_limit) return -number_limit;
  return v;
}

qzOptNumber qzopt_number(const std::string& value) {
  std::string text = qzopt_compact(value);
  qzOptNumber number;
  // Only a plain decimal number is read: "inf", "nan" and hex floats are
  // not numbers here.
  size_t end = 0;
  if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
  size_t digits_begin = end;
  while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.')) ++end;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E') && end > digits_begin) {
    size_t e = end + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    if (e < text.size() && text[e] >= '0' && text[e] <= '9') {
      end = e;
      while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    }
  }
  number.value = finite_limited(std::strtod(text.substr(0, end).c_str(), nullptr));
  size_t last_digit = text.find_last_of("0123456789");
  std::string unit = last_digit == std::string::npos ? text : text.substr(last_digit + 1);
  // "%%" is what a printf habit writes for "%": it reaches us doubled by
  // the percent protection, and means percent all the same.
  bool percent_signs = !unit.empty() && unit.find_first_not_of('%') == std::string::npos;
  if (percent_signs || equal_nocase(unit, "percent")) number.unit = QZ_UNIT_PERCENT;
  else if (equal_nocase(unit, "pix") || equal_nocase(unit, "pixel")) number.unit = QZ_UNIT_PIXEL;
  return number;
}

int qzopt_int(const std::string& value) {
  return static_cast<int>(std::trunc(qzopt_number(value).value));
}

struct ColourName {
  const char* name;
  uint32_t value;
};

// The sixteen colours of the classic text-mode palette.
static constexpr std::array<ColourName, 16> colour_names = {{
    {"black", 0x000000},     {"blue", 0x000080},         {"green", 0x008000},
    {"cyan", 0x008080},      {"red", 0x800000},          {"magenta", 0x800080},
    {"brown", 0x808000},     {"lightgrey", 0xC0C0C0},    {"darkgrey", 0x808080},
    {"lightblue", 0x0000FF}, {"lightgreen", 0x00FF00},   {"lightcyan", 0x00FFFF},
    {"lightred", 0xFF0000},  {"lightmagenta", 0xFF00FF}, {"yellow", 0xFFFF00},
    {"white", 0xFFFFFF},
}};

int32_t qzopt_colour_name(const std::string& name) {
  for (const ColourName& c : colour_names)
    if (equal_nocase(name, c.name)) return static_cast<int32_t>(c.value);
  return -1;
}

static uint32_t read_hex(const std::string& text, size_t begin) {
  uint32_t v = 0;
  for (size_t i = begin; i < text.size(); ++i) {
    char c = lower(text[i]);
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else break;
    v = (v << 4) | static_cast<uint32_t>(digit);  // keeps the last 8 digits
  }
  return v & 0xFFFFFF;
}

uint32_t qzopt_colour(const std::string& value) {
  std::string text = qzopt_compact(value);
  if (text.size() >= 2 && text[0] == '0' && lower(text[1]) == 'x') return read_hex(text, 2);
  int32_t named = qzopt_colour_name(text);
  if (named >= 0) return static_cast<uint32_t>(named);
  return read_hex(text, 0);
}

struct FontAlias {
  const char* short_name;
  const char* full_name;
};

static constexpr std::array<FontAlias, 16> font_aliases = {{
    {"6x13", "builtin 6x13"},        {"6x13b", "builtin 6x13 bold"},
    {"6x13bold", "builtin 6x13 bold"}, {"9x15", "builtin 9x15"},
    {"9x15b", "builtin 9x15 bold"},  {"9x15bold", "builtin 9x15 bold"},
    {"8x16", "builtin 8x16"},        {"8x16b", "builtin 8x16 bold"},
    {"8x16bold", "builtin 8x16 bold"}, {"12x24", "builtin 12x24"},
    {"5x7", "builtin 5x7"},          {"8x8", "builtin 8x8"},
    {"var13", "builtin variable 13"}, {"variable13", "builtin variable 13"},
    {"13var", "builtin variable 13"}, {"13variable", "builtin variable 13"},
}};

std::string qzopt_builtin_font_name(const std::string& short_name) {
  std::string name = qzopt_compact(short_name);
  if (name.empty()) return std::string();
  for (const FontAlias& a : font_aliases)
    if (equal_nocase(name, a.short_name)) return a.full_name;
  return std::string();
}

int qzopt_font(qzOptionList& list, int start, int default_font) {
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    std::string item = qzopt_compact(qzopt_item(list, i));
    if (qzopt_prefix(item, "fontid=")) {
      std::string value = item.substr(7);
      qzopt_consume(list, i);
      int id = qzopt_int(value);
      // An identifier the registry does not know has no metrics.
      if (id != 0 && qzfont_height(id) > 0) return id;
      qzlog("font not loaded/found: %s\n", value.c_str());
      return default_font;
    }
    if (qzopt_prefix(item, "font=")) {
      std::string value = item.substr(5);
      qzopt_consume(list, i);
      std::string full = qzopt_builtin_font_name(value);
      int id = full.empty() ? 0 : qzfont_builtin(full.c_str());
      if (id != 0) return id;
      qzlog("font not loaded/found: %s\n", value.c_str());
      return default_font;
    }
  }
  return default_font;
}
