#pragma once
// Helpers of the picture tests: a temporary working folder per test (the
// log and any written file land there) and reading files back.
#include "qzk/log.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

// The log is fixed at its first line for the whole run, so the tests keep
// it in one folder of their own that outlives each test's folder.
inline void startTestLog() {
  if (!qzlog_path().empty()) return;
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(MakeTempFolder("qzkpiclog"));
  qzlog("picture tests\n");
  std::filesystem::current_path(old);
}

inline std::string wholeLog() {
  std::ifstream in(qzlog_path(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Collects what is logged from its construction on.
class LogWatch {
 public:
  LogWatch() {
    startTestLog();
    start_ = wholeLog().size();
  }
  std::string text() const { return wholeLog().substr(start_); }
  bool has(const std::string& line) const { return text().find(line) != std::string::npos; }

 private:
  size_t start_ = 0;
};

// The log is started (in its own folder) before the test's folder is entered.
class InTempDir {
 public:
  InTempDir() : folder_((startTestLog(), "qzkpic")) {}
  const std::string& path() const { return folder_.path(); }

 private:
  InTempFolder folder_;
};

inline std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
