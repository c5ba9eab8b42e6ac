#pragma once
// The files below the working folder with their sizes and change times,
// taken before and after a module run to tell which files it wrote,
// whatever wrote them (working files, tables, pictures the module saves).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct FileStamp {
  uint64_t bytes = 0;
  int64_t changedNs = 0;  // last change, nanoseconds
  // For a file changed just before the state was read: its checksum, since
  // the system's clock for file times is coarse (a few milliseconds) and a
  // rewrite of the same size may keep the time.
  std::string sha256;
};

// Keyed by the path relative to the folder ("dath.txt", "AI-aktuell/zq-H.bmp").
using FolderState = std::map<std::string, FileStamp>;

// Every regular file below `root`, except those below the folders in
// `skip` (relative paths: the record folders), the log and temporary files.
FolderState ReadFolderState(const std::string& root, const std::vector<std::string>& skip);

// The files that are new or changed in `after`, in path order (`root` to
// look again at the files whose stamps alone cannot tell).
std::vector<std::string> ChangedFiles(const FolderState& before, const FolderState& after,
                                      const std::string& root);
