// The workbench's entry point.
#include <cstdio>

int main(int, char**) {
  std::fprintf(stderr, "kmwb: the main window is being built\n");
  return 1;
}
