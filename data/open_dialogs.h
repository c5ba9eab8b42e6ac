#pragma once
// The program's own dialogs that are open right now, innermost last, with
// the widgets that take their answer. A driver (a batch run or a test)
// reads this to find the dialog that waits, enters its answer into those
// widgets and presses their buttons; the dialogs themselves do not know
// whether a person or a driver answers them.
#include <string>
#include <vector>

class qzButton;
class qzWidget;
class qzWindow;

enum class DialogKind { Int, YesNo, Double, Array, Choice, DateTime, File, PersonEntry };

struct OpenDialog {
  DialogKind kind = DialogKind::Int;
  std::string question;              // the question, or the title
  qzWindow* window = nullptr;
  std::vector<qzWidget*> fields;     // the controls that hold the answer, in order
  std::vector<qzButton*> buttons;    // OK / Yes, No / the choices / OK, cancel
  std::vector<std::string> labels;   // row or button labels
  int min = 0, max = 0;              // InputInt's range
  std::string fileOptions;           // the file dialog's option string
  int serial = 0;                    // distinct for every dialog opened in the run
};

// Registers the dialog for its lifetime (construct after its widgets exist).
class OpenDialogScope {
 public:
  explicit OpenDialogScope(OpenDialog& dialog);
  ~OpenDialogScope();
  OpenDialogScope(const OpenDialogScope&) = delete;
  OpenDialogScope& operator=(const OpenDialogScope&) = delete;

 private:
  OpenDialog& dialog_;
};

// The innermost open dialog, or nullptr.
OpenDialog* TopOpenDialog();
