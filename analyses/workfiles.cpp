#include "analyses/workfiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "analyses/workfile_set.h"
#include "app/module_report.h"
#include "app/output.h"
#include "data/run_journal.h"

std::size_t LineCount(const WorkFile& file, int c, std::size_t listed) {
  const std::size_t n = c < 0 ? 0 : static_cast<std::size_t>(c) + 1;
  switch (file.extent) {
    case WorkExtent::Fixed: return static_cast<std::size_t>(file.fixedLines);
    case WorkExtent::PerBody: return n;
    case WorkExtent::FullMatrix: return n * n;
    case WorkExtent::UpperTriangle: return n == 0 ? 0 : n * (n - 1) / 2;
    case WorkExtent::MarkRows: return n * (n + 1);
    case WorkExtent::Listed: return listed;
  }
  return 0;
}

namespace {

// A line longer than this holds no value a module writes ("%f" of the
// largest double is 317 characters); the rest of it is skipped.
constexpr std::size_t kMaxLineBytes = 4096;

// The whole text of the value, however long ("%f" of 1e300 is 308 bytes).
void AppendLine(std::string& out, const char* format, auto value) {
  char line[64];
  const int n = std::snprintf(line, sizeof line, format, value);
  if (n < 0) return;
  if (static_cast<std::size_t>(n) < sizeof line) {
    out.append(line, static_cast<std::size_t>(n));
    return;
  }
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(n) + 1);
  std::snprintf(out.data() + at, static_cast<std::size_t>(n) + 1, format, value);
  out.resize(at + static_cast<std::size_t>(n));
}

// A warning on the current page, kept in the running module's record too.
[[gnu::format(printf, 1, 2)]] void Warn(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  PrintOut("%s", text);
  JournalNoteMessage(text);
}

// A file's lines as a reader takes them.
struct FileText {
  std::vector<std::string> lines;
  bool lastLineCut = false;  // the last line read has no line end
};

// Opens a regular file for reading without waiting: a FIFO or a device in
// its place is refused before anything is read (open does not wait on a
// FIFO opened without blocking). -1 with errno when it cannot be read:
// EISDIR for a folder, EINVAL for anything else that is no regular file.
int OpenRegular(const char* name) {
  const int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

// The first `count` lines of a file (fewer when it is shorter), without
// their line ends ("\n", or "\r\n"); nullopt when it cannot be read (errno
// tells why).
std::optional<FileText> FileLines(const char* name, std::size_t count) {
  const int fd = OpenRegular(name);
  if (fd < 0) return std::nullopt;
  JournalNoteRead(name);
  FileText text;
  std::string line;
  bool open = false;  // a line has begun
  char buffer[65536];
  while (text.lines.size() < count) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    for (ssize_t i = 0; i < got && text.lines.size() < count; ++i) {
      if (buffer[i] == '\n') {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text.lines.push_back(std::move(line));
        line.clear();
        open = false;
      } else {
        open = true;
        if (line.size() < kMaxLineBytes) line.push_back(buffer[i]);
      }
    }
  }
  ::close(fd);
  if (open && text.lines.size() < count) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    text.lines.push_back(std::move(line));
    text.lastLineCut = true;
  }
  return text;
}

// A line as a message quotes it: at most 24 characters, anything that is
// not printable ASCII as '?'.
std::string Quoted(const std::string& line) {
  std::string shown = "\"";
  for (std::size_t i = 0; i < line.size() && i < 24; ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    shown += c >= 32 && c < 127 ? static_cast<char>(c) : '?';
  }
  if (line.size() > 24) shown += "...";
  return shown + "\"";
}

std::optional<std::vector<std::string>> ReadExpected(const WorkFile& file, std::size_t count,
                                                     const MissingFileNotice& notice) {
  RecoverWorkfileSet();
  if (count > kMaxWorkFileLines) {
    char message[160];
    std::snprintf(message, sizeof message,
                  "\n %s: %zu values asked, more than a working file holds \n", file.name, count);
    RefuseReading(message, notice);
    return std::nullopt;
  }
  errno = 0;
  auto text = FileLines(file.name, count);
  if (!text) {
    RefuseReading(MissingFileMessage(file, notice, errno), notice);
    return std::nullopt;
  }
  std::vector<std::string>& lines = text->lines;
  if (lines.size() < count) {
    Warn("\n WARNING: %s holds %zu of %zu lines; the missing values read as 0 \n", file.name,
             lines.size(), count);
  }
  if (text->lastLineCut && file.origin == WorkOrigin::Module) {
    Warn("\n WARNING: %s, line %zu has no line end: the file was cut \n", file.name,
             lines.size());
  }
  lines.resize(count);
  return std::move(lines);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The values of a numeric file's lines by the strtod rule; nullopt (after
// the refusal) when a line holds a value no working file can hold.
std::optional<std::vector<double>> ParseNumbers(const WorkFile& file,
                                                const std::vector<std::string>& lines,
                                                const MissingFileNotice& notice) {
  const bool integers = file.layout == WorkLayout::Integers;
  std::vector<double> values;
  values.reserve(lines.size());
  std::size_t noNumber = 0, firstNoNumber = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start == line.size()) {  // a blank (or a missing) line
      values.push_back(0.0);
      continue;
    }
    const char* begin = line.c_str() + start;
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin) {
      if (noNumber++ == 0) firstNoNumber = i + 1;
      values.push_back(0.0);
      continue;
    }
    char message[200];
    if (!std::isfinite(v)) {
      std::snprintf(message, sizeof message, "\n %s, line %zu: %s is not a finite number \n",
                    file.name, i + 1, Quoted(line).c_str());
    } else if (integers && std::fabs(v) >= 2147483648.0) {
      std::snprintf(message, sizeof message,
                    "\n %s, line %zu: %s is no whole number within -2147483647..2147483647 \n",
                    file.name, i + 1, Quoted(line).c_str());
    } else if (std::fabs(v) > kMaxStoredValue) {
      std::snprintf(message, sizeof message,
                    "\n %s, line %zu: %s is larger than any value the modules write \n",
                    file.name, i + 1, Quoted(line).c_str());
    } else {
      values.push_back(v);
      continue;
    }
    RefuseReading(message, notice);
    return std::nullopt;
  }
  if (noNumber == 1) {
    Warn("\n WARNING: %s, line %zu holds no number (%s); it reads as 0 \n", file.name,
             firstNoNumber, Quoted(lines[firstNoNumber - 1]).c_str());
  } else if (noNumber > 1) {
    Warn("\n WARNING: %s, line %zu and %zu more lines hold no number; they read as 0 \n",
             file.name, firstNoNumber, noNumber - 1);
  }
  return values;
}

}  // namespace

void RefuseReading(const std::string& message, const MissingFileNotice& notice) {
  PrintOut("%s", message.c_str());
  Pause(notice.pauseSeconds);
  ModuleEndedEarly(message);
}

std::string FormatValues(const WorkFile& file, std::span<const double> values,
                         std::string* problem) {
  std::string out;
  out.reserve(values.size() * 12);
  if (problem) problem->clear();
  for (double v : values) {
    const bool integer = file.layout == WorkLayout::Integers;
    if (!std::isfinite(v) || (integer && std::fabs(v) >= 2147483648.0)) {
      // Written as 0 where it cannot be written; a set refuses such values.
      if (problem && problem->empty())
        *problem = std::isfinite(v) ? "a value is beyond the int range" : "a value is not a finite number";
      v = 0.0;
    }
    if (integer)
      AppendLine(out, "%i\n", static_cast<int>(std::trunc(v)));
    else
      AppendLine(out, "%f\n", v);
  }
  return out;
}

std::string FormatValues(const WorkFile& file, std::span<const int> values) {
  std::string out;
  for (int v : values) {
    if (file.layout == WorkLayout::Reals)
      AppendLine(out, "%f\n", static_cast<double>(v));
    else
      AppendLine(out, "%i\n", v);
  }
  return out;
}

std::string FormatLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += line;
    out += '\n';
  }
  return out;
}

bool WriteValues(const WorkFile& file, std::span<const double> values) {
  WorkfileSet set;
  set.Put(file, values);
  return set.Commit();
}

bool WriteValues(const WorkFile& file, std::span<const int> values) {
  WorkfileSet set;
  set.Put(file, values);
  return set.Commit();
}

bool WriteLines(const WorkFile& file, const std::vector<std::string>& lines) {
  WorkfileSet set;
  set.PutLines(file, lines);
  return set.Commit();
}

std::string MissingFileMessage(const WorkFile& file, const MissingFileNotice& notice,
                               int errorNumber) {
  std::string message = "\n ";
  message += notice.shownName ? notice.shownName : file.name;
  message += " not exist or not closed : ";
  switch (notice.tail) {
    case MissingTail::WithCode: message += std::to_string(errorNumber) + "  "; break;
    case MissingTail::Plain: break;
    case MissingTail::StartNew: message += "start new "; break;
  }
  return message;
}

std::optional<std::vector<double>> ReadReals(const WorkFile& file, std::size_t count,
                                             const MissingFileNotice& notice) {
  auto lines = ReadExpected(file, count, notice);
  if (!lines) return std::nullopt;
  return ParseNumbers(file, *lines, notice);
}

std::optional<std::vector<int>> ReadIntegers(const WorkFile& file, std::size_t count,
                                             const MissingFileNotice& notice) {
  auto lines = ReadExpected(file, count, notice);
  if (!lines) return std::nullopt;
  // Parsed as an integer file whatever the table says, so that the int
  // range is checked before the conversion.
  WorkFile asIntegers = file;
  asIntegers.layout = WorkLayout::Integers;
  auto reals = ParseNumbers(asIntegers, *lines, notice);
  if (!reals) return std::nullopt;
  std::vector<int> values;
  values.reserve(count);
  for (double v : *reals) values.push_back(static_cast<int>(v));  // truncated, within range
  return values;
}

std::optional<std::vector<std::string>> ReadLines(const WorkFile& file, std::size_t count,
                                                  const MissingFileNotice& notice) {
  return ReadExpected(file, count, notice);
}

std::optional<std::size_t> WorkFileLines(const WorkFile& file, std::size_t atMost) {
  RecoverWorkfileSet();
  auto text = FileLines(file.name, atMost);
  if (!text) return std::nullopt;
  return text->lines.size();
}

bool WorkFileExists(const WorkFile& file) {
  RecoverWorkfileSet();
  struct stat st {};
  return ::stat(file.name, &st) == 0;
}
