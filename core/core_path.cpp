#include "core/core_path.h"

#include "core/lanes.h"

CorePath PathFor(bool hasAvx2) { return hasAvx2 ? CorePath::Avx2 : CorePath::Sse2; }

CorePath DefaultCorePath() { return PathFor(core_detail::ProcessorHasAvx2()); }
