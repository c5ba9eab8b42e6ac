#include "qzk/vformat.h"

#include <cstdio>

std::string qzvformat(const char* format, va_list args) {
  if (!format) return std::string();
  char buffer[1024];
  va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  if (length < 0) length = 0;
  std::string out;
  if (static_cast<size_t>(length) < sizeof buffer) {
    out.assign(buffer, static_cast<size_t>(length));
  } else {
    out.assign(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, again);
    out.resize(static_cast<size_t>(length));
  }
  va_end(again);
  return out;
}
