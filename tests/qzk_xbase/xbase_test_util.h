#pragma once
// Helpers of the dBase reader's tests: a temporary working folder per test
// (the toolkit's log goes to the current directory), whole-file reads and
// writes, and hand-made table bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace xbase_test {

using Bytes = std::vector<uint8_t>;

inline Bytes read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void write_bytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Runs each test in a fresh folder of its own.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::make_unique<InTempFolder>("xbase_");
    dir_ = folder_->path();
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { folder_.reset(); }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  std::string dir_;

 private:
  std::unique_ptr<InTempFolder> folder_;
};

struct Field {
  std::string name;
  char type;
  uint8_t byte16, byte17;
};

// A table as bytes: header with the given descriptors, `extra` bytes after
// the terminator inside the header, and the records' bytes as given.
inline Bytes table_bytes(const std::vector<Field>& fields, uint32_t count, uint16_t record_length,
                         const std::string& records, int extra = 0) {
  const size_t header_length = 32 + 32 * fields.size() + 1 + extra;
  Bytes b(header_length, 0);
  b[0] = 0x03;
  b[1] = 124, b[2] = 5, b[3] = 17;
  for (int k = 0; k < 4; ++k) b[4 + k] = static_cast<uint8_t>(count >> (8 * k));
  b[8] = static_cast<uint8_t>(header_length), b[9] = static_cast<uint8_t>(header_length >> 8);
  b[10] = static_cast<uint8_t>(record_length), b[11] = static_cast<uint8_t>(record_length >> 8);
  b[29] = 0x03;
  for (size_t f = 0; f < fields.size(); ++f) {
    uint8_t* d = &b[32 + 32 * f];
    for (size_t k = 0; k < fields[f].name.size() && k < 11; ++k) d[k] = fields[f].name[k];
    d[11] = static_cast<uint8_t>(fields[f].type);
    d[16] = fields[f].byte16;
    d[17] = fields[f].byte17;
  }
  b[32 + 32 * fields.size()] = 0x0D;
  b.insert(b.end(), records.begin(), records.end());
  return b;
}

}  // namespace xbase_test
