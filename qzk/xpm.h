#pragma once
// XPM pictures: the toolkit's built-in button pictures are XPM text held
// in memory; pixmaps can be written as XPM files.
#include <cstdint>
#include <string>
#include <vector>

struct qzPixmap;

// The 91 symbols of written files; the first, the blank, is the
// transparent colour.
extern const char kQzXpmSymbols[];
constexpr int kQzXpmSymbolCount = 91;
// The most palette colours a written file can hold: with two characters
// per pixel the first symbol runs over all 91 and the second over 90.
constexpr int kQzXpmMaxColours = kQzXpmSymbolCount * 90 - 1;

// Writes palette pixmaps as they are and truecolor pixmaps reduced to a
// palette (logged when they have more colours than the symbols encode).
// `name` is the C variable name of the array.
bool qzxpm_encode(const qzPixmap& p, const std::string& name, std::vector<uint8_t>& out);

// The variable name for a file: its name without folder, "." made "_".
std::string qzxpm_variable_name(const std::string& path);

// The quoted strings of an XPM file's text, in order: the lines that
// qzxpm_decode takes. Text outside quotes (comments, the declaration) is
// skipped.
std::vector<std::string> qzxpm_strings(const std::string& text);

// Builds a palette8 pixmap from XPM lines (values, colours, pixel rows).
// The palette follows the colour lines in order; "None" becomes the
// transparent index unless transparent is false. palettecode is stored in
// the pixmap. False with a log line on any fault.
bool qzxpm_decode(const std::vector<std::string>& lines, qzPixmap& out, int palettecode = 0, bool transparent = true);
