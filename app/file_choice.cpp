#include "app/file_choice.h"

#include "data/open_dialogs.h"
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

}  // namespace

bool ChooseFile(std::string& path, const char* options) {
  OpenDialog dialog;
  dialog.kind = DialogKind::File;
  dialog.question = DialogTitle(options);
  dialog.fileOptions = options;
  OpenDialogScope scope(dialog);
  // Passed as a "%s" argument so that percent signs in a path stay text.
  return qzfiledialog(path, "%s", options);
}
