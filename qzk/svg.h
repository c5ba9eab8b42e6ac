#pragma once
// Writing a graphic target's drawing record (drawing_record.h) as an SVG
// document: each shape as the SVG element that covers the same pixels
// when drawn without smoothing (shape-rendering crispEdges, lines one
// pixel wide through the pixel centres), texts as real text in a
// monospace font fitted to the bitmap text's box, pixmap copies as
// embedded PNG images. A record that gave up is written as one embedded
// image of the canvas.
#include <cstdint>
#include <string>
#include <vector>

struct qzDrawingRecord;
struct qzPixmap;

// The rectangle (x, y, width, height) of the canvas, clipped to it, as a
// document of that size; the record's colours are palette indices when
// the canvas is a palette pixmap. False (logged) for an empty rectangle.
bool qzsvg_encode(const qzDrawingRecord& r, const qzPixmap& canvas, int x, int y, int width, int height,
                  std::vector<uint8_t>& out);

// The text as XML character data: markup characters escaped, every
// character as the bitmap fonts show it (a byte outside valid UTF-8 as its
// Latin-1 character, control codes left out), in UTF-8.
std::string qzsvg_text(const std::string& text);
// RFC 4648 base64 of the bytes.
std::string qzsvg_base64(const std::vector<uint8_t>& bytes);
