#pragma once
// The font registry: a growing array of font records. A font's index in
// it and its identifier are different numbers; the identifier comes from
// the process-wide identifier counter.
#include "qzk/font_record.h"

// The font of that identifier, or null. The pointer is valid until the
// next font is loaded.
const qzFontRecord* qzfont_find(int font);
// The identifier of the font registered under that name, or 0.
int qzfont_findname(const char* name);
// Number of fonts registered so far.
int qzfont_count();
// The glyph a decoded code point is drawn with (see qzfont_displaycode):
// '?' for a code beyond the font's glyphs, -1 for none.
int qzfont_glyphindex(const qzFontRecord& font, int codepoint);
