// The log of the whole test program goes to one folder that outlives the
// tests' own temporary folders (see startTestLog).
#include <gtest/gtest.h>

#include "picture_test_util.h"

namespace {
class PictureLogEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { startTestLog(); }
};
const auto* environment = ::testing::AddGlobalTestEnvironment(new PictureLogEnvironment);
}  // namespace
