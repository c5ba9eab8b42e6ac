#pragma once
// The open and save dialog, built from the toolkit's own widgets as a
// modal window, so it behaves the same on every backend and can be driven
// by tests and batch runs like any other window.
//
//     std::string path;
//     if (qzfiledialog(path, "save,filter=*.bmp,defaultext=bmp")) save(path);
//
// Keys: "save"/"savedialog" (a save dialog; default open), "filter="
// (a pattern list such as "*.txt;*.lst", optionally "|" and a description;
// the key may be given several times, the first filter is in force),
// "defaultext=" family (added to a name typed without an extension),
// "title="/"caption=" (the window title; "Open" or "Save as" without it),
// "dir="/"directory=" (the folder shown first; the current directory
// without it).
//
// The window lists the folder's sub-folders (shown with a trailing "/")
// and the files that match the filter; a double click (or Return) on a
// folder opens it, on a file chooses it; a click on a file puts its name
// into the name line. A name typed there may be relative to the folder
// shown, absolute, or name a folder to go to; a pattern ("*.csv") becomes
// the filter. Return in the name line or the "Open"/"Save" button takes
// the name; an open dialog wants a file that exists, a save dialog asks
// before it replaces a file ("Yes"/"No" in a window "file exists").
// "Cancel", Escape and the close box cancel. The dialog never changes the
// current directory.
//
// Returns true with the chosen path ("/" separators), or false with an
// empty path when cancelled or when the program is ending.
#include <string>

#include "qzk/button.h"
#include "qzk/combobox.h"
#include "qzk/filedialog_files.h"
#include "qzk/lineinput.h"
#include "qzk/listbox.h"
#include "qzk/simpletext.h"
#include "qzk/window.h"

bool qzfiledialog(std::string& path, const char* options, ...);

// The dialog while it is open, for tests and batch runs: its widgets can
// be found here (or by caption: "Open"/"Save", "Cancel", "Up") and used
// through qzk/drive.h.
class qzFileDialog {
 public:
  // The dialog open right now, nullptr when none.
  static qzFileDialog* current();

  const std::string& folder() const { return folder_; }
  bool isSave() const { return save_; }

  qzWindow window;
  qzSimpleTextDisplay folderLabel, folderText, nameLabel, filterLabel, status;
  qzButton up, accept, cancel;
  qzListBox entries;
  qzLineInput name;
  qzComboBox filter;

  // Runs the dialog; the options are those of qzfiledialog, already
  // formatted.
  bool run(std::string& path, const std::string& options);

 private:
  void build();
  void show(const std::string& folder);
  void refresh();
  // Acts on a typed or chosen name; true when the dialog has its answer.
  bool take(const std::string& typed, std::string& path);
  bool askOverwrite(const std::string& path);

  bool save_ = false;
  std::string title_, defaultExt_, folder_;
  std::vector<qzFileFilter> filters_;
  qzFileFilter typedFilter_;
  bool useTyped_ = false;
  std::vector<qzFolderEntry> listed_;
};
