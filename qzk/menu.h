#pragma once
// One menu of a window's menu bar, drawn by the toolkit across the top of
// the client area (the window grows by the bar's height; widgets stay
// below it). Clicking the caption, or Alt with its hotkey, drops the list
// of entries down over the window; choosing an entry runs its callback or
// posts its identifier.
//
//     qzWindowMenu file;
//     file.create(mainWindow, "&File");
//     int quitId = file.addEntry(nullptr, nullptr, "&Quit");
//
// Item 0 of each string is the caption with its hotkey; "rightaligned" /
// "align=right" / "alignright" / "right" places a menu at the right end of
// the bar.
//
// With a list open, the mouse and the keys belong to the menus: a click
// on an entry (or its release there) chooses it, a click elsewhere closes
// the list, Up/Down move the highlight, Return chooses it, Escape closes,
// an entry's hotkey chooses that entry.
#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

#include "qzk/geometry_rect.h"

struct qzPixmap;
class qzWindow;

class qzWindowMenu {
 public:
  using Callback = void (*)(qzWindowMenu& menu, int event, void* user);

  struct Entry {
    std::string caption;
    int hotkey = 0;
    int hotkeyIndex = -1;
    int id = 0;
    Callback callback = nullptr;
    void* user = nullptr;
    bool enabled = true;
  };

  qzWindowMenu() = default;
  ~qzWindowMenu();
  qzWindowMenu(const qzWindowMenu&) = delete;
  qzWindowMenu& operator=(const qzWindowMenu&) = delete;

  bool create(qzWindow& window, const char* format, ...);
  // Adds an entry; returns its identifier (0 on failure). An entry without
  // a callback posts the identifier when chosen.
  int addEntry(Callback callback, void* user, const char* format, ...);
  void destroy();

  int eventId() const { return ids_; }
  const std::string& caption() const { return caption_; }
  int hotkey() const { return hotkey_; }
  bool rightAligned() const { return right_; }
  const std::vector<Entry>& entries() const { return entries_; }
  qzWindow* window() const { return window_; }

  // Chooses entry i (as a click on it would); false for a bad index.
  bool choose(int index);

  // --- for the window
  qzRect captionRect() const { return captionRect_; }
  void setCaptionRect(const qzRect& r) { captionRect_ = r; }
  bool isOpen() const { return open_; }
  void setOpen(bool on);
  qzRect listRect() const;
  int entryAt(int x, int y) const;  // -1: none
  void paintCaption(qzPixmap& target, int font) const;
  void paintList(qzPixmap& target, int font) const;
  int highlighted() const { return highlighted_; }
  void setHighlighted(int index) { highlighted_ = index; }
  // A key while the list is open: moves the highlight, chooses or closes.
  void listKey(int key);

 private:
  qzWindow* window_ = nullptr;
  std::string caption_;
  int hotkey_ = 0, hotkeyIndex_ = -1;
  int ids_ = 0;
  bool right_ = false, open_ = false;
  int highlighted_ = -1;
  qzRect captionRect_;
  std::vector<Entry> entries_;
};

// The bar of one window: its menus side by side across the top of the
// client area, how they are placed and painted, and what the mouse and the
// keys do to them. The window offers every input to its bar first; what
// the bar does not take goes to the widgets.
class qzMenuBar {
 public:
  explicit qzMenuBar(qzWindow& window) : window_(window) {}

  const std::vector<qzWindowMenu*>& menus() const { return menus_; }
  // False when the menu is on the bar already.
  bool add(qzWindowMenu* menu);
  void remove(qzWindowMenu* menu);
  // Takes every menu off the bar (destroying them).
  void destroyMenus();

  // 0 while the window has never had a menu.
  int height() const { return height_; }
  void setHeight(int height) { height_ = height; }
  // Places the captions: from the left, right-aligned ones from the right end.
  void layout(int width);
  // The menu whose list is open, or nullptr.
  qzWindowMenu* openMenu() const;
  // Paints the bar again where `painted` reached into it or a list hangs
  // from it, and the open list, into the window's pixels; returns
  // `painted` grown by what it drew.
  qzRect paint(qzPixmap& target, int font, uint32_t background, qzRect painted) const;

  // Input in window client coordinates; true when the bar used it.
  bool mouseDown(int x, int y);
  bool mouseUp(int x, int y);
  bool mouseMove(int x, int y);
  // Keys: all of them while a list is open; Alt with a caption's hotkey
  // opens that menu with its first entry highlighted.
  bool keyDown(int key, int modifiers);
  // Wheel turns and typed text go nowhere while a list is open.
  bool swallowsOtherInput() const { return openMenu() != nullptr; }

 private:
  qzWindow& window_;
  std::vector<qzWindowMenu*> menus_;
  int height_ = 0;
};
