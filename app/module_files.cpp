#include "app/module_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <optional>
#include <sstream>

#include "data/run_journal.h"
#include "qzk/log.h"

namespace {
bool keeping = false;
// Path to its bytes before the module, or nothing when it did not exist.
std::map<std::string, std::optional<std::string>> kept;

// The bytes of a regular file; nothing for anything else. Opened without
// waiting: a FIFO in a working file's place (which the new file replaces)
// would otherwise wait for a writer that never comes.
std::optional<std::string> ReadBytes(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::optional<std::string> bytes;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    bytes.emplace();
    char chunk[65536];
    for (;;) {
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) bytes.reset();
      if (n <= 0) break;
      bytes->append(chunk, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
  return bytes;
}

// Whole or not at all, as the working files are written.
bool WriteBytes(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".restore.tmp";
  bool ok = false;
  if (FILE* f = std::fopen(temporary.c_str(), "wb")) {
    ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
  }
  if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}
}  // namespace

void KeepFileBeforeWrite(const std::string& path) {
  if (!keeping || kept.count(path)) return;
  kept.emplace(path, ReadBytes(path));
}

void BeginKeepingFiles() {
  kept.clear();
  keeping = true;
}

bool RestoreKeptFiles() {
  bool all = true;
  for (const auto& [path, bytes] : kept) {
    bool ok = bytes ? WriteBytes(path, *bytes) : (std::remove(path.c_str()) == 0 || !ReadBytes(path));
    if (!ok) {
      qzlog("%s could not be put back as it was\n", path.c_str());
      all = false;
    } else {
      JournalNotePutBack(path);
    }
  }
  kept.clear();
  keeping = false;
  return all;
}

void ForgetKeptFiles() {
  kept.clear();
  keeping = false;
}

int KeptFileCount() { return static_cast<int>(kept.size()); }
