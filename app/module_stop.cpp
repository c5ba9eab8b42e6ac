#include "app/module_stop.h"

#include <atomic>

namespace {
std::atomic<int> stopReason{static_cast<int>(ModuleStop::None)};
}  // namespace

void RequestModuleStop(ModuleStop why) {
  if (why == ModuleStop::None) return;
  int none = static_cast<int>(ModuleStop::None);
  if (!stopReason.compare_exchange_strong(none, static_cast<int>(why)) && why == ModuleStop::Quit)
    stopReason.store(static_cast<int>(ModuleStop::Quit));
}

bool ModuleStopRequested() { return stopReason.load(std::memory_order_relaxed) != static_cast<int>(ModuleStop::None); }

ModuleStop ModuleStopReason() { return static_cast<ModuleStop>(stopReason.load()); }

void ClearModuleStop() { stopReason.store(static_cast<int>(ModuleStop::None)); }
