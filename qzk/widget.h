#pragma once
// The base of every widget: its place in a window, its identifiers, its
// look flags and the handlers the window calls.
//
// How to write a widget
// ---------------------
// 1. Derive from qzWidget and from qzCreateFromFormat<YourWidget>
//    (create_from_format.h), which gives it `create(format, ...)`, and give
//    it a `bool createv(const char* format, va_list args)` that forwards to
//    createWidget(hasCaption, format, args) (see qzButton::createv in
//    button.cpp). createWidget formats and splits the option string
//    (options.h), takes the caption and hotkey when hasCaption, reads the
//    keys common to all widgets ("font=", "fontid=", "nokeyfocus",
//    "border"...), then calls your parseOptions() for the keys of your
//    kind, asks naturalSize() for sizes the string left at 0, computes the
//    rectangle against the client size of the current window, draws the
//    11 identifiers, places the widget in the window's current page and
//    calls created(). It returns false (and logs) when no window is open.
// 2. Override paint(): draw the whole of rect() into `target`, the window's
//    pixmap, in window client coordinates; paint every pixel of rect()
//    (the window does not clear under widgets) and nothing outside it.
//    Draw the disabled look when !enabled(): text with qzdraw_label(...,
//    false), no focus mark, no pressed state. Use qzdraw_frame for border().
// 3. Call invalidate() whenever what you show changes; the window repaints
//    invalidated widgets (and those over them) once, at the end of the
//    dispatch round, and presents the result: no flicker, no direct drawing.
// 4. Input handlers get window client coordinates. mouseDown returns true to
//    capture the mouse: moves and the release then go to this widget even
//    outside its rectangle. Disabled or hidden widgets get no input.
//    keyDown/textInput go to the focused widget first; return true for
//    keys you use, false to let the window try hotkeys, Tab traversal,
//    Return on the default button and finally post the key code. A
//    printable key arrives twice: as keyDown with its code and then as
//    textInput with the UTF-8 text; a widget that edits text returns true
//    from keyDown for codes 32..255 without Ctrl or Alt (so that they
//    neither trigger hotkeys nor get posted) and inserts in textInput.
// 5. Time: never sleep or read a clock of your own. Call
//    requestTick(qznow() + delay); tick(now) runs once when the platform
//    clock reaches it (a headless test's virtual clock included), and you
//    re-arm it there for repeats, blinking and the like. qztimer_request_rate
//    (events.h) is asked for the rate the repetition needs.
// 6. activate(k) is what a widget does when the user "uses" it (button
//    pressed, entry chosen, value changed): it runs the callback, or posts
//    id(k). Call it rather than posting yourself.
// 7. Tab pages: a tab control owns one qzWidgetPage per tab and makes a page
//    the window's current page with qzWindow::setCurrentPage; widgets
//    created while a page is current belong to it and are shown only while
//    page->shown is true (and the page's owner is shown). Switching pages is
//    setting `shown` and calling qzWidgetPage::changed(), which repaints
//    and moves the focus off hidden widgets.
// 8. Destroying: destroy() (or the destructor) takes the widget out of its
//    window; a window being destroyed detaches its widgets first, so a
//    widget object may outlive its window.
#include <cstdarg>
#include <string>

#include "qzk/geometry_rect.h"

struct qzPixmap;
struct qzOptionList;
class qzWindow;
class qzWidget;

// A page of a tab control. Top-level widgets of a window have no page.
struct qzWidgetPage {
  bool shown = true;
  qzWidget* owner = nullptr;  // the tab control; its own visibility counts
  qzWindow* window = nullptr;
  // Repaints the window and moves the focus away from widgets now hidden.
  void changed();
};

constexpr int QZ_WIDGET_IDS = 11;

// Byte offset of the hotkey character in the caption that "&" marking
// leaves ("&File" gives 0, "Save &as" gives 5, "a&&b" none): -1 for none.
int qzcaption_hotkey_index(const std::string& raw);

class qzWidget {
 public:
  // Runs instead of posting when the widget is activated; `event` is the
  // identifier activate() would have posted.
  using Callback = void (*)(qzWidget& widget, int event, void* user);

  qzWidget() = default;
  virtual ~qzWidget();
  qzWidget(const qzWidget&) = delete;
  qzWidget& operator=(const qzWidget&) = delete;

  // --- identity
  virtual const char* kind() const = 0;  // "button", "combo box", ...
  bool exists() const { return window_ != nullptr; }
  int eventId() const { return ids_; }  // the public identifier, 0 before create
  int id(int k) const { return ids_ ? ids_ + k : 0; }  // k = 0..10
  bool ownsEvent(int event) const { return ids_ && event >= ids_ && event < ids_ + QZ_WIDGET_IDS; }
  const std::string& caption() const { return caption_; }
  int hotkey() const { return hotkey_; }  // 0: none
  const std::string& optionString() const { return options_; }

  // --- place
  qzWindow* window() const { return window_; }
  qzWidgetPage* page() const { return page_; }
  const qzRect& rect() const { return rect_; }
  void setRect(const qzRect& r);

  // --- look and state
  int font() const { return font_; }
  void setFont(int font);
  int border() const { return border_; }
  bool noKeyFocus() const { return noKeyFocus_; }
  bool enabled() const { return enabled_; }
  void setEnabled(bool on);
  bool visible() const { return visible_; }
  void setVisible(bool on);
  // Takes mouse clicks even while a modal dialog blocks its window (a
  // quit button that must work while any dialog waits). Off by default.
  bool liveUnderModal() const { return liveUnderModal_; }
  void setLiveUnderModal(bool on) { liveUnderModal_ = on; }
  // Visible, on a shown page of a shown owner, in an open window.
  bool shown() const;
  // May take the keyboard focus now: shown, enabled, not "nokeyfocus" and
  // acceptsFocus().
  bool canTakeFocus() const;
  bool hasFocus() const;
  void takeFocus();

  void setCallback(Callback callback, void* user) { callback_ = callback; user_ = user; }

  // "Posting events" step 1: runs the callback if there is one (but not
  // for widgets that postsWhileWaitingForOneOf() while a wait for one of
  // several events is active), otherwise posts id(k).
  void activate(int k = 0);

  // Marks the widget for repainting at the end of the dispatch round.
  void invalidate();
  bool needsPaint() const { return dirty_; }

  // tick(now) runs once when the platform clock reaches `at`.
  void requestTick(double at);
  void cancelTick();
  double tickAt() const { return tickAt_; }  // < 0: none

  void destroy();

  // --- for the window and container (not for applications)
  void paintNow(qzPixmap& target) { paint(target); dirty_ = false; }
  void runTick(double now) { tickAt_ = -1; tick(now); }
  void detachFromWindow();

  // --- handlers a widget overrides
  virtual void paint(qzPixmap& target) = 0;
  virtual bool mouseDown(int x, int y, int button, int clicks, int modifiers);
  virtual void mouseUp(int x, int y, int button);
  virtual void mouseMove(int x, int y, int buttons);
  virtual bool mouseWheel(int x, int y, int steps);
  virtual bool keyDown(int key, int modifiers);
  virtual bool keyUp(int key, int modifiers);
  virtual bool textInput(const std::string& utf8);
  virtual void focusIn() { invalidate(); }
  virtual void focusOut() { invalidate(); }
  virtual void tick(double now);
  virtual void enabledChanged() {}
  virtual void shownChanged() {}
  // Whether the widget can ever hold the keyboard focus (labels: false).
  virtual bool acceptsFocus() const { return true; }
  // Skipped by Tab traversal ("skip", "nofocus" of buttons).
  virtual bool skippedByTab() const { return false; }
  // The default button of its window (Return activates it).
  virtual bool isDefaultButton() const { return false; }
  // Plain buttons post their identifier instead of running their callback
  // while a wait for one of several events is active.
  virtual bool postsWhileWaitingForOneOf() const { return false; }

 protected:
  // The common create path described at the top; kind() names the widget
  // in log lines. Returns false when there is no current window (logged).
  bool createWidget(bool hasCaption, const char* format, va_list args);
  // Keys of this kind; consumed items are cleared by the option calls.
  virtual void parseOptions(qzOptionList& options);
  // Size in pixels when the option string gives none (0 keeps 0).
  virtual void naturalSize(int& width, int& height);
  // The border style when the string has no "border" key.
  virtual int defaultBorder() const { return 0; }
  virtual void created() {}
  // The index of the first item after the caption (where parseOptions
  // starts reading the kind's keys).
  int optionStart() const { return optionStart_; }

  std::string caption_;
  int hotkey_ = 0;
  int hotkeyIndex_ = -1;  // byte offset of the hotkey character in caption_

 private:
  qzWindow* window_ = nullptr;
  qzWidgetPage* page_ = nullptr;
  qzRect rect_;
  std::string options_;
  int ids_ = 0;
  int optionStart_ = 0;
  int font_ = 0;
  int border_ = 0;
  bool noKeyFocus_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool liveUnderModal_ = false;
  bool dirty_ = false;
  double tickAt_ = -1;
  Callback callback_ = nullptr;
  void* user_ = nullptr;
};
