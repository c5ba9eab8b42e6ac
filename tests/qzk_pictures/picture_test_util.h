#pragma once
// Helpers of the picture tests: a temporary working folder per test (the
// log and any written file land there) and reading files back.
#include "qzk/log.h"

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
  std::string templ = testing::TempDir() + "qzkpiclogXXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back(0);
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(mkdtemp(buf.data()));
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

class InTempDir {
 public:
  InTempDir() {
    startTestLog();
    std::string templ = testing::TempDir() + "qzkpicXXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back(0);
    path_ = mkdtemp(buf.data());
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~InTempDir() {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::filesystem::path old_;
};

inline std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
