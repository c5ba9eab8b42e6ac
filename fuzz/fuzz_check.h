#pragma once
// The fuzz targets' expectations: a broken one aborts (which libFuzzer
// reports as a finding) and names its line.
#include <cstdio>
#include <cstdlib>

inline void check_at(bool condition, int line) {
  if (condition) return;
  std::fprintf(stderr, "expectation of line %d broken\n", line);
  std::abort();
}
#define check(condition) check_at((condition), __LINE__)
