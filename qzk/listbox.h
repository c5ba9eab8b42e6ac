#pragma once
// A list of text entries with one selected entry and a vertical scroll bar
// when they do not all fit.
//
//     qzListBox persons;
//     persons.create("x=50%,y=40%,xs=60%,ys=60%");
//     persons.addEntry("Meier, Hans");
//
// A click selects an entry, a double click (or Return) chooses it; Up,
// Down, Home, End, PageUp and PageDown move the selection, the wheel and
// the bar scroll. Choosing activates id(kChosen), the control's eventId()
// (callback or posted); a change of the selection by the user activates
// id(kSelected). "entries=a|b|c" fills the list at creation.
#include <cstdarg>
#include <string>
#include <vector>

#include "qzk/create_from_format.h"
#include "qzk/scrollbar.h"
#include "qzk/widget.h"

// Draws rows of a list into `view`: entries from `first` on, `rowHeight`
// pixels each, the `selected` one highlighted (an outline only when the
// list is not focused), `hot` (-1: none) outlined. Shared with the combo
// box's drop-down list.
void qzlist_paint_rows(qzPixmap& target, const qzRect& view, int font, int rowHeight,
                       const std::vector<std::string>& entries, int first, int selected, int hot,
                       bool enabled, bool focused);

class qzListBox : public qzWidget, public qzCreateFromFormat<qzListBox> {
 public:
  static constexpr int kChosen = 0;
  static constexpr int kSelected = 1;

  bool createv(const char* format, va_list args);
  ~qzListBox() override;
  const char* kind() const override { return "list box"; }

  void addEntry(const std::string& text);
  void setEntries(const std::vector<std::string>& entries);
  void clear();
  const std::vector<std::string>& entries() const { return entries_; }
  int count() const { return static_cast<int>(entries_.size()); }

  int selectedIndex() const { return selected_; }  // -1: none
  std::string selectedText() const;
  // Selects (and scrolls to) an entry; -1 clears. Does not activate.
  void select(int index);

  int firstVisible() const { return bars_.y(); }
  int visibleRows() const;
  int rowHeight() const;
  // The entry under a window point, -1 for none.
  int entryAt(int x, int y) const;
  qzRect entryRect(int index) const;  // empty when not visible
  qzScrollBarManager& bars() { return bars_; }

  void destroy();

  void paint(qzPixmap& target) override;
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  void mouseMove(int x, int y, int buttons) override;
  bool mouseWheel(int x, int y, int steps) override;
  bool keyDown(int key, int modifiers) override;
  void enabledChanged() override;
  void shownChanged() override;

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;
  int defaultBorder() const override { return 2; }
  void created() override;

 private:
  static void scrolled(qzScrollBarManager& bars, void* user);
  void relayout();
  void userSelect(int index);
  void scrollIntoView(int index);

  std::vector<std::string> entries_;
  int selected_ = -1;
  bool dragging_ = false;
  qzRect view_;
  qzScrollBarManager bars_;
};
