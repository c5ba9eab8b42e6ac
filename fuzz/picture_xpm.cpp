// libFuzzer target of the XPM parser behind pictures from memory: the
// bytes are taken as XPM file text. Built by hand, see fuzz/picture_build.sh.
#include "qzk/pixmap.h"
#include "qzk/xpm.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  qzPixmap p;
  if (qzxpm_decode(qzxpm_strings(text), p)) {
    if (p.index.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.height)) __builtin_trap();
    for (uint16_t i : p.index)
      if (i >= p.palette.size()) __builtin_trap();
  }
  return 0;
}
