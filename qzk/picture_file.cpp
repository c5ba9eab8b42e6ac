#include "qzk/picture_file.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

bool qzpicture_readfile(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  uint8_t buf[65536];
  bool ok = true;
  while (maxBytes == 0 || bytes.size() < maxBytes) {
    size_t want = sizeof buf;
    if (maxBytes != 0 && maxBytes - bytes.size() < want) want = maxBytes - bytes.size();
    const size_t got = std::fread(buf, 1, want, f);
    bytes.insert(bytes.end(), buf, buf + got);
    if (got < want) {
      ok = !std::ferror(f);
      break;
    }
  }
  std::fclose(f);
  return ok;
}

bool qzpicture_writefile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temp = path + ".tmpXXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  FILE* f = fdopen(fd, "wb");
  if (!f) {
    close(fd);
    std::remove(temp.c_str());
    return false;
  }
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  // mkstemp creates the file for the owner only; a picture is an ordinary file.
  const mode_t mask = umask(0);
  umask(mask);
  if (ok) ok = chmod(temp.c_str(), 0666 & ~mask) == 0;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}
