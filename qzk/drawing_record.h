#pragma once
// The record of a graphic target's drawing calls, kept beside its pixels
// so that the picture can be written again as vector graphics (svg.h)
// with the same geometry and colours.
//
// The record follows the canvas: clearing the canvas starts it afresh,
// and a line-to that continues the last line in its colour extends that
// one polyline instead of adding a shape. Pixmap copies and loaded
// pictures are kept as copies of the canvas pixels they left, so their
// transparent parts show what lay below. A record that grows past
// kMaxItems, or a change it cannot follow, gives up (complete = false);
// a picture written from it then holds the canvas pixels alone.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "qzk/pixmap.h"

struct qzDrawnShape {
  enum Kind : uint8_t {
    kFill,           // x, y, w, h
    kOutline,        // x, y, w, h: the one-pixel outline
    kPolyline,       // points first .. first + count - 1, both ends drawn
    kEllipse,        // centre x, y, half axes w, h
    kFilledEllipse,  // the same, filled
    kText,           // top-left x, y; w, h its box; texts[index]
    kImage,          // top-left x, y; images[index]
  };
  Kind kind = kFill;
  uint32_t colour = 0;
  int x = 0, y = 0, w = 0, h = 0;
  uint32_t index = 0;  // first point, text or image
  uint32_t count = 0;  // polyline points
};

struct qzDrawnPoint {
  int x = 0, y = 0;
};

struct qzDrawingRecord {
  // Shapes plus polyline points the record holds at most.
  static constexpr size_t kMaxItems = size_t{8} << 20;

  uint32_t background = 0xFFFFFF;  // the canvas colour below every shape
  std::vector<qzDrawnShape> shapes;
  std::vector<qzDrawnPoint> points;
  std::vector<std::string> texts;
  std::vector<qzPixmap> images;
  bool complete = true;
};

// Starts the record afresh on a canvas of one colour.
void qzrecord_clear(qzDrawingRecord& r, uint32_t background);
// Gives up following the canvas (frees what the record held).
void qzrecord_abandon(qzDrawingRecord& r);

void qzrecord_fill(qzDrawingRecord& r, int x, int y, int width, int height, uint32_t colour);
void qzrecord_outline(qzDrawingRecord& r, int x, int y, int width, int height, uint32_t colour);
void qzrecord_line(qzDrawingRecord& r, int x0, int y0, int x1, int y1, uint32_t colour);
void qzrecord_ellipse(qzDrawingRecord& r, int cx, int cy, int rx, int ry, uint32_t colour, bool filled);
void qzrecord_text(qzDrawingRecord& r, int x, int y, int width, int height, uint32_t colour,
                   const std::string& text);
// Keeps the rectangle of the canvas (clipped to it) as an image shape.
void qzrecord_pixels(qzDrawingRecord& r, const qzPixmap& canvas, int x, int y, int width, int height);
