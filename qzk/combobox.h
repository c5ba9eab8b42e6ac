#pragma once
// A one-line field with a drop-down list of entries.
//
//     qzComboBox month;
//     month.create("x=60%,y=30%,xs=25%,entries=Januar|Februar|März");
//     int m = month.selectedIndex() + 1;
//
// "entries=" gives the entries, separated by "|" (without "|" one entry).
// The first entry is selected at creation. A click opens the list
// (qzInternalPopupWindow); choosing an entry there, or Up/Down while the
// box has the focus, selects it and activates the box (callback or
// eventId() posted). Alt+Down or F4 opens the list from the keyboard;
// Return chooses and Escape closes it. Natural height: font height + 4.
#include <cstdarg>
#include <string>
#include <vector>

#include "qzk/create_from_format.h"
#include "qzk/popup.h"
#include "qzk/widget.h"

class qzComboBox : public qzWidget, public qzCreateFromFormat<qzComboBox> {
 public:
  bool createv(const char* format, va_list args);
  ~qzComboBox() override;
  const char* kind() const override { return "combo box"; }

  const std::vector<std::string>& entries() const { return entries_; }
  void setEntries(const std::vector<std::string>& entries);
  int count() const { return static_cast<int>(entries_.size()); }
  int selectedIndex() const { return selected_; }  // -1 when empty
  std::string selectedText() const;
  void select(int index);  // does not activate

  bool isOpen() const { return popup_.isOpen(); }
  void openList();
  qzInternalPopupWindow& popup() { return popup_; }
  qzRect buttonRect() const;  // the drop-down arrow

  void destroy();

  void paint(qzPixmap& target) override;
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  bool mouseWheel(int x, int y, int steps) override;
  bool keyDown(int key, int modifiers) override;
  void focusOut() override;
  void enabledChanged() override;
  void shownChanged() override;

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;
  int defaultBorder() const override { return 2; }
  void created() override;

 private:
  static void listClosed(qzInternalPopupWindow& popup, int chosen, void* user);
  void userSelect(int index);

  std::vector<std::string> entries_;
  int selected_ = -1;
  qzInternalPopupWindow popup_;
};
