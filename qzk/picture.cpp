#include "qzk/picture.h"

#include "qzk/bmp.h"
#include "qzk/log.h"
#include "qzk/pcx.h"
#include "qzk/picture_file.h"
#include "qzk/picture_options.h"
#include "qzk/pixmap.h"
#include "qzk/png.h"
#include "qzk/ppm.h"
#include "qzk/xpm.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <strings.h>

namespace {

struct Extension {
  const char* text;
  int type;
};
constexpr std::array<Extension, 11> kExtensions = {{
    {"png", QZ_PIC_PNG}, {"bmp", QZ_PIC_BMP}, {"xpm", QZ_PIC_XPM}, {"ppm", QZ_PIC_PPM}, {"pcx", QZ_PIC_PCX},
    {"htm", QZ_PIC_HTML}, {"html", QZ_PIC_HTML}, {"wmf", QZ_PIC_WMF}, {"ps", QZ_PIC_PS}, {"pdf", QZ_PIC_PDF},
    {"svg", QZ_PIC_SVG},
}};

// Enough of a file's start for every size query (PPM headers may carry comments).
constexpr size_t kHeaderBytes = 65536;

const char* readerName(int type) {
  switch (type) {
    case QZ_PIC_BMP: return "bmp";
    case QZ_PIC_PPM: return "ppm";
    default: return "pcx";
  }
}

}  // namespace

int qzpicture_filetype(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return QZ_PIC_UNKNOWN;
  const std::string ext = path.substr(dot + 1);
  for (const auto& e : kExtensions)
    if (strcasecmp(ext.c_str(), e.text) == 0) return e.type;
  return QZ_PIC_UNKNOWN;
}

int qzgetpicturesizes(const std::string& path, int& width, int& height) {
  const int type = qzpicture_filetype(path);
  if (type != QZ_PIC_BMP && type != QZ_PIC_PPM && type != QZ_PIC_PCX) {
    qzlog("qzgetpicturesizes: unsupported format (%s)\n", path.c_str());
    return 0;
  }
  std::vector<uint8_t> bytes;
  if (!qzpicture_readfile(path, bytes, kHeaderBytes)) return 0;
  bool ok = false;
  if (type == QZ_PIC_BMP) ok = qzbmp_size(bytes.data(), bytes.size(), width, height);
  if (type == QZ_PIC_PPM) ok = qzppm_size(bytes.data(), bytes.size(), width, height);
  if (type == QZ_PIC_PCX) ok = qzpcx_size(bytes.data(), bytes.size(), width, height);
  return ok ? 1 : 0;
}

bool qzpicture_decode(const uint8_t* data, size_t size, int type, qzPixmap& out) {
  switch (type) {
    case QZ_PIC_BMP: return qzbmp_decode(data, size, out);
    case QZ_PIC_PPM: return qzppm_decode(data, size, out);
    case QZ_PIC_PCX: return qzpcx_decode(data, size, out);
    default: return false;
  }
}

bool qzpicture_encode(const qzPixmap& p, int type, const std::string& name, std::vector<uint8_t>& out) {
  switch (type) {
    case QZ_PIC_PNG: return qzpng_encode(p, out);
    case QZ_PIC_BMP: return qzbmp_encode(p, out);
    case QZ_PIC_XPM: return qzxpm_encode(p, name, out);
    case QZ_PIC_PPM: return qzppm_encode(p, out);
    case QZ_PIC_PCX: return qzpcx_encode(p, out);
    default: return false;
  }
}

bool qzpxmap_loadfromfile(qzPixmap& target, const char* options, ...) {
  va_list args;
  va_start(args, options);
  const qzPictureOptions o = qzpicture_voptions(true, options, args);
  va_end(args);
  const int type = qzpicture_filetype(o.path);
  if (type == QZ_PIC_XPM) {
    qzlog("qzpxmap_loadfromfile_xpm not supported\n");
    return false;
  }
  if (type != QZ_PIC_BMP && type != QZ_PIC_PPM && type != QZ_PIC_PCX) {
    qzlog("qzgraphic_gloadintern_file: unsupported format (%s)\n", o.path.c_str());
    return false;
  }
  if (target.format != QZ_PX_NONE && target.format != QZ_PX_TRUECOLOR && target.format != QZ_PX_SERVER) {
    qzlog("qzpxmap_loadfromfile_%s: PX-Format %d not supported (should load and copy then)\n", readerName(type),
          target.format);
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!qzpicture_readfile(o.path, bytes)) {
    qzlog("qzpxmap_loadfromfile: cannot open \"%s\"\n", o.path.c_str());
    return false;
  }
  qzPixmap picture;
  if (!qzpicture_decode(bytes.data(), bytes.size(), type, picture)) {
    qzlog("qzpxmap_loadfromfile: cannot read \"%s\"\n", o.path.c_str());
    return false;
  }
  const int width = o.hasXs ? o.xs : picture.width;
  const int height = o.hasYs ? o.ys : picture.height;
  if (!qzpxmap_scale(picture, width, height)) return false;
  if (target.format == QZ_PX_NONE) {
    target = std::move(picture);
    return true;
  }
  return qzpxmap_merge(picture, target, o.x, o.y);
}

bool qzpxmap_savetofile(const qzPixmap& p, const char* options, ...) {
  va_list args;
  va_start(args, options);
  const qzPictureOptions o = qzpicture_voptions(true, options, args);
  va_end(args);
  const int type = qzpicture_filetype(o.path);
  if (type < QZ_PIC_PNG || type > QZ_PIC_PCX) {
    qzlog("qzpxmap_savetofile: unsupported format (%s)\n", o.path.c_str());
    return false;
  }
  qzPixmap part;
  const qzPixmap* source = &p;
  if (o.hasX || o.hasY || o.hasXs || o.hasYs) {
    const int xs = o.hasXs ? o.xs : p.width - o.x;
    const int ys = o.hasYs ? o.ys : p.height - o.y;
    if (!qzpxmap_duplicate(p, part, o.x, o.y, std::max(xs, 0), std::max(ys, 0))) return false;
    source = &part;
  }
  std::vector<uint8_t> bytes;
  if (!qzpicture_encode(*source, type, qzxpm_variable_name(o.path), bytes)) {
    qzlog("qzpxmap_savetofile: cannot encode \"%s\"\n", o.path.c_str());
    return false;
  }
  if (!qzpicture_writefile(o.path, bytes)) {
    qzlog("qzpxmap_savetofile: cannot write \"%s\"\n", o.path.c_str());
    return false;
  }
  return true;
}

bool qzpxmap_createfrommem(qzPixmap& out, const std::vector<std::string>& xpm, const char* options, ...) {
  va_list args;
  va_start(args, options);
  const qzPictureOptions o = qzpicture_voptions(false, options, args);
  va_end(args);
  return qzxpm_decode(xpm, out, o.palettecode, o.transparent);
}
