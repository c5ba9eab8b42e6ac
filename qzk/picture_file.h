#pragma once
// Whole-file reading and all-or-nothing writing for the picture code.
#include <cstdint>
#include <string>
#include <vector>

// Reads at most maxBytes of the file (all of it when 0); false when it
// cannot be opened or read.
bool qzpicture_readfile(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes = 0);
// Writes the bytes to a temporary name beside path and renames it over
// path, so a failed write leaves the old file as it was.
bool qzpicture_writefile(const std::string& path, const std::vector<uint8_t>& bytes);
