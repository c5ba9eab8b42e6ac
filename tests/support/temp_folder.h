#pragma once
// Temporary folders for the test programs (every program links this).
//
//     std::string dir = MakeTempFolder("xbase_");   // a fresh, empty folder
//
//     {
//       InTempFolder here("qzkpic");   // the current directory until the end of the block
//       ...                            // then the old one again, and the folder removed
//     }
//
//     // A whole program in one fresh folder (the toolkit logs into
//     // "qzk.log" in the current directory):
//     const auto* environment = ::testing::AddGlobalTestEnvironment(new TempFolderEnvironment("qzk_text_"));
#include <gtest/gtest.h>

#include <string>
#include <utility>

// A new folder below the test framework's temporary directory, its name
// `prefix` and six random characters; empty when none could be made.
std::string MakeTempFolder(const std::string& prefix);

// Makes a fresh temporary folder the current directory before the first
// test of the program runs.
class TempFolderEnvironment : public ::testing::Environment {
 public:
  explicit TempFolderEnvironment(std::string prefix) : prefix_(std::move(prefix)) {}
  void SetUp() override;
  const std::string& folder() const { return folder_; }

 private:
  std::string prefix_, folder_;
};

// A fresh temporary folder as the current directory for the object's
// lifetime; the old directory comes back and the folder is removed at
// the end.
class InTempFolder {
 public:
  explicit InTempFolder(const std::string& prefix);
  ~InTempFolder();
  InTempFolder(const InTempFolder&) = delete;
  InTempFolder& operator=(const InTempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_, old_;
};
