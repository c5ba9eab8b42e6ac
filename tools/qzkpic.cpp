// qzkpic: the toolkit's picture code from the command line.
//   qzkpic info FILE      width and height of a BMP, PPM or PCX file
//   qzkpic convert IN OUT reads IN (BMP, PPM, PCX) and writes OUT in the
//                         format of its extension (PNG, BMP, XPM, PPM, PCX)
// Failures go to standard error with a non-zero exit status; the details
// are in qzk.log in the current directory.
#include "qzk/picture.h"
#include "qzk/picture_file.h"
#include "qzk/pixmap.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int usage() {
  std::fprintf(stderr, "usage: qzkpic info FILE\n       qzkpic convert IN OUT\n");
  return 2;
}

int info(const char* path) {
  int width = 0, height = 0;
  if (!qzgetpicturesizes(path, width, height)) {
    std::fprintf(stderr, "qzkpic: cannot read the size of %s (BMP, PPM or PCX expected)\n", path);
    return 1;
  }
  std::printf("%d %d\n", width, height);
  return 0;
}

int convert(const char* in, const char* out) {
  const int inType = qzpicture_filetype(in);
  if (inType != QZ_PIC_BMP && inType != QZ_PIC_PPM && inType != QZ_PIC_PCX) {
    std::fprintf(stderr, "qzkpic: %s: only BMP, PPM and PCX files can be read\n", in);
    return 1;
  }
  const int outType = qzpicture_filetype(out);
  if (outType < QZ_PIC_PNG || outType > QZ_PIC_PCX) {
    std::fprintf(stderr, "qzkpic: %s: only PNG, BMP, XPM, PPM and PCX files can be written\n", out);
    return 1;
  }
  std::vector<uint8_t> bytes;
  if (!qzpicture_readfile(in, bytes)) {
    std::fprintf(stderr, "qzkpic: cannot open %s: %s\n", in, std::strerror(errno));
    return 1;
  }
  qzPixmap picture;
  if (!qzpicture_decode(bytes.data(), bytes.size(), inType, picture)) {
    std::fprintf(stderr, "qzkpic: %s is not a readable picture (see qzk.log)\n", in);
    return 1;
  }
  if (!qzpxmap_savetofile(picture, "%s", out)) {
    std::fprintf(stderr, "qzkpic: cannot write %s\n", out);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "info") == 0) return info(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "convert") == 0) return convert(argv[2], argv[3]);
  return usage();
}
