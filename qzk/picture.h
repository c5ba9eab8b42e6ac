#pragma once
// Picture files: their type by extension, their size, reading them into
// pixmaps and writing pixmaps to them. Decoding and encoding work on bytes
// in memory (bmp.h, ppm.h, pcx.h, png.h, xpm.h); this layer adds the files.
#include <cstdint>
#include <string>
#include <vector>

struct qzPixmap;

enum qzPictureType {
  QZ_PIC_UNKNOWN = 0,
  QZ_PIC_PNG = 1,
  QZ_PIC_BMP = 2,
  QZ_PIC_XPM = 3,
  QZ_PIC_PPM = 4,
  QZ_PIC_PCX = 5,
  QZ_PIC_HTML = 6,
  QZ_PIC_WMF = 7,
  QZ_PIC_PS = 8,
  QZ_PIC_PDF = 9,
  QZ_PIC_SVG = 10,  // written from a graphic target's drawing record (graphic.h), never from pixels alone
};

// The type by the path's extension, case-insensitive; 0 for anything else.
int qzpicture_filetype(const std::string& path);

// Width and height of a BMP, PPM or PCX file from its header, without
// reading the pixels. Returns 1, or 0 for other types (logged), files that
// cannot be read and malformed headers.
int qzgetpicturesizes(const std::string& path, int& width, int& height);

// Decodes bytes of a BMP, PPM or PCX file into a truecolor pixmap.
bool qzpicture_decode(const uint8_t* data, size_t size, int type, qzPixmap& out);
// Encodes as PNG, BMP, XPM, PPM or PCX; name is the XPM variable name.
bool qzpicture_encode(const qzPixmap& p, int type, const std::string& name, std::vector<uint8_t>& out);

// Reads a picture file into target. Options: the path as item 0, then
// "x=", "y=" (where its top-left corner goes, default 0) and "xs=", "ys="
// (the size it is scaled to; default its own). An empty target (format
// none) becomes the picture itself, at its own or the asked size; a
// truecolor or server target gets the picture copied in, clipped.
bool qzpxmap_loadfromfile(qzPixmap& target, const char* options, ...) __attribute__((format(printf, 2, 3)));

// Writes the pixmap, or the rectangle "x=", "y=", "xs=", "ys=" of it
// (clipped), to the path in item 0, in the format of its extension. The
// file appears complete or not at all.
bool qzpxmap_savetofile(const qzPixmap& p, const char* options, ...) __attribute__((format(printf, 2, 3)));

// Builds a pixmap from XPM text in memory (the lines of the C array).
// Options: "palettecode=N"; "transparent=0", "transparency=0",
// "notransparent" or "notransparency" for no transparent colour.
bool qzpxmap_createfrommem(qzPixmap& out, const std::vector<std::string>& xpm, const char* options, ...)
    __attribute__((format(printf, 3, 4)));
