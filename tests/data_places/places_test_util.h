#pragma once
// The places tests: each test suite in a temporary folder of its own, and
// the real places database rebuilt there from its master copy once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "data/places.h"

namespace places_test {

inline std::string MakeTempDir(const char* stem) {
  std::string d = testing::TempDir() + "/" + stem + "_XXXXXX";
  return mkdtemp(d.data()) ? d : std::string();
}

// Runs each test in a fresh folder, removed afterwards.
class InTempDir : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempDir("places");
    ASSERT_FALSE(dir_.empty());
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    if (chdir(testing::TempDir().c_str()) == 0) std::filesystem::remove_all(dir_);
  }
  std::string dir_;
};

// A folder holding places.dbf unpacked from assets/places.dbf.gz, made
// once for the whole program and removed at its end (the table is 58 MB).
inline const std::string& RealPlacesDir() {
  // Made in place (a copy of the folder would remove it when destroyed).
  struct Folder {
    std::string dir = MakeTempDir("real_places");
    Folder() {
      std::string message;
      if (!dir.empty() && !EnsurePlacesTable(dir + "/" + kPlacesTable, message)) {
        std::filesystem::remove_all(dir);
        dir.clear();
      }
    }
    Folder(const Folder&) = delete;
    ~Folder() {
      if (!dir.empty()) std::filesystem::remove_all(dir);
    }
  };
  static const Folder folder;
  return folder.dir;
}

inline std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace places_test
