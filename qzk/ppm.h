#pragma once
// Portable pixmap files: reading P6 (binary) and P3 (text) with any maxval
// from 1 to 65535, comments included; writing P6 with maxval 255.
#include <cstddef>
#include <cstdint>
#include <vector>

struct qzPixmap;

bool qzppm_size(const uint8_t* data, size_t size, int& width, int& height);
// Decodes to a truecolor pixmap; false with a log line on any fault.
bool qzppm_decode(const uint8_t* data, size_t size, qzPixmap& out);
bool qzppm_encode(const qzPixmap& p, std::vector<uint8_t>& out);
