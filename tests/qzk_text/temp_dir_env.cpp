// The toolkit logs into "qzk.log" in the current directory: run these
// tests in a fresh temporary directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {
class TempDirEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "qzk_text_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    ASSERT_EQ(chdir(pattern.c_str()), 0);
  }
};
const auto* environment = ::testing::AddGlobalTestEnvironment(new TempDirEnvironment);
}  // namespace
