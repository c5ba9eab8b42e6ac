#pragma once
// The keyboard focus inside one window: which widget gets keys and text,
// Tab and Shift+Tab traversal in creation order over the widgets that can
// take the focus, Return on the default button, and hotkeys (the
// underlined character of a caption, with or without Alt).
class qzGuiBaseContainer;
class qzWidget;

class qzGuiBaseKeyFocusManager {
 public:
  explicit qzGuiBaseKeyFocusManager(qzGuiBaseContainer& container) : container_(container) {}

  qzWidget* focused() const { return focused_; }
  // Moves the focus (nullptr: none); calls focusOut / focusIn.
  void setFocus(qzWidget* widget);
  // Next (or previous) widget that can take the focus, wrapping around.
  void traverse(bool backwards);
  // Puts the focus on the first widget that can take it if the current
  // one cannot (hidden, disabled, gone).
  void repair();
  void forget(qzWidget* widget);

  // Handles a key press the focused widget did not use: hotkeys, Tab,
  // Return on the default button. False when the key is still unused.
  bool keyDown(int key, int modifiers);

  qzWidget* defaultButton() const;
  qzWidget* hotkeyWidget(int key) const;

 private:
  qzGuiBaseContainer& container_;
  qzWidget* focused_ = nullptr;
};
