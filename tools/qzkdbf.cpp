// qzkdbf: a look into a dBase table from the command line.
//   qzkdbf info TABLE                   record count, live count, fields
//   qzkdbf dump [--encoding ENC] TABLE  live records as tab-separated UTF-8
// The table is opened for reading only and never written.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "qzk/xbase.h"
#include "qzk/xbase_codepage.h"

namespace {

constexpr const char* kUsage =
    "usage: qzkdbf info TABLE\n"
    "       qzkdbf dump [--encoding ENC] TABLE\n"
    "ENC: cp1252, cp850, cp437, latin-1 or utf-8 (default: the table's\n"
    "language byte, cp1252 when it names no other)\n";

int usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

bool open_table(qzXBase& table, const char* path) {
  if (table.open(path, true)) return true;
  std::fprintf(stderr, "qzkdbf: %s\n", table.error().c_str());
  return false;
}

// One line per record: tabs and line breaks inside a value would break the
// columns, so they are shown as blanks.
std::string cell(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

// Numbers are stored right-aligned; their leading blanks are no part of them.
std::string trimmed_number(std::string text, char type) {
  if (type != 'N' && type != 'F') return text;
  size_t k = text.find_first_not_of(' ');
  return k == std::string::npos ? std::string() : text.substr(k);
}

int info(const char* path) {
  qzXBase table;
  if (!open_table(table, path)) return 1;
  const qzCodePage page = qzxbase_codepage_of_language(table.language_byte());
  std::printf("records: %d\n", table.record_count());
  std::printf("live: %d\n", table.live_count());
  std::printf("code page: %s (language byte 0x%02X)\n", qzxbase_codepage_name(page),
              table.language_byte());
  std::printf("fields: %d\n", table.field_count());
  for (int f = 0; f < table.field_count(); ++f) {
    std::printf("%s\t%c\t%d", qzxbase_to_utf8(table.field_name(f), page).c_str(),
                table.field_type(f), table.field_length(f));
    if (table.field_decimals(f) > 0) std::printf("\t%d", table.field_decimals(f));
    std::printf("\n");
  }
  return 0;
}

int dump(const char* path, const char* encoding) {
  qzCodePage page = qzCodePage::cp1252;
  if (encoding && !qzxbase_codepage_from_name(encoding, page)) {
    std::fprintf(stderr, "qzkdbf: unknown encoding \"%s\"\n", encoding);
    return usage();
  }
  qzXBase table;
  if (!open_table(table, path)) return 1;
  if (!encoding) page = qzxbase_codepage_of_language(table.language_byte());

  std::string line;
  for (int f = 0; f < table.field_count(); ++f) {
    if (f > 0) line += '\t';
    line += cell(qzxbase_to_utf8(table.field_name(f), page));
  }
  std::printf("%s\n", line.c_str());
  for (int i = 0; i < table.live_count(); ++i) {
    line.clear();
    for (int f = 0; f < table.field_count(); ++f) {
      if (f > 0) line += '\t';
      std::vector<char> text(static_cast<size_t>(table.field_length(f)) + 1);
      if (!table.read_field(text.data(), static_cast<int>(text.size()), i, f)) {
        std::fprintf(stderr, "qzkdbf: %s: reading record %d failed\n", path, i + 1);
        return 1;
      }
      line += cell(qzxbase_to_utf8(trimmed_number(text.data(), table.field_type(f)), page));
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "info") == 0) return info(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "dump") == 0) return dump(argv[2], nullptr);
  if (argc == 5 && std::strcmp(argv[1], "dump") == 0 && std::strcmp(argv[2], "--encoding") == 0)
    return dump(argv[4], argv[3]);
  return usage();
}
