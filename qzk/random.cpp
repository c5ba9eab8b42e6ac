#include "qzk/random.h"

#include <chrono>

#include "qzk/log.h"

namespace {
constexpr uint64_t kMultiplier = 6364136223846793005ULL;  // Knuth, MMIX
constexpr uint64_t kIncrement = 1442695040888963407ULL;

qzRandomState g_state;
uint64_t g_seed = 0;
bool g_seeded = false;

void ensure_seeded() {
  if (!g_seeded) qzrandom_state_seed(g_state, 0), g_seeded = true;
}
}  // namespace

void qzrandom_state_seed(qzRandomState& s, uint64_t seed) {
  // The PCG reference seeding: state 0, one step, add the seed, one step.
  s.increment = kIncrement | 1u;
  s.state = 0;
  qzrandom_next32(s);
  s.state += seed;
  qzrandom_next32(s);
}

uint32_t qzrandom_next32(qzRandomState& s) {
  uint64_t old = s.state;
  s.state = old * kMultiplier + s.increment;
  uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  uint32_t rot = static_cast<uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

void qzrandom_state_advance(qzRandomState& s, uint64_t steps) {
  // The LCG's jump (Brown, "Random number generation with arbitrary
  // strides", 1994): the multiplier and increment of 2^i steps are
  // squared up, those of the set bits of `steps` composed.
  uint64_t multiplier = kMultiplier, increment = s.increment;
  uint64_t totalMultiplier = 1, totalIncrement = 0;
  for (; steps > 0; steps >>= 1) {
    if (steps & 1u) {
      totalMultiplier *= multiplier;
      totalIncrement = totalIncrement * multiplier + increment;
    }
    increment = (multiplier + 1) * increment;
    multiplier *= multiplier;
  }
  s.state = totalMultiplier * s.state + totalIncrement;
}

void qzrandom_seed(uint64_t seed) {
  g_seed = seed;
  g_seeded = true;
  qzrandom_state_seed(g_state, seed);
  qzlog("random seed: %llu\n", static_cast<unsigned long long>(seed));
}

void qzrandom_init() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  uint64_t seed = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
  qzlog("random init.\n");
  qzrandom_seed(seed);
}

uint64_t qzrandom_current_seed() { return g_seed; }

uint64_t qzrandom_state_seed_now() {
  ensure_seeded();
  // Seeding sets state = (increment + seed) * M + increment; M is odd, so
  // it has an inverse modulo 2^64 (Newton's iteration doubles the bits
  // that are right each step).
  uint64_t inverse = kMultiplier;
  for (int i = 0; i < 5; ++i) inverse *= 2 - kMultiplier * inverse;
  const uint64_t increment = kIncrement | 1u;
  return (g_state.state - increment) * inverse - increment;
}

int qzrand() {
  ensure_seeded();
  return static_cast<int>(qzrandom_next32(g_state) >> 1);
}

long qzrandom() {
  ensure_seeded();
  return static_cast<long>(qzrandom_next32(g_state) >> 1);
}
