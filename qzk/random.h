#pragma once
// The workbench's random numbers. One portable generator (the same
// sequence for the same seed on every platform and compiler), seeded once
// by the toolkit: from the clock by qzrandom_init, or fixed by
// qzrandom_seed for runs that must be repeated exactly.
//
// The generator is a 64-bit permuted congruential generator (PCG-XSH-RR,
// O'Neill 2014): state advances by the LCG constants of Knuth's MMIX and
// each output is a 32-bit xorshift-rotation of the old state.
#include <cstdint>

// Seeds from the current time and logs "random init.\n" and the seed.
void qzrandom_init();
// Seeds with a fixed value and logs it ("random seed: %llu\n").
void qzrandom_seed(uint64_t seed);
uint64_t qzrandom_current_seed();
// The seed that puts a freshly seeded generator into the state it has now:
// qzrandom_seed(qzrandom_state_seed_now()) continues the same sequence.
uint64_t qzrandom_state_seed_now();

// 0 .. 2^31 - 1 (the modules take it modulo 10000 or 100000, so the range
// is the same on every platform, unlike the C library's RAND_MAX).
int qzrand();
constexpr int QZ_RAND_MAX = 2147483647;
// A long random number 0 .. 2^31 - 1 (the C library's random()).
long qzrandom();

// A generator as a value, for code that wants its own stream.
struct qzRandomState {
  uint64_t state = 0;
  uint64_t increment = 1;
};
void qzrandom_state_seed(qzRandomState& s, uint64_t seed);
uint32_t qzrandom_next32(qzRandomState& s);
// Moves the generator on by `steps` numbers at once (in about 64 steps
// whatever the count): the state that `steps` calls of qzrandom_next32
// would leave, so that a block of work can draw from its own position in
// one stream.
void qzrandom_state_advance(qzRandomState& s, uint64_t steps);
