#include "qzk/platform/platform.h"

#include <cstdlib>
#include <cstring>

#include "qzk/log.h"

namespace {
// Not destroyed with the other statics: the windows must go first, and a
// window in static storage may be destroyed after this file's statics.
// qzplatform_shutdown ends it in the right order.
qzPlatform* g_platform = nullptr;
bool g_want_headless = false;
int g_scale = 0;  // 0: from the display's density
}  // namespace

void qzplatform_configure(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (!argv[i]) continue;
    if (std::strcmp(argv[i], "--headless") == 0) g_want_headless = true;
    if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc && argv[i + 1]) {
      int s = std::atoi(argv[i + 1]);
      if (s >= 1 && s <= 8) g_scale = s;
      else qzlog("--scale %s ignored: 1 to 8\n", argv[i + 1]);
    }
  }
}

void qzplatform_use_headless() {
  g_want_headless = true;
  if (g_platform && std::strcmp(g_platform->name(), "headless") != 0) {
    delete g_platform;
    g_platform = nullptr;
  }
}

qzPlatform& qzplatform() {
  if (!g_platform) {
    if (!g_want_headless) {
      g_platform = qzplatform_create_sdl(g_scale);
      if (!g_platform) qzlog("no display could be opened: headless backend\n");
    }
    if (!g_platform) g_platform = qzplatform_create_headless();
    qzlog("platform: %s\n", g_platform->name());
  }
  return *g_platform;
}

bool qzplatform_is_headless() { return std::strcmp(qzplatform().name(), "headless") == 0; }

void qzplatform_shutdown() {
  // The headless backend holds memory only; tests keep using it after a
  // shutdown of the toolkit.
  if (!g_platform || std::strcmp(g_platform->name(), "headless") == 0) return;
  delete g_platform;
  g_platform = nullptr;
  g_want_headless = true;  // a straggler after the end gets windows in memory
}
