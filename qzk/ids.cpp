#include "qzk/ids.h"

namespace {
int g_next = 1000000;
}

int qzids_next(int count) {
  int first = g_next;
  g_next += count;
  return first;
}
