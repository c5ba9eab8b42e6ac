#pragma once
// The drop-down list of a combo box: a borderless popup over the combo
// box's window. While it is open it lies on top of every widget and takes
// every click in the window: a click on an entry chooses it, a click
// anywhere else closes the list. What lay under it is shown as it was when
// the list opened.
#include <string>
#include <vector>

#include "qzk/pixmap.h"
#include "qzk/scrollbar_model.h"
#include "qzk/widget.h"

class qzInternalPopupWindow : public qzWidget {
 public:
  // Told when the list closes: the chosen entry, or -1 when dismissed.
  using Closed = void (*)(qzInternalPopupWindow& popup, int chosen, void* user);

  static constexpr int kMaxRows = 8;

  // Creates the (hidden) popup in the current window and page; the owner
  // calls it from its own created().
  bool create(Closed closed, void* user);
  const char* kind() const override { return "popup"; }

  // Drops the list down below `anchor` (or up above it when there is no
  // room below), `selected` highlighted.
  void open(const qzRect& anchor, const std::vector<std::string>& entries, int selected);
  void close(int chosen);
  bool isOpen() const { return open_; }

  int hot() const { return hot_; }
  void setHot(int index);  // highlighted entry, scrolled into view
  int first() const { return range_.pos; }
  qzRect listRect() const { return list_; }
  qzRect entryRect(int index) const;  // empty when not visible
  int rowHeight() const;

  void paint(qzPixmap& target) override;
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  void mouseUp(int x, int y, int button) override;
  void mouseMove(int x, int y, int buttons) override;
  bool mouseWheel(int x, int y, int steps) override;
  bool acceptsFocus() const override { return false; }

 private:
  bool make(const char* format, ...);
  int entryAt(int x, int y) const;
  qzRect rowsRect() const;
  qzRect barRect() const;

  Closed closed_ = nullptr;
  void* user_ = nullptr;
  bool open_ = false;
  bool pressedInside_ = false;
  bool draggingBar_ = false;
  std::vector<std::string> entries_;
  int hot_ = -1;
  qzRect list_;
  qzScrollRange range_;
  qzPixmap under_;  // the window as it was when the list opened
};
