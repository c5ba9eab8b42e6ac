#include "qzk/picture_options.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <strings.h>
#include <vector>

namespace {

std::string compact(const std::string& item) {
  std::string out;
  for (char c : item)
    if (c != ' ' && c != '\t') out += c;
  return out;
}

// The value after one of the keys, or null.
const char* valueOf(const std::string& item, std::initializer_list<const char*> keys) {
  for (const char* k : keys) {
    const size_t n = std::char_traits<char>::length(k);
    if (item.size() >= n && strncasecmp(item.c_str(), k, n) == 0) return item.c_str() + n;
  }
  return nullptr;
}

bool isWord(const std::string& item, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (strcasecmp(item.c_str(), w) == 0) return true;
  return false;
}

int toInt(const char* v) {
  const double d = std::atof(v);
  if (d > 1e9) return 1000000000;
  if (d < -1e9) return -1000000000;
  return static_cast<int>(d);
}

}  // namespace

qzPictureOptions qzpicture_options(bool withPath, const std::string& text) {
  qzPictureOptions o;
  std::vector<std::string> items;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (withPath) o.path = items[0];
  for (size_t i = withPath ? 1 : 0; i < items.size(); ++i) {
    const std::string item = compact(items[i]);
    if (const char* v = valueOf(item, {"xs=", "width="})) {
      o.xs = toInt(v);
      o.hasXs = true;
    } else if (const char* v = valueOf(item, {"ys=", "height="})) {
      o.ys = toInt(v);
      o.hasYs = true;
    } else if (const char* v = valueOf(item, {"x="})) {
      o.x = toInt(v);
      o.hasX = true;
    } else if (const char* v = valueOf(item, {"y="})) {
      o.y = toInt(v);
      o.hasY = true;
    } else if (const char* v = valueOf(item, {"palettecode="})) {
      o.palettecode = toInt(v);
    } else if (isWord(item, {"transparent=0", "transparency=0", "notransparent", "notransparency"})) {
      o.transparent = false;
    }
  }
  return o;
}

qzPictureOptions qzpicture_voptions(bool withPath, const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format ? format : "", copy);
  va_end(copy);
  std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  return qzpicture_options(withPath, text);
}
