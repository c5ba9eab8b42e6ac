// libFuzzer target of the dBase reader: any bytes as a table file, opened,
// read, searched, changed, sorted and opened again. Built by hand, run in
// a scratch folder (the toolkit's log goes to the current directory):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//     fuzz/xbase_fuzz.cpp qzk/xbase*.cpp qzk/log.cpp -o /tmp/xbase_fuzz
//   mkdir -p /tmp/xf && cd /tmp/xf && /tmp/xbase_fuzz -max_total_time=600 corpus
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "qzk/xbase.h"
#include "qzk/xbase_header.h"

namespace {

std::string scratch_path() {
  return "/tmp/xbase_fuzz_" + std::to_string(getpid()) + ".dbf";
}

void check(bool condition) {
  if (!condition) std::abort();
}

void exercise(qzXBase& table, uint8_t choice) {
  check(table.live_count() <= table.record_count());
  std::vector<int> found(8);
  for (int i = 0; i < table.live_count(); ++i) {
    check(table.physical_record(i) < table.record_count());
    for (int f = 0; f < table.field_count(); ++f) {
      std::string text = table.read_field(i, f);
      check(static_cast<int>(text.size()) <= table.field_length(f));
    }
  }
  const int f = table.field_count() > 0 ? choice % table.field_count() : 0;
  int n = table.find_exact(f, "a", found.data(), static_cast<int>(found.size()));
  check(n <= table.live_count());
  n = table.find_prefix(f, "", found.data(), static_cast<int>(found.size()));
  check(n <= table.live_count());
  if (choice & 1) {
    int i = table.append_record();
    if (i >= 0) table.write_field(f, "%s", "Zoellner Muenchen");
  }
  if (choice & 2 && table.live_count() > 0) table.delete_record(choice % table.live_count());
  if (choice & 4) table.sort(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  qzXBaseLayout layout;
  std::string why;
  if (qzxbase_parse_header(bytes, bytes.size(), layout, why)) {
    check(static_cast<uint64_t>(layout.header_length) <= size);
    check(layout.whole_count <= layout.stored_count);
  }

  const std::string path = scratch_path();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  {
    qzXBase table;
    const uint8_t choice = size > 0 ? data[size - 1] : 0;
    if (table.open(path.c_str())) {
      exercise(table, choice);
      table.close();
      if (table.open(path.c_str())) exercise(table, choice >> 3);
    }
  }
  std::remove(path.c_str());
  return 0;
}
