// The application's own fonts, rendered from DejaVu's outlines by
// tools/fontconv_ttf.py (see assets/fonts/LICENSES.md), and their loading
// through the user-font path.
#include "qzk/font.h"
#include "qzk/font_registry.h"
#include "qzk/font_user.h"

#include <array>
#include <cstring>

namespace {

const char* const kSans14[] = {
#include "qzk/fonts/user_sans_14.inc"
};
const char* const kSans16[] = {
#include "qzk/fonts/user_sans_16.inc"
};
const char* const kSans20[] = {
#include "qzk/fonts/user_sans_20.inc"
};
const char* const kSans24[] = {
#include "qzk/fonts/user_sans_24.inc"
};
const char* const kSans32[] = {
#include "qzk/fonts/user_sans_32.inc"
};
const char* const kSans48[] = {
#include "qzk/fonts/user_sans_48.inc"
};
const char* const kMono16[] = {
#include "qzk/fonts/user_mono_16.inc"
};
const char* const kMono20[] = {
#include "qzk/fonts/user_mono_20.inc"
};

struct ShippedFont {
  const char* name;
  const char* const* lines;
  size_t count;
};

template <size_t N>
constexpr ShippedFont shipped(const char* name, const char* const (&lines)[N]) {
  return {name, lines, N};
}

const std::array kShipped = {
    shipped("sans 14", kSans14),
    shipped("sans 16", kSans16),
    shipped("sans 20", kSans20),
    shipped("sans 24", kSans24),
    shipped("sans 32", kSans32),
    shipped("sans 48", kSans48),
    shipped("mono 16", kMono16),
    shipped("mono 20", kMono20),
};

}  // namespace

std::vector<std::string> qzfont_userfont_lines(const char* name) {
  if (!name) return {};
  for (const ShippedFont& f : kShipped)
    if (std::strcmp(f.name, name) == 0) return std::vector<std::string>(f.lines, f.lines + f.count);
  return {};
}

std::vector<std::string> qzfont_userfont_names() {
  std::vector<std::string> names;
  for (const ShippedFont& f : kShipped) names.push_back(f.name);
  return names;
}

int qzfont_user(const char* name) {
  if (!name) return 0;
  if (int known = qzfont_findname(name)) return known;
  const std::vector<std::string> lines = qzfont_userfont_lines(name);
  return lines.empty() ? 0 : qzfont_loaduser(lines);
}
