// Preparing an option string into items and matching items against keys.
#include "qzk/options.h"

#include <cstdio>
#include <cstring>

std::string qzopt_protect_percent(const char* format) {
  std::string out;
  if (!format) return out;
  for (const char* p = format; *p; ++p) {
    out += *p;
    if (*p != '%') continue;
    unsigned char next = static_cast<unsigned char>(p[1]);
    // A percent sign before a separator, a blank, another percent sign or
    // the end is literal text such as "x=50%". "%n" would store through an
    // argument; an option string never means that.
    if (next < '0' || next == 'n') out += '%';
  }
  return out;
}

std::string qzopt_vformat(const char* format, va_list args) {
  std::string protected_format = qzopt_protect_percent(format);
  va_list measure;
  va_copy(measure, args);
  int length = std::vsnprintf(nullptr, 0, protected_format.c_str(), measure);
  va_end(measure);
  if (length <= 0) return std::string();
  std::string out(static_cast<size_t>(length) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), protected_format.c_str(), args);
  out.resize(static_cast<size_t>(length));
  return out;
}

std::string qzopt_format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = qzopt_vformat(format, args);
  va_end(args);
  return out;
}

std::vector<std::string> qzopt_split(const std::string& text) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  size_t begin = 0;
  for (;;) {
    size_t comma = text.find(',', begin);
    if (comma == std::string::npos) {
      items.push_back(text.substr(begin));
      break;
    }
    items.push_back(text.substr(begin, comma - begin));
    begin = comma + 1;
  }
  return items;
}

qzOptionList qzopt_from_string(const std::string& text) {
  qzOptionList list;
  list.text = text;
  list.items = qzopt_split(text);
  return list;
}

qzOptionList qzopt_vprepare(const char* format, va_list args) {
  return qzopt_from_string(qzopt_vformat(format, args));
}

qzOptionList qzopt_prepare(const char* format, ...) {
  va_list args;
  va_start(args, format);
  qzOptionList list = qzopt_vprepare(format, args);
  va_end(args);
  return list;
}

static bool is_blank(char c) { return c == ' ' || c == '\t'; }

static char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string qzopt_compact(const std::string& item) {
  std::string out;
  out.reserve(item.size());
  for (char c : item)
    if (!is_blank(c)) out += c;
  return out;
}

bool qzopt_prefix(const std::string& compact_item, const char* key) {
  size_t n = std::strlen(key);
  if (compact_item.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (lower(compact_item[i]) != lower(key[i])) return false;
  return true;
}

bool qzopt_equal(const std::string& compact_item, const char* word) {
  return compact_item.size() == std::strlen(word) && qzopt_prefix(compact_item, word);
}

static const std::string empty_item;

const std::string& qzopt_item(const qzOptionList& list, int index) {
  if (index < 0 || index >= qzopt_count(list)) return empty_item;
  return list.items[static_cast<size_t>(index)];
}

int qzopt_count(const qzOptionList& list) { return static_cast<int>(list.items.size()); }

void qzopt_consume(qzOptionList& list, int index) {
  if (index >= 0 && index < qzopt_count(list)) list.items[static_cast<size_t>(index)].clear();
}

bool qzopt_flag(qzOptionList& list, int start, std::initializer_list<const char*> words) {
  bool found = false;
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    std::string item = qzopt_compact(list.items[static_cast<size_t>(i)]);
    if (item.empty()) continue;
    for (const char* word : words) {
      if (qzopt_equal(item, word)) {
        qzopt_consume(list, i);
        found = true;
        break;
      }
    }
  }
  return found;
}

// The text of the raw item after its first `count` non-blank characters,
// leading blanks dropped.
static std::string raw_value_after(const std::string& raw, size_t count) {
  size_t i = 0;
  while (i < raw.size() && count > 0) {
    if (!is_blank(raw[i])) --count;
    ++i;
  }
  while (i < raw.size() && is_blank(raw[i])) ++i;
  return raw.substr(i);
}

// Index of the first key that the compacted item begins with, or -1.
static int matching_key(const std::string& item, std::initializer_list<const char*> keys) {
  int index = 0;
  for (const char* key : keys) {
    if (qzopt_prefix(item, key)) return index;
    ++index;
  }
  return -1;
}

bool qzopt_values(qzOptionList& list, int start, std::initializer_list<const char*> keys,
                  std::vector<std::string>& values) {
  bool found = false;
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    std::string& raw = list.items[static_cast<size_t>(i)];
    std::string item = qzopt_compact(raw);
    if (item.empty()) continue;
    int k = matching_key(item, keys);
    if (k < 0) continue;
    values.push_back(raw_value_after(raw, std::strlen(keys.begin()[k])));
    qzopt_consume(list, i);
    found = true;
  }
  return found;
}

bool qzopt_value(qzOptionList& list, int start, std::initializer_list<const char*> keys,
                 std::string& value) {
  std::vector<std::string> values;
  if (!qzopt_values(list, start, keys, values)) return false;
  value = values.back();
  return true;
}

std::vector<std::string> qzopt_split_bar(const std::string& value) {
  std::vector<std::string> parts;
  if (value.empty()) return parts;
  size_t begin = 0;
  for (;;) {
    size_t bar = value.find('|', begin);
    if (bar == std::string::npos) {
      parts.push_back(value.substr(begin));
      break;
    }
    parts.push_back(value.substr(begin, bar - begin));
    begin = bar + 1;
  }
  return parts;
}
