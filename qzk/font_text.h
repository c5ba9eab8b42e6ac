#pragma once
// How the fonts read the program's UTF-8 texts: each character is decoded
// to its code point, and a byte that does not start or continue valid
// UTF-8 (overlong forms and surrogates included) stands for itself as a
// Latin-1 code, so older Latin-1 texts still show their umlauts.

// Decodes the character at `p` and moves `p` past it; 0 at the end of the
// text (a null byte).
int qzfont_nextcode(const char*& p);

// The glyph code a code point is shown with: codes 32 to 255 as they are,
// code points above 255 as '?', control codes (below 32) not at all (-1).
int qzfont_displaycode(int codepoint);
