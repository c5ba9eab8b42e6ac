#pragma once
// The small print of the figures: value labels, headers and keys drawn
// beside what the pages place, in the free space around it. They use a
// font smaller than the page's (8 x 16) and leave the page's font as it was.
#include <cstdint>
#include <string>

constexpr int kLabelHeight = 16;

// The text with its top-left corner at (x, top).
void LabelAt(int x, int top, uint32_t colour, const std::string& text);
// The same, ending at x (right-aligned), and centred on x.
void LabelEndingAt(int x, int top, uint32_t colour, const std::string& text);
void LabelCentredAt(int x, int top, uint32_t colour, const std::string& text);
int LabelWidth(const std::string& text);

// A value as a label: four significant digits, no exponent for everyday
// magnitudes ("0.5234", "-12.35", "1234").
std::string ValueLabel(double value);
