#include "core/ephemeris.h"

#include <atomic>

namespace {

std::atomic<Ephemeris> current{Ephemeris::Classic};

}  // namespace

const char* EphemerisName(Ephemeris ephemeris) {
  return ephemeris == Ephemeris::Precise ? "precise" : "classic";
}

bool EphemerisFromName(std::string_view name, Ephemeris& ephemeris) {
  if (name == "classic") {
    ephemeris = Ephemeris::Classic;
    return true;
  }
  if (name == "precise") {
    ephemeris = Ephemeris::Precise;
    return true;
  }
  return false;
}

Ephemeris CurrentEphemeris() { return current.load(std::memory_order_relaxed); }

void SetCurrentEphemeris(Ephemeris ephemeris) { current.store(ephemeris, std::memory_order_relaxed); }
