// The toolkit logs into "qzk.log" in the current directory: run these
// tests in a fresh temporary directory.
#include "temp_folder.h"

namespace {
const auto* environment = ::testing::AddGlobalTestEnvironment(new TempFolderEnvironment("qzk_options_"));
}  // namespace
