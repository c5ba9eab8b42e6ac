#include "app/page_files.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>

#include "app/main_window.h"

namespace {

bool Keep(bool saved, const std::string& path, std::vector<std::string>& written) {
  if (saved) written.push_back(path);
  return saved;
}

}  // namespace

PageSnapshot TakePageSnapshot() {
  PageSnapshot s;
  const MainWindow* m = Shell();
  if (!m) return s;
  s.menu = m->menuTerminal.text();
  for (int k = 0; k < kPages; ++k) s.text[k] = m->text[k].text();
  s.graphicChoices = m->graphicChoices;
  return s;
}

bool MakeFolders(const std::string& path) {
  std::string part;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (!part.empty() && part != "." && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    if (i < path.size()) part += path[i];
  }
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SaveText(const std::string& path, const std::string& text) {
  std::string temporary = path + ".tmp";
  std::ofstream out(temporary, std::ios::binary);
  out << text;
  out.close();
  return out.good() && std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool SaveChangedPages(const std::string& dir, const PageSnapshot& before, const std::vector<std::string>& pictureExtensions,
                      std::vector<std::string>& written) {
  MainWindow* m = Shell();
  if (!m || !MakeFolders(dir)) return false;
  bool ok = true;
  std::string menuText = m->menuTerminal.text();
  if (menuText != before.menu && menuText.find_first_not_of(" \n") != std::string::npos) {
    std::string path = dir + "/text-0.txt";
    ok = Keep(SaveText(path, menuText), path, written) && ok;
  }
  for (int k = 1; k <= kPages; ++k) {
    const std::string& text = m->text[k - 1].text();
    if (!text.empty() && text != before.text[k - 1]) {
      std::string path = dir + "/text-" + std::to_string(k) + ".txt";
      ok = Keep(SaveTextPage(k, path), path, written) && ok;
    }
    if (m->graphicChoices[k - 1] == before.graphicChoices[k - 1]) continue;
    for (const std::string& ext : pictureExtensions) {
      std::string path = dir + "/graphic-" + std::to_string(k) + ext;
      ok = Keep(SaveGraphicPage(k, path), path, written) && ok;
    }
  }
  return ok;
}

std::string LabelForFileName(const std::string& label) {
  std::string name;
  bool gap = false;
  for (unsigned char c : label) {
    if (std::isalnum(c)) {
      if (gap && !name.empty()) name += '-';
      name += static_cast<char>(c);
      gap = false;
    } else {
      gap = true;
    }
  }
  return name;
}
