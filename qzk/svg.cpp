#include "qzk/svg.h"

#include "qzk/drawing_record.h"
#include "qzk/font_text.h"
#include "qzk/log.h"
#include "qzk/pixmap.h"
#include "qzk/png.h"
#include "qzk/utf8.h"

#include <algorithm>
#include <cstdio>

namespace {

// The monospace text fitted to a bitmap text box: the size and the
// baseline as parts of the box's height.
constexpr double kFontSize = 0.85;
constexpr double kBaseline = 0.8;

class Writer {
 public:
  Writer(const qzPixmap& canvas, std::string& out) : canvas_(canvas), out_(out) {}

  void colour(const char* attribute, uint32_t c) {
    if (canvas_.format == QZ_PX_PALETTE8 || canvas_.format == QZ_PX_PALETTE16)
      c = c < canvas_.palette.size() ? canvas_.palette[c] : 0;
    char s[32];
    std::snprintf(s, sizeof s, " %s=\"#%06x\"", attribute, static_cast<unsigned>(c & 0xFFFFFF));
    out_ += s;
  }
  // A pixel's centre: lines run through it.
  void centre(double v) {
    char s[32];
    std::snprintf(s, sizeof s, "%.1f", v + 0.5);
    out_ += s;
  }
  void number(double v) {
    char s[32];
    std::snprintf(s, sizeof s, "%g", v);
    out_ += s;
  }
  void attribute(const char* name, double v) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    number(v);
    out_ += '"';
  }

  void fill(int x, int y, int w, int h, uint32_t c) {
    out_ += "<rect";
    attribute("x", x);
    attribute("y", y);
    attribute("width", w);
    attribute("height", h);
    colour("fill", c);
    out_ += "/>\n";
  }

  void outline(const qzDrawnShape& s) {
    // Two pixels or fewer across, the outline is the whole rectangle.
    if (s.w <= 2 || s.h <= 2) return fill(s.x, s.y, s.w, s.h, s.colour);
    out_ += "<rect x=\"";
    centre(s.x);
    out_ += "\" y=\"";
    centre(s.y);
    out_ += '"';
    attribute("width", s.w - 1);
    attribute("height", s.h - 1);
    out_ += " fill=\"none\"";
    colour("stroke", s.colour);
    out_ += "/>\n";
  }

  void polyline(const qzDrawnShape& s, const std::vector<qzDrawnPoint>& points) {
    const qzDrawnPoint* p = points.data() + s.index;
    if (s.count == 2 && (p[0].x == p[1].x || p[0].y == p[1].y)) {
      // Upright and level lines are exactly their rectangles.
      const int x = std::min(p[0].x, p[1].x), y = std::min(p[0].y, p[1].y);
      return fill(x, y, std::abs(p[1].x - p[0].x) + 1, std::abs(p[1].y - p[0].y) + 1, s.colour);
    }
    // A path turns back on itself only between its elements: librsvg
    // (cairo) drawing without smoothing fills the gap between the two arms
    // of a sharp turn within one path, which the pixels never show.
    out_ += "<g fill=\"none\"";
    colour("stroke", s.colour);
    out_ += ">\n";
    uint32_t i = 0;
    while (i + 1 < s.count) {
      out_ += "<path d=\"M";
      centre(p[i].x);
      out_ += ' ';
      centre(p[i].y);
      out_ += 'l';
      for (bool first = true; i + 1 < s.count; first = false) {
        const int dx = p[i + 1].x - p[i].x, dy = p[i + 1].y - p[i].y;
        if (!first) {
          const int64_t turn = int64_t{dx} * (p[i].x - p[i - 1].x) + int64_t{dy} * (p[i].y - p[i - 1].y);
          if (turn < 0) break;
          out_ += ' ';
        }
        number(dx);
        out_ += ' ';
        number(dy);
        ++i;
      }
      out_ += "\"/>\n";
    }
    out_ += "</g>\n";
  }

  void ellipse(const qzDrawnShape& s, bool filled) {
    out_ += "<ellipse cx=\"";
    centre(s.x);
    out_ += "\" cy=\"";
    centre(s.y);
    out_ += '"';
    // A filled ellipse covers the pixels of its spans up to their outer edges.
    attribute("rx", filled ? s.w + 0.5 : s.w);
    attribute("ry", filled ? s.h + 0.5 : s.h);
    if (filled) {
      colour("fill", s.colour);
    } else {
      out_ += " fill=\"none\"";
      colour("stroke", s.colour);
    }
    out_ += "/>\n";
  }

  void text(const qzDrawnShape& s, const std::string& t) {
    const std::string data = qzsvg_text(t);
    if (data.empty()) return;
    out_ += "<text";
    attribute("x", s.x);
    attribute("y", s.y + kBaseline * s.h);
    attribute("font-size", kFontSize * s.h);
    if (s.w > 0) {
      attribute("textLength", s.w);
      out_ += " lengthAdjust=\"spacingAndGlyphs\"";
    }
    colour("fill", s.colour);
    out_ += '>';
    out_ += data;
    out_ += "</text>\n";
  }

  bool image(int x, int y, const qzPixmap& p) {
    std::vector<uint8_t> png;
    if (!qzpng_encode(p, png)) return false;
    out_ += "<image";
    attribute("x", x);
    attribute("y", y);
    attribute("width", p.width);
    attribute("height", p.height);
    out_ += " xlink:href=\"data:image/png;base64,";
    out_ += qzsvg_base64(png);
    out_ += "\"/>\n";
    return true;
  }

 private:
  const qzPixmap& canvas_;
  std::string& out_;
};

}  // namespace

std::string qzsvg_text(const std::string& text) {
  std::string out;
  const char* p = text.c_str();
  while (const int code = qzfont_nextcode(p)) {
    const int shown = qzfont_displaycode(code);
    switch (shown) {
      case -1: break;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: qzutf8_append(out, static_cast<unsigned>(shown));
    }
  }
  return out;
}

std::string qzsvg_base64(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    uint32_t v = uint32_t{bytes[i]} << 16;
    if (n > 1) v |= uint32_t{bytes[i + 1]} << 8;
    if (n > 2) v |= bytes[i + 2];
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += n > 1 ? kDigits[(v >> 6) & 63] : '=';
    out += n > 2 ? kDigits[v & 63] : '=';
  }
  return out;
}

bool qzsvg_encode(const qzDrawingRecord& r, const qzPixmap& canvas, int x, int y, int width, int height,
                  std::vector<uint8_t>& out) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = static_cast<int>(std::min<int64_t>(int64_t{x} + width, canvas.width));
  const int y1 = static_cast<int>(std::min<int64_t>(int64_t{y} + height, canvas.height));
  if (canvas.format == QZ_PX_NONE || x1 <= x0 || y1 <= y0) {
    qzlog("qzsvg_encode: nothing to write (%d x %d)\n", x1 - x0, y1 - y0);
    return false;
  }
  std::string s;
  char head[512];
  std::snprintf(head, sizeof head,
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                "version=\"1.1\" width=\"%d\" height=\"%d\" viewBox=\"%d %d %d %d\" "
                "shape-rendering=\"crispEdges\" xml:space=\"preserve\">\n"
                "<g stroke-width=\"1\" stroke-linecap=\"square\" stroke-linejoin=\"round\" "
                "font-family=\"monospace\">\n",
                x1 - x0, y1 - y0, x0, y0, x1 - x0, y1 - y0);
  s += head;
  Writer w(canvas, s);
  w.fill(0, 0, canvas.width, canvas.height, r.background);
  bool ok = true;
  if (!r.complete) {
    qzPixmap whole;
    ok = qzpxmap_duplicate(canvas, whole) && w.image(0, 0, whole);
  } else {
    for (const qzDrawnShape& shape : r.shapes) {
      switch (shape.kind) {
        case qzDrawnShape::kFill: w.fill(shape.x, shape.y, shape.w, shape.h, shape.colour); break;
        case qzDrawnShape::kOutline: w.outline(shape); break;
        case qzDrawnShape::kPolyline: w.polyline(shape, r.points); break;
        case qzDrawnShape::kEllipse: w.ellipse(shape, false); break;
        case qzDrawnShape::kFilledEllipse: w.ellipse(shape, true); break;
        case qzDrawnShape::kText: w.text(shape, r.texts[shape.index]); break;
        case qzDrawnShape::kImage: ok = w.image(shape.x, shape.y, r.images[shape.index]) && ok; break;
      }
    }
  }
  s += "</g>\n</svg>\n";
  if (!ok) {
    qzlog("qzsvg_encode: an image could not be encoded\n");
    return false;
  }
  out.assign(s.begin(), s.end());
  return true;
}
