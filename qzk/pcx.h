#pragma once
// PC Paintbrush files, run-length encoded. Reading: 8 bits in one plane
// with the 256-colour palette at the end, 8 bits in three planes (24-bit)
// or four (the fourth is ignored), and 1 bit in one to four planes, the
// colour's number made of one bit from each plane, with the header's
// palette (1 plane: black and white when the header gives none; 2 to 4
// planes: up to 16 colours, as netpbm's ppmtopcx writes a picture of few
// colours). Writing: palette8 pixmaps as 8-bit with palette, everything else
// as 24-bit.
#include <cstddef>
#include <cstdint>
#include <vector>

struct qzPixmap;

bool qzpcx_size(const uint8_t* data, size_t size, int& width, int& height);
// Decodes to a truecolor pixmap; false with a log line on any fault.
bool qzpcx_decode(const uint8_t* data, size_t size, qzPixmap& out);
bool qzpcx_encode(const qzPixmap& p, std::vector<uint8_t>& out);
