// libFuzzer target of the PPM reader: any bytes must give a picture or a
// clean refusal. Built by hand, see fuzz/picture_build.sh.
#include "qzk/ppm.h"
#include "qzk/pixmap.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int width = 0, height = 0;
  qzPixmap p;
  const bool sized = qzppm_size(data, size, width, height);
  if (qzppm_decode(data, size, p)) {
    // A decoded picture has the size its header gave and all its pixels.
    if (!sized || p.width != width || p.height != height) __builtin_trap();
    if (p.rgb.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.height)) __builtin_trap();
  }
  return 0;
}
