#include "app/file_choice.h"

#include <unistd.h>

#include "data/open_dialogs.h"
#include "data/run_journal.h"
#include "qzk/filedialog.h"
#include "qzk/options.h"

namespace {

// The title the toolkit gives the dialog: "title="/"caption=" or the default.
std::string DialogTitle(const char* options) {
  qzOptionList list = qzopt_from_string(options);
  std::string title;
  if (qzopt_value(list, 0, {"title=", "caption="}, title) && !title.empty()) return title;
  qzOptionList again = qzopt_from_string(options);
  return qzopt_flag(again, 0, {"save", "savedialog"}) ? "Save as" : "Open";
}

// The path as a script gives it: relative to the working folder where it
// lies below it.
std::string RelativeToWorkingFolder(const std::string& path) {
  char here[4096];
  if (!getcwd(here, sizeof here)) return path;
  std::string base = std::string(here) + "/";
  return path.compare(0, base.size(), base) == 0 ? path.substr(base.size()) : path;
}

}  // namespace

bool ChooseFile(std::string& path, const char* options) {
  OpenDialog dialog;
  dialog.kind = DialogKind::File;
  dialog.question = DialogTitle(options);
  dialog.fileOptions = options;
  OpenDialogScope scope(dialog);
  // Passed as a "%s" argument so that percent signs in a path stay text.
  const bool chosen = qzfiledialog(path, "%s", options);
  JournalAnswer answer{dialog.question, chosen ? RelativeToWorkingFolder(path) : "", "", chosen};
  JournalNoteAnswer(answer);
  return chosen;
}
