#include "analyses/workfile_set.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>

#include "app/module_files.h"
#include "app/module_report.h"
#include "app/output.h"
#include "data/run_journal.h"
#include "qzk/log.h"

namespace {

// The journal while it is written; renamed to kWorkfileJournal when whole.
constexpr const char* kJournalWritten = "workfiles.journal.new";
constexpr const char* kJournalHead = "working file set";
constexpr off_t kMaxJournalBytes = 1 << 20;

enum class JournalState { Pending, Commit };

struct Journal {
  JournalState state = JournalState::Pending;
  std::vector<std::string> names;
};

std::string TemporaryName(const std::string& name) { return name + kWorkfileNewEnding; }

std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? "." : name.substr(0, slash);
}

bool Exists(const char* path) {
  struct stat st {};
  return ::lstat(path, &st) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Writes `bytes` under `path`, made anew (whatever was there, a FIFO or a
// link included, is removed first and never written through), synced.
// False with errno when it cannot be.
bool WriteSynced(const std::string& path, const std::string& bytes) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      ok = false;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  ok = ok && ::fsync(fd) == 0;
  const int error = errno;
  ok = ::close(fd) == 0 && ok;
  if (!ok && errno == 0) errno = error;
  return ok;
}

// Makes the names in a folder (a rename, a new file) last like the data.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void SyncFolders(const std::vector<std::string>& names) {
  std::set<std::string> folders{"."};
  for (const std::string& name : names) folders.insert(FolderOf(name));
  for (const std::string& folder : folders) SyncFolder(folder);
}

std::string JournalText(const Journal& journal) {
  std::string text = std::string(kJournalHead) + "\n";
  text += journal.state == JournalState::Commit ? "commit\n" : "pending\n";
  text += std::to_string(journal.names.size()) + "\n";
  for (const std::string& name : journal.names) text += name + "\n";
  return text + "end\n";
}

// The journal, whole or not at all: written under another name, synced,
// renamed.
bool WriteJournal(const Journal& journal) {
  if (!WriteSynced(kJournalWritten, JournalText(journal)) ||
      ::rename(kJournalWritten, kWorkfileJournal) != 0) {
    const int error = errno;
    ::unlink(kJournalWritten);
    errno = error;
    return false;
  }
  SyncFolder(".");
  return true;
}

// A name a journal may hold: a relative path that stays in the working
// folder.
bool SafeName(const std::string& name) {
  if (name.empty() || name.front() == '/') return false;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == name.size()) return true;
    start = end + 1;
  }
}

// The journal as a set wrote it; nullopt when there is none or it is not
// one (something else wrote or cut it).
std::optional<Journal> ReadJournal() {
  const int fd = ::open(kWorkfileJournal, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::string text;
  bool read = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxJournalBytes;
  if (read) {
    text.resize(static_cast<std::size_t>(st.st_size));
    read = ::read(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }
  ::close(fd);
  if (!read || text.empty() || text.back() != '\n' || text.find('\0') != std::string::npos)
    return std::nullopt;
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (lines.size() < 4 || lines[0] != kJournalHead || lines.back() != "end") return std::nullopt;
  Journal journal;
  if (lines[1] == "commit")
    journal.state = JournalState::Commit;
  else if (lines[1] != "pending")
    return std::nullopt;
  if (lines[2] != std::to_string(lines.size() - 4)) return std::nullopt;
  for (std::size_t i = 3; i + 1 < lines.size(); ++i) {
    if (!SafeName(lines[i])) return std::nullopt;
    journal.names.push_back(lines[i]);
  }
  return journal;
}

// Removes the temporary files of a set that was not committed, and its
// journal.
void Discard(const std::vector<std::string>& names) {
  for (const std::string& name : names) ::unlink(TemporaryName(name).c_str());
  ::unlink(kWorkfileJournal);
  SyncFolder(".");
}

// Puts every temporary file of a committed set in place, then removes the
// journal. A file whose temporary is gone is in place already. Returns the
// first file that could not be put in place (the journal then stays for
// the next try), or "".
std::string RollForward(const std::vector<std::string>& names) {
  std::string stuck;
  for (const std::string& name : names) {
    const std::string temporary = TemporaryName(name);
    if (!Exists(temporary.c_str())) continue;
    if (::rename(temporary.c_str(), name.c_str()) != 0 && stuck.empty()) {
      stuck = name;
      qzlog("working file set: %s cannot be put in place: %s\n", name.c_str(), std::strerror(errno));
    }
  }
  SyncFolders(names);
  if (stuck.empty()) {
    ::unlink(kWorkfileJournal);
    SyncFolder(".");
  }
  return stuck;
}

bool Failed(const std::string& name, const std::string& why) {
  const std::string message =
      "\n " + name + " could not be written" + (why.empty() ? "" : " (" + why + ")") + " \n";
  PrintOut("%s", message.c_str());
  PrintOut("\n The working files are as they were. \n");
  ModuleFailed(message);
  return false;
}

}  // namespace

void WorkfileSet::Keep(const WorkFile& file, std::string bytes, std::string problem) {
  for (Entry& e : files_) {
    if (std::strcmp(e.file->name, file.name) == 0) {
      e = Entry{&file, std::move(bytes), std::move(problem)};
      return;
    }
  }
  files_.push_back(Entry{&file, std::move(bytes), std::move(problem)});
}

void WorkfileSet::Put(const WorkFile& file, std::span<const double> values) {
  std::string problem;
  std::string bytes = FormatValues(file, values, &problem);
  Keep(file, std::move(bytes), std::move(problem));
}

void WorkfileSet::Put(const WorkFile& file, std::span<const int> values) {
  Keep(file, FormatValues(file, values), std::string());
}

void WorkfileSet::PutLines(const WorkFile& file, const std::vector<std::string>& lines) {
  Keep(file, FormatLines(lines), std::string());
}

std::vector<std::string> WorkfileSet::Names() const {
  std::vector<std::string> names;
  for (const Entry& e : files_) names.push_back(e.file->name);
  return names;
}

bool WorkfileSet::Commit() {
  RecoverWorkfileSet();
  if (files_.empty()) return true;
  const std::vector<std::string> names = Names();

  // What can be known before anything is written: the values, and a place
  // for every file (its folder, and no folder where the file goes).
  std::vector<std::string> madeFolders;
  auto failBefore = [&](const std::string& name, const std::string& why) {
    for (auto f = madeFolders.rbegin(); f != madeFolders.rend(); ++f) ::rmdir(f->c_str());
    return Failed(name, why);
  };
  for (const Entry& e : files_) {
    if (!e.problem.empty()) return failBefore(e.file->name, e.problem);
    if (IsFolder(e.file->name)) return failBefore(e.file->name, "a folder is in its place");
    const std::string folder = FolderOf(e.file->name);
    for (std::size_t slash = 0; folder != "." && slash != std::string::npos;) {
      slash = folder.find('/', slash + 1);
      const std::string part = folder.substr(0, slash);
      if (IsFolder(part)) continue;
      if (::mkdir(part.c_str(), 0777) != 0) return failBefore(e.file->name, std::strerror(errno));
      madeFolders.push_back(part);
    }
  }

  // A module stopped after this point still puts back what it replaced
  // (app/module_files.h).
  for (const std::string& name : names) KeepFileBeforeWrite(name);
  Journal journal{JournalState::Pending, names};
  if (!WriteJournal(journal)) return failBefore(kWorkfileJournal, std::strerror(errno));
  for (const Entry& e : files_) {
    if (!WriteSynced(TemporaryName(e.file->name), e.bytes)) {
      const std::string why = std::strerror(errno);
      Discard(names);
      return failBefore(e.file->name, why);
    }
  }
  SyncFolders(names);
  journal.state = JournalState::Commit;
  if (!WriteJournal(journal)) {
    const std::string why = std::strerror(errno);
    Discard(names);
    return failBefore(kWorkfileJournal, why);
  }
  // The set is written; what follows only puts it in place. The running
  // module's record names each file in place with the bytes it holds.
  const std::string stuck = RollForward(names);
  for (const Entry& e : files_)
    if (!Exists(TemporaryName(e.file->name).c_str())) JournalNoteWritten(e.file->name, e.bytes);
  if (stuck.empty()) return true;
  const std::string message = "\n " + stuck +
                              " could not be put in place; the next module that reads the working "
                              "files tries again \n";
  PrintOut("%s", message.c_str());
  ModuleFailed(message);
  return false;
}

void RecoverWorkfileSet() {
  const bool journal = Exists(kWorkfileJournal);
  // A journal that was being written when the process ended: the set it
  // belongs to is still pending (or nothing of it was written yet).
  if (Exists(kJournalWritten)) ::unlink(kJournalWritten);
  if (!journal) return;
  const std::optional<Journal> j = ReadJournal();
  if (!j) {
    qzlog("working file set: %s is not a journal of this program; removed\n", kWorkfileJournal);
    ::unlink(kWorkfileJournal);
    return;
  }
  if (j->state == JournalState::Pending) {
    qzlog("working file set: an interrupted set of %zu files discarded\n", j->names.size());
    Discard(j->names);
    return;
  }
  qzlog("working file set: an interrupted set of %zu files put in place\n", j->names.size());
  const std::string stuck = RollForward(j->names);
  if (!stuck.empty())
    PrintOut("\n WARNING: %s of an interrupted module could not be put in place \n", stuck.c_str());
}
