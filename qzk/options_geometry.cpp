// The geometry keys and the rectangle arithmetic of windows and widgets.
#include <array>
#include <cmath>

#include "qzk/options.h"

namespace {

enum class GeomKey {
  SizePixel, XSizePixel, YSizePixel, PosPixel, XPosPixel, YPosPixel,
  MinXs, MinYs, MaxXs, MaxYs, Xs, Ys, X, Y,
};

struct GeomRow {
  const char* word;
  GeomKey key;
};

// Matched by prefix in this order; the first match wins, so "xs=" is
// tested before "x=".
constexpr std::array<GeomRow, 29> geometry_table = {{
    {"sizepixel", GeomKey::SizePixel},       {"sizepix", GeomKey::SizePixel},
    {"xsizepixel", GeomKey::XSizePixel},     {"xsizepix", GeomKey::XSizePixel},
    {"ysizepixel", GeomKey::YSizePixel},     {"ysizepix", GeomKey::YSizePixel},
    {"pospixel", GeomKey::PosPixel},         {"positionpixel", GeomKey::PosPixel},
    {"pospix", GeomKey::PosPixel},           {"xpositionpixel", GeomKey::XPosPixel},
    {"xpospixel", GeomKey::XPosPixel},       {"xpospix", GeomKey::XPosPixel},
    {"ypospixel", GeomKey::YPosPixel},       {"ypositionpixel", GeomKey::YPosPixel},
    {"ypospix", GeomKey::YPosPixel},         {"minxsize=", GeomKey::MinXs},
    {"minxs=", GeomKey::MinXs},              {"minysize=", GeomKey::MinYs},
    {"minys=", GeomKey::MinYs},              {"maxxsize=", GeomKey::MaxXs},
    {"maxxs=", GeomKey::MaxXs},              {"maxysize=", GeomKey::MaxYs},
    {"maxys=", GeomKey::MaxYs},              {"xs=", GeomKey::Xs},
    {"width=", GeomKey::Xs},                 {"ys=", GeomKey::Ys},
    {"height=", GeomKey::Ys},                {"x=", GeomKey::X},
    {"y=", GeomKey::Y},
}};

const GeomRow* find_row(const std::string& item) {
  for (const GeomRow& row : geometry_table)
    if (qzopt_prefix(item, row.word)) return &row;
  return nullptr;
}

// A size or position value: its unit flag follows the unit given; without
// a unit the flag stays as it is.
void set_value(double& value, bool& pixel, const qzOptNumber& n) {
  value = n.value;
  if (n.unit == QZ_UNIT_PERCENT) pixel = false;
  if (n.unit == QZ_UNIT_PIXEL) pixel = true;
}

void apply(qzGeometry& g, GeomKey key, const std::string& value) {
  qzOptNumber n = qzopt_number(value);
  int whole = static_cast<int>(std::trunc(n.value));
  switch (key) {
    case GeomKey::SizePixel: g.xs_pixel = g.ys_pixel = true; break;
    case GeomKey::XSizePixel: g.xs_pixel = true; break;
    case GeomKey::YSizePixel: g.ys_pixel = true; break;
    case GeomKey::PosPixel: g.x_pixel = g.y_pixel = true; break;
    case GeomKey::XPosPixel: g.x_pixel = true; break;
    case GeomKey::YPosPixel: g.y_pixel = true; break;
    case GeomKey::MinXs: g.minxs = whole; break;
    case GeomKey::MinYs: g.minys = whole; break;
    case GeomKey::MaxXs: g.maxxs = whole; break;
    case GeomKey::MaxYs: g.maxys = whole; break;
    case GeomKey::Xs: set_value(g.xs, g.xs_pixel, n); break;
    case GeomKey::Ys: set_value(g.ys, g.ys_pixel, n); break;
    case GeomKey::X:
      set_value(g.x, g.x_pixel, n);
      if (n.unit == QZ_UNIT_PERCENT) g.x_centre = false;
      g.x_given = true;
      break;
    case GeomKey::Y:
      set_value(g.y, g.y_pixel, n);
      if (n.unit == QZ_UNIT_PERCENT) g.y_centre = false;
      g.y_given = true;
      break;
  }
}

// Truncation toward zero of a value that may exceed an int.
int to_int(double v) {
  if (!std::isfinite(v)) return 0;
  if (v > 2e9) return 2000000000;
  if (v < -2e9) return -2000000000;
  return static_cast<int>(std::trunc(v));
}

struct Span {
  int start = 0, length = 0;
};

// One direction of the rectangle: position p and size s of a parent
// extent W, with their unit flags and the size limits.
Span place_span(double p, bool p_pixel, double s, bool s_pixel, int minsize, int maxsize, int W) {
  Span span;
  double w = W;
  int length;
  int gap_free_start = 0;
  if (s_pixel) {
    length = to_int(s);
  } else if (p_pixel) {
    length = to_int(w * s / 100);
  } else {
    // Both in percent: measure from the left edge of the span, so that
    // neighbours given in percent meet without gaps.
    double l = p - s / 2;
    gap_free_start = to_int(w * l / 100);
    // Subtracted before the clamp: two clamped edges would overflow an int.
    length = to_int(std::trunc(w * (l + s) / 100) - gap_free_start);
  }
  int requested = length;
  if (length > W) length = W;
  if (length < minsize) length = minsize;
  if (maxsize != 0 && maxsize < length) length = maxsize;
  if (length < 0) length = 0;
  span.length = length;
  int half = length / 2;
  if (p_pixel) {
    span.start = to_int(p);
  } else if (s_pixel) {
    span.start = to_int(w * p / 100 - half);
  } else if (length == requested) {
    // The edge the width was measured from; centring with a truncated
    // half could leave a pixel between neighbours or overlap them.
    span.start = gap_free_start;
  } else {
    span.start = to_int(std::trunc(w * p / 100) - half);  // a limited span stays centred
  }
  return span;
}

}  // namespace

void qzopt_geometry(qzOptionList& list, int start, qzGeometry& g) {
  for (int i = start < 0 ? 0 : start; i < qzopt_count(list); ++i) {
    const std::string& raw = qzopt_item(list, i);
    std::string item = qzopt_compact(raw);
    if (item.empty()) continue;
    const GeomRow* row = find_row(item);
    if (!row) continue;
    std::string word = row->word;
    std::string value = word.back() == '=' ? item.substr(word.size()) : std::string();
    apply(g, row->key, value);
    qzopt_consume(list, i);
  }
}

void qzopt_window_geometry(qzOptionList& list, int start, qzGeometry& g) {
  g.x = -1;
  g.y = -1;
  qzopt_geometry(list, start, g);
}

void qzgeom_natural(qzGeometry& g, int natural_width, int natural_height) {
  if (g.xs == 0) {
    g.xs = natural_width;
    g.xs_pixel = true;
  }
  if (g.ys == 0) {
    g.ys = natural_height;
    g.ys_pixel = true;
  }
}

int qzgeom_button_width(int caption_width) { return caption_width + 10; }
int qzgeom_button_height(int font_height) { return font_height + 8; }
int qzgeom_combo_height(int font_height) { return font_height + 4; }
int qzgeom_terminal_width(int columns, int blank_width, int scrollbar_width) {
  return columns * blank_width + 4 + scrollbar_width;
}
int qzgeom_terminal_height(int lines, int font_height) { return lines * font_height + 4; }

void qzgeom_place(qzGeometry& g, int W, int H) {
  g.W = W;
  g.H = H;
  Span h = place_span(g.x, g.x_pixel, g.xs, g.xs_pixel, g.minxs, g.maxxs, W);
  Span v = place_span(g.y, g.y_pixel, g.ys, g.ys_pixel, g.minys, g.maxys, H);
  g.left = h.start;
  g.width = h.length;
  g.top = v.start;
  g.height = v.length;
}

void qzgeom_place_window(qzGeometry& g, int screen_w, int screen_h, int work_x, int work_y) {
  qzgeom_place(g, screen_w, screen_h);
  // A window without a position opens at the work area's corner; x = -1
  // in pixels is the "no position" the window parser starts with.
  if (!g.x_given || (g.x_pixel && g.x == -1)) g.left = work_x;
  if (!g.y_given || (g.y_pixel && g.y == -1)) g.top = work_y;
}
