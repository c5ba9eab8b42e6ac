#pragma once
// UTF-8 in std::string: encoding one code point, counting characters and
// stepping over them by byte offsets.
#include <cstddef>
#include <string>

// Appends `code` as UTF-8 (one to four bytes; codes above 0x10FFFF are
// taken as they are, cut to 21 bits).
void qzutf8_append(std::string& out, unsigned code);
std::string qzutf8_of(unsigned code);

size_t qzutf8_count(const std::string& s);
// Offset of the character before / after `pos` (clamped to the text).
size_t qzutf8_prev(const std::string& s, size_t pos);
size_t qzutf8_next(const std::string& s, size_t pos);
// The start of the character that byte `pos` belongs to (clamped to the text).
size_t qzutf8_start(const std::string& s, size_t pos);
