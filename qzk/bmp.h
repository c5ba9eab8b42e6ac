#pragma once
// Windows bitmap files. Reading: 1, 4, 8, 16, 24 and 32 bits per pixel,
// rows bottom-up or top-down, uncompressed, RLE8 and bit fields; the result
// is a truecolor pixmap. Writing: 24 bits per pixel, uncompressed,
// bottom-up, with the 54-byte header.
#include <cstddef>
#include <cstdint>
#include <vector>

struct qzPixmap;

// Width and height from the 54-byte header; false (logged) when the bytes
// do not start a bitmap file.
bool qzbmp_size(const uint8_t* data, size_t size, int& width, int& height);
// Decodes a whole file; false with a log line on any fault, out untouched.
bool qzbmp_decode(const uint8_t* data, size_t size, qzPixmap& out);
// Encodes the pixmap (converted to truecolor first); false when its format
// cannot be converted.
bool qzbmp_encode(const qzPixmap& p, std::vector<uint8_t>& out);
