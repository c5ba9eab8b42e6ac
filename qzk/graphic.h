#pragma once
// The drawing calls of the application. They all act on the process-wide
// current graphic target, a canvas pixmap with its font, pen and redraw
// settings; a screen graphic (screengraphic.h) owns one, and a bare target
// works without any window, so modules and tests can draw headless.
//
// Coordinates are canvas pixels, origin top-left; colours 0xRRGGBB.
// Drawing is clipped at the canvas edges. Every call returns 0 and draws
// nothing when no target is set. After drawing, a target with auto-redraw
// on calls its refresh hook at once; with it off ("drawoff"), the drawing
// only marks the target changed for the low-priority painter.
//
// Beside its pixels a target keeps the record of the calls that drew them
// (drawing_record.h), so a page can also be saved as an SVG drawing.
#include <cstdint>
#include <string>

#include "qzk/drawing_record.h"
#include "qzk/pixmap.h"

struct qzGraphicTarget {
  qzPixmap canvas;
  int font = 0;  // 0: the toolkit's default font
  bool autoRedraw = true;
  bool changed = false;  // drawn into since the last refresh
  int penX = 0, penY = 0;  // where lineto starts
  qzDrawingRecord record;  // the calls that drew the canvas
  // Shows the canvas now (the screen graphic's widget repaint); may be null.
  void (*refresh)(qzGraphicTarget& target, void* owner) = nullptr;
  // Told of drawing while auto-redraw is off (the screen graphic arms its
  // low-priority painter); may be null.
  void (*deferred)(qzGraphicTarget& target, void* owner) = nullptr;
  void* owner = nullptr;
};

// For the toolkit's own drawing calls: marks t changed and, with
// auto-redraw on, refreshes it.
void qzgraphic_drawn(qzGraphicTarget& t);

// Makes t the current target (null: none). The caller keeps t alive
// while it is current.
void qzgraphic_settarget(qzGraphicTarget* t);
qzGraphicTarget* qzgraphic_target();

// The calls of the application.
int qzgraphic_setpixel(int x, int y, uint32_t colour);
int qzgraphic_fillrect(int x, int y, int width, int height, uint32_t colour);
int qzgraphic_clear(uint32_t colour);
// Text in the current font with (x, y) the top-left corner of the first
// glyph cell. Returns 1, 0 without a target.
int qzgraphic_text(int x, int y, uint32_t colour, const char* format, ...) __attribute__((format(printf, 4, 5)));
int qzgraphic_selectfont(int font);
// Width in pixels of the text in the current font; 0 without a target.
int qzgraphic_textwidth(const char* text);
int qzgraphic_fontheight();
// Draws a BMP, PPM or PCX file with its top-left corner at (x, y); 0 when
// it cannot be read.
int qzgraphic_loadpicture(int x, int y, const char* format, ...) __attribute__((format(printf, 3, 4)));
// Writes the canvas: the path with the options of qzpxmap_savetofile; a
// path ending in ".svg" gets the target's drawing record as SVG.
int qzgraphic_savepicture(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same for any target: the options of qzpxmap_savetofile ("path",
// "path,x=..,y=..,xs=..,ys=.."), SVG by the extension. False (logged) when
// nothing was written.
bool qzgraphic_savetarget(const qzGraphicTarget& t, const std::string& options);

// The rest of the family.
int qzgraphic_line(int x0, int y0, int x1, int y1, uint32_t colour);
int qzgraphic_moveto(int x, int y);
// A line from the pen to (x, y); the pen then stays at (x, y).
int qzgraphic_lineto(int x, int y, uint32_t colour);
int qzgraphic_rect(int x, int y, int width, int height, uint32_t colour);
int qzgraphic_circle(int cx, int cy, int r, uint32_t colour, bool filled);
int qzgraphic_ellipse(int cx, int cy, int rx, int ry, uint32_t colour, bool filled);
// Copies a pixmap onto the canvas with its top-left corner at (x, y)
// (palette pixmaps by their colours, their transparent index left out).
int qzgraphic_copypixmap(const qzPixmap& p, int x, int y);
