#pragma once
// Text inside a rectangle: the clipped drawing that fields and lists need
// (a glyph that does not fit wholly inside the rectangle is left out), and
// the word wrapping of the simple text display.
#include <cstdint>
#include <string>
#include <vector>

#include "qzk/geometry_rect.h"

struct qzPixmap;

// Draws `text` (UTF-8) with its first glyph cell at (x, y), keeping only
// the glyphs that lie wholly inside `clip`. Disabled text is engraved
// grey, as qzdraw_label draws it. Returns the x after the last glyph.
int qzdraw_text_clipped(qzPixmap& target, const qzRect& clip, int x, int y, int font, const char* text,
                        bool enabled, uint32_t colour);

// Splits `text` at its line ends and wraps every line at blanks to fit
// `width` pixels (a word longer than the width is cut between characters).
// Tabs advance to the next multiple of `tabWidth` blanks. `wrap` false
// keeps the lines as they are.
std::vector<std::string> qztext_wrap(const std::string& text, int font, int width, bool wrap = true,
                                     int tabWidth = 8);
