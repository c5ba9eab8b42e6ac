#include "app/folder_state.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

#include <ctime>

#include "qzk/sha256.h"

namespace fs = std::filesystem;

namespace {

// Files changed this shortly before the state is read get a checksum: the
// file times come from a clock that advances in steps of a few milliseconds.
constexpr int64_t kRecentNs = 50'000'000;

bool Skipped(const std::string& relative, const std::vector<std::string>& skip) {
  for (const std::string& s : skip) {
    if (s.empty()) continue;
    if (relative == s || (relative.size() > s.size() && relative.compare(0, s.size(), s) == 0 &&
                          relative[s.size()] == '/'))
      return true;
  }
  return false;
}

bool EndsWith(const std::string& s, const char* tail) {
  const std::string t = tail;
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// "./results/" and "results" alike.
std::string Tidy(std::string path) {
  while (path.compare(0, 2, "./") == 0) path.erase(0, 2);
  while (!path.empty() && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

FolderState ReadFolderState(const std::string& root, const std::vector<std::string>& skipped) {
  std::vector<std::string> skip;
  for (const std::string& s : skipped) skip.push_back(Tidy(s));
  FolderState state;
  struct timespec clock {};
  clock_gettime(CLOCK_REALTIME, &clock);
  const int64_t now = static_cast<int64_t>(clock.tv_sec) * 1000000000 + clock.tv_nsec;
  std::error_code ec;
  fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string relative = Tidy(fs::relative(it->path(), root, ec).generic_string());
    if (ec) break;
    if (Skipped(relative, skip)) {
      if (it->is_directory(ec)) it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file(ec)) continue;
    // Neither the log nor the temporary files and journal of a working
    // file set (analyses/workfile_set.h) or a record.
    if (relative == "qzk.log" || relative == "workfiles.journal" || EndsWith(relative, ".tmp") ||
        EndsWith(relative, ".new"))
      continue;
    struct stat st {};
    if (stat(it->path().c_str(), &st) != 0) continue;
    FileStamp stamp{static_cast<uint64_t>(st.st_size),
                    static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, ""};
    if (stamp.changedNs + kRecentNs >= now) {
      uint64_t bytes = 0;
      qzsha256_file(it->path().string(), stamp.sha256, bytes);
    }
    state[relative] = stamp;
  }
  return state;
}

std::vector<std::string> ChangedFiles(const FolderState& before, const FolderState& after,
                                      const std::string& root) {
  std::vector<std::string> changed;
  for (const auto& [path, stamp] : after) {
    auto it = before.find(path);
    bool same = it != before.end() && it->second.bytes == stamp.bytes && it->second.changedNs == stamp.changedNs;
    if (same && !it->second.sha256.empty()) {
      std::string now;
      uint64_t bytes = 0;
      same = qzsha256_file(root + "/" + path, now, bytes) && now == it->second.sha256;
    }
    if (!same) changed.push_back(path);
  }
  return changed;
}
