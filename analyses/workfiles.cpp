#include "analyses/workfiles.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

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

void AppendLine(std::string& out, const char* format, auto value) {
  char line[64];
  const int n = std::snprintf(line, sizeof line, format, value);
  if (n > 0) out.append(line, static_cast<std::size_t>(n) < sizeof line ? n : sizeof line - 1);
}

// Writes the bytes to a temporary name beside the file, then renames it
// over the file: readers see the old file or the whole new one.
bool WriteWhole(const WorkFile& file, const std::string& bytes) {
  namespace fs = std::filesystem;
  const fs::path path(file.name);
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  const std::string temporary = std::string(file.name) + ".tmp";
  bool ok = false;
  if (FILE* f = std::fopen(temporary.c_str(), "wb")) {
    ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
  }
  if (ok) ok = std::rename(temporary.c_str(), file.name) == 0;
  if (!ok) {
    std::remove(temporary.c_str());
    PrintOut("\n %s could not be written \n", file.name);
    JournalNoteMessage(std::string(file.name) + " could not be written");
  }
  return ok;
}

// The first `count` lines of a file (fewer when it is shorter), without
// their line ends; nullopt when it cannot be opened (errno tells why).
std::optional<std::vector<std::string>> FileLines(const char* name, std::size_t count) {
  std::error_code ec;
  if (std::filesystem::is_directory(name, ec)) {
    errno = EISDIR;
    return std::nullopt;
  }
  std::ifstream in(name, std::ios::binary);
  if (!in) return std::nullopt;
  JournalNoteRead(name);
  std::vector<std::string> lines;
  std::string line;
  while (lines.size() < count && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

std::optional<std::vector<std::string>> ReadExpected(const WorkFile& file, std::size_t count,
                                                     const MissingFileNotice& notice) {
  if (count > kMaxWorkFileLines) {
    PrintEndedEarly("\n %s: %zu values asked, more than a working file holds \n", file.name, count);
    Pause(notice.pauseSeconds);
    return std::nullopt;
  }
  errno = 0;
  auto lines = FileLines(file.name, count);
  if (!lines) {
    const int error = errno;
    PrintEndedEarly("%s", MissingFileMessage(file, notice, error).c_str());
    Pause(notice.pauseSeconds);
    return std::nullopt;
  }
  if (lines->size() < count) {
    char warning[512];
    std::snprintf(warning, sizeof warning,
                  "\n WARNING: %s holds %zu of %zu lines; the missing values read as 0 \n", file.name,
                  lines->size(), count);
    PrintOut("%s", warning);
    JournalNoteMessage(warning);
  }
  lines->resize(count);
  return lines;
}

}  // namespace

std::string FormatValues(const WorkFile& file, std::span<const double> values) {
  std::string out;
  out.reserve(values.size() * 12);
  for (double v : values) {
    if (file.layout == WorkLayout::Integers)
      AppendLine(out, "%i\n", static_cast<int>(std::trunc(v)));
    else
      AppendLine(out, "%f\n", v);
  }
  return out;
}

bool WriteValues(const WorkFile& file, std::span<const double> values) {
  return WriteWhole(file, FormatValues(file, values));
}

bool WriteValues(const WorkFile& file, std::span<const int> values) {
  std::string out;
  for (int v : values) {
    if (file.layout == WorkLayout::Reals)
      AppendLine(out, "%f\n", static_cast<double>(v));
    else
      AppendLine(out, "%i\n", v);
  }
  return WriteWhole(file, out);
}

bool WriteLines(const WorkFile& file, const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += line;
    out += '\n';
  }
  return WriteWhole(file, out);
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
  std::vector<double> values;
  values.reserve(count);
  for (const std::string& line : *lines) values.push_back(std::strtod(line.c_str(), nullptr));
  return values;
}

std::optional<std::vector<int>> ReadIntegers(const WorkFile& file, std::size_t count,
                                             const MissingFileNotice& notice) {
  auto reals = ReadReals(file, count, notice);
  if (!reals) return std::nullopt;
  std::vector<int> values;
  values.reserve(count);
  for (double v : *reals) {
    // Truncated toward zero; out-of-range or not-a-number lines read as 0
    // instead of an undefined conversion.
    values.push_back(std::isfinite(v) && std::fabs(v) < 2147483647.0 ? static_cast<int>(v) : 0);
  }
  return values;
}

std::optional<std::vector<std::string>> ReadLines(const WorkFile& file, std::size_t count,
                                                  const MissingFileNotice& notice) {
  return ReadExpected(file, count, notice);
}

bool WorkFileExists(const WorkFile& file) {
  std::ifstream in(file.name, std::ios::binary);
  return static_cast<bool>(in);
}
