#pragma once
// Bitmap fonts and the font registry. All text of the toolkit is drawn
// with these fonts. Glyphs cover the codes 32 to 255 (Latin-1); texts in
// the program are UTF-8 and are decoded to those codes when measured or
// drawn (a byte that is not part of valid UTF-8 is taken as Latin-1).
#include <cstdint>
#include <string>
#include <vector>

struct qzPixmap;

// Parses a font in the toolkit's text format and registers it; a font of
// the same name that is already registered is returned again. Returns the
// font identifier, or 0 when the text is not a font (logged).
int qzfont_load(const std::vector<std::string>& lines, const char* name);
int qzfont_loaduser(const std::vector<std::string>& lines);

// Identifier of a builtin font by its full name ("builtin 6x13",
// "builtin 9x15 bold", ...), loaded on first use; 0 if there is no such font.
int qzfont_builtin(const char* name);
int qzfont_default();               // "builtin 6x13"
int qzfont_default_proportional();  // "builtin variable 13"

// One of the application's own fonts shipped with the toolkit ("sans 14",
// "sans 16", "sans 20", "sans 24", "sans 32", "sans 48", "mono 16",
// "mono 20"), registered through qzfont_loaduser on first use; 0 for any
// other name.
int qzfont_user(const char* name);

// Metrics; an unknown identifier gives 0.
int qzfont_height(int font);
int qzfont_glyphwidth(int font, int code);
int qzfont_textwidth(int font, const char* text);

// Sets the pixels of each glyph's set cells in the colour, clipped to the
// pixmap, with (x, y) the top-left corner of the first glyph cell.
// Returns the x after the last glyph.
int qzfont_drawtext(qzPixmap& target, int x, int y, int font, uint32_t colour, const char* text);
