#include "app/module_files.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include "data/run_journal.h"
#include "qzk/log.h"

namespace {
bool keeping = false;
// Path to its bytes before the module, or nothing when it did not exist.
std::map<std::string, std::optional<std::string>> kept;

std::optional<std::string> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
