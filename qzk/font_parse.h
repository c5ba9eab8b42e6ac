#pragma once
// Reading the toolkit's font text format: header lines up to "data:", then
// each glyph as `ysize` lines of "*" (set) and "." (clear), glyph after
// glyph in code order.
#include "qzk/font_record.h"

#include <string>
#include <vector>

// Fills `font` (all but its id) from the text lines. On a malformed font
// returns false, leaves `font` empty and says why in `error`. A font whose
// glyph lines run out before the last glyph is refused whole, so that no
// glyph shows as a silent blank; a glyph line shorter than the glyph is
// taken as clear pixels past its end.
bool qzfont_parse(const std::vector<std::string>& lines, qzFontRecord& font, std::string& error);
