#pragma once
// The file dialog's view of the file system, apart from its widgets:
// filters, the entries of a folder that the list shows, and turning the
// typed name into the path the dialog returns. Paths use "/" throughout.
#include <string>
#include <vector>

struct qzFileFilter {
  std::vector<std::string> patterns;  // "*.txt", "*.dbf"; ";" separates several
  std::string description;            // shown in the filter box
};

// One "filter=" value: a pattern list, optionally "|" and a description
// (without one the patterns are shown).
qzFileFilter qzfiledialog_parse_filter(const std::string& value);
// Wildcards "*" and "?", letters compared without regard to case.
bool qzfiledialog_match(const std::string& pattern, const std::string& name);
bool qzfiledialog_matches(const qzFileFilter& filter, const std::string& name);

struct qzFolderEntry {
  std::string name;
  bool folder = false;
};

// ".." (unless `dir` is the root), the sub-folders, then the files that
// match the filter, each group sorted by name. An unreadable folder gives
// only "..".
std::vector<qzFolderEntry> qzfiledialog_list(const std::string& dir, const qzFileFilter& filter);

// "\" turned into "/", repeated separators and a trailing one removed
// (the root stays "/").
std::string qzfiledialog_normalise(const std::string& path);
// `name` taken relative to `dir` unless it is absolute; "." and ".."
// parts resolved.
std::string qzfiledialog_join(const std::string& dir, const std::string& name);
// The default extension appended when the last part of the name has none.
std::string qzfiledialog_with_extension(const std::string& path, const std::string& ext);
// The folder part of a path ("/" for a file in the root).
std::string qzfiledialog_parent(const std::string& path);
