#pragma once
// printf-style formatting into a std::string, of any length. Short texts
// (the usual printed line) are formatted once on the stack; longer ones are
// measured and formatted again into their full size. A null format gives "".
#include <cstdarg>
#include <string>

std::string qzvformat(const char* format, va_list args);
