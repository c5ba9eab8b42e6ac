#include "qzk/filedialog_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

int lower(char c) { return std::tolower(static_cast<unsigned char>(c)); }

bool match_from(const char* p, const char* n) {
  // Iterative glob with one backtrack point: linear enough for file names.
  const char* star = nullptr;
  const char* retry = nullptr;
  while (*n) {
    if (*p == '*') {
      star = p++;
      retry = n;
    } else if (*p == '?' || (*p && lower(*p) == lower(*n))) {
      ++p;
      ++n;
    } else if (star) {
      p = star + 1;
      n = ++retry;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == 0;
}

}  // namespace

qzFileFilter qzfiledialog_parse_filter(const std::string& value) {
  qzFileFilter f;
  size_t bar = value.find('|');
  std::string list = value.substr(0, bar);
  if (bar != std::string::npos) f.description = trim(value.substr(bar + 1));
  size_t start = 0;
  while (start <= list.size()) {
    size_t semi = list.find(';', start);
    std::string p = trim(list.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
    if (!p.empty()) f.patterns.push_back(p);
    if (semi == std::string::npos) break;
    start = semi + 1;
  }
  if (f.patterns.empty()) f.patterns.push_back("*");
  if (f.description.empty()) {
    for (size_t i = 0; i < f.patterns.size(); ++i) f.description += (i ? ";" : "") + f.patterns[i];
  }
  return f;
}

bool qzfiledialog_match(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;  // the habitual "all files", extension or not
  return match_from(pattern.c_str(), name.c_str());
}

bool qzfiledialog_matches(const qzFileFilter& filter, const std::string& name) {
  if (filter.patterns.empty()) return true;
  for (const std::string& p : filter.patterns)
    if (qzfiledialog_match(p, name)) return true;
  return false;
}

std::vector<qzFolderEntry> qzfiledialog_list(const std::string& dir, const qzFileFilter& filter) {
  std::vector<qzFolderEntry> folders, files;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::error_code tec;
    if (it->is_directory(tec))
      folders.push_back({name, true});
    else if (qzfiledialog_matches(filter, name))
      files.push_back({name, false});
  }
  auto by_name = [](const qzFolderEntry& a, const qzFolderEntry& b) { return a.name < b.name; };
  std::sort(folders.begin(), folders.end(), by_name);
  std::sort(files.begin(), files.end(), by_name);
  std::vector<qzFolderEntry> out;
  if (qzfiledialog_normalise(dir) != "/") out.push_back({"..", true});
  out.insert(out.end(), folders.begin(), folders.end());
  out.insert(out.end(), files.begin(), files.end());
  return out;
}

std::string qzfiledialog_normalise(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '\\') c = '/';
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  if (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

std::string qzfiledialog_join(const std::string& dir, const std::string& name) {
  std::string n = qzfiledialog_normalise(name);
  bool absolute = !n.empty() && (n[0] == '/' || (n.size() > 1 && n[1] == ':'));
  std::string whole = absolute ? n : qzfiledialog_normalise(dir) + "/" + n;
  // Resolve "." and ".." by parts, so that the result names no detour.
  std::vector<std::string> parts;
  std::string head;
  size_t start = 0;
  if (!whole.empty() && whole[0] == '/') {
    head = "/";
    start = 1;
  } else if (whole.size() > 1 && whole[1] == ':') {
    head = whole.substr(0, 2) + "/";
    start = whole.size() > 2 ? 3 : 2;
  }
  while (start < whole.size()) {
    size_t slash = whole.find('/', start);
    std::string part = whole.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  std::string out = head;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
  return out.empty() ? "." : out;
}

std::string qzfiledialog_with_extension(const std::string& path, const std::string& ext) {
  std::string e = ext;
  while (!e.empty() && e[0] == '.') e.erase(0, 1);
  if (e.empty() || path.empty()) return path;
  size_t slash = path.rfind('/');
  std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
  if (last.empty() || last.find('.') != std::string::npos) return path;
  return path + "." + e;
}

std::string qzfiledialog_parent(const std::string& path) {
  std::string p = qzfiledialog_normalise(path);
  size_t slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return p.substr(0, slash);
}
