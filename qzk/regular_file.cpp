#include "qzk/regular_file.h"

#include <sys/stat.h>

bool qzis_regular_file(const char* path) {
  struct stat st {};
  return path && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}
