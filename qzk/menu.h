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
#include <cstdarg>
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
