// The toolkit logs into "qzk.log" in the current directory, and the file
// dialog tests make folders: run in a fresh temporary directory.
#include "temp_folder.h"

namespace {
const auto* environment = ::testing::AddGlobalTestEnvironment(new TempFolderEnvironment("qzk_widgets_"));
}  // namespace
