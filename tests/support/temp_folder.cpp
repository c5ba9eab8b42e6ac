#include "temp_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string MakeTempFolder(const std::string& prefix) {
  std::string pattern = ::testing::TempDir();
  if (!pattern.empty() && pattern.back() != '/') pattern += '/';
  pattern += prefix + "XXXXXX";
  return mkdtemp(pattern.data()) ? pattern : std::string();
}

void TempFolderEnvironment::SetUp() {
  folder_ = MakeTempFolder(prefix_);
  ASSERT_FALSE(folder_.empty()) << "no temporary folder for " << prefix_;
  ASSERT_EQ(chdir(folder_.c_str()), 0) << folder_;
}

InTempFolder::InTempFolder(const std::string& prefix) : path_(MakeTempFolder(prefix)) {
  std::error_code ec;
  old_ = std::filesystem::current_path(ec).string();
  EXPECT_FALSE(path_.empty()) << "no temporary folder for " << prefix;
  if (!path_.empty()) {
    EXPECT_EQ(chdir(path_.c_str()), 0) << path_;
  }
}

InTempFolder::~InTempFolder() {
  if (!old_.empty() && chdir(old_.c_str()) != 0) ADD_FAILURE() << "could not return to " << old_;
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}
