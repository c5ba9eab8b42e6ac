#pragma once
// A whole file as bytes in a string ("" when it cannot be read).
#include <string>

std::string ReadFile(const std::string& path);
