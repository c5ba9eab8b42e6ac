#pragma once
// Lines, outlines and ellipses on a pixmap, clipped at its edges. Colours
// are 0xRRGGBB (palette indices for palette pixmaps), as for setpixel.
#include <cstdint>

struct qzPixmap;

// Every pixel from (x0, y0) to (x1, y1), both ends included (Bresenham).
void qzpxmap_line(qzPixmap& p, int x0, int y0, int x1, int y1, uint32_t colour);
// The one-pixel outline of the rectangle; nothing for an empty one.
void qzpxmap_rect(qzPixmap& p, int x, int y, int width, int height, uint32_t colour);
// The ellipse with centre (cx, cy) and half axes rx, ry (midpoint
// algorithm), outlined or filled. Half axes above 2^20 pixels draw
// nothing; a zero half axis draws a line.
void qzpxmap_ellipse(qzPixmap& p, int cx, int cy, int rx, int ry, uint32_t colour, bool filled);
