#pragma once
// The option strings of the picture calls: "path,x=10,y=20,xs=100,ys=50"
// for files, "palettecode=2,notransparent" for pictures from memory.
#include <cstdarg>
#include <string>

struct qzPictureOptions {
  std::string path;  // item 0, verbatim
  int x = 0, y = 0, xs = 0, ys = 0;
  bool hasX = false, hasY = false, hasXs = false, hasYs = false;
  int palettecode = 0;
  bool transparent = true;
};

// Formats the string with its arguments, then reads the items: keys
// case-insensitive, blanks ignored, unknown items skipped. With withPath,
// item 0 is the path and the keys start at item 1.
qzPictureOptions qzpicture_voptions(bool withPath, const char* format, va_list args);
qzPictureOptions qzpicture_options(bool withPath, const std::string& text);
