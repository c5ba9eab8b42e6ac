#pragma once
// Writing PNG files: 8-bit RGB, deflate-compressed with zlib, each row
// with the filter that makes its bytes smallest in absolute value.
#include <cstdint>
#include <vector>

struct qzPixmap;

// Encodes the pixmap (palette pixmaps by their colours); false (logged)
// for an empty pixmap, a format without colours or a zlib failure.
bool qzpng_encode(const qzPixmap& p, std::vector<uint8_t>& out);
