#pragma once
// A top-level window: one native window of the platform, a pixmap holding
// its client area, the widgets inside it, an optional menu bar and a close
// identifier.
//
//     qzWindow w;
//     w.create("Research,x=50%,y=50%,xs=650,ys=300,modal,nosysmenu,noquit");
//
// Item 0 is the title. Keys: the geometry table (against the screen; no x
// means the work area's top-left corner; xs/ys are the client size),
// "modal" (kept on top, blocks the input of every other window while it
// is open), "nosysmenu"/"sysmenu" families, "noquit" (closing the window
// does not end the application), "fullscreen" (frameless, the whole
// screen), "bgcol=" family (background colour), "font="/"fontid=" (the
// menu bar's font).
//
// Closing it from the frame posts closeId() (or runs the close callback);
// without "noquit" the running flag is then cleared. The native window
// itself stays until destroy(): the application decides.
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qzk/container.h"
#include "qzk/create_from_format.h"
#include "qzk/geometry_rect.h"
#include "qzk/keyfocus.h"
#include "qzk/menu.h"
#include "qzk/pixmap.h"

struct qzInput;
struct qzWidgetPage;

class qzWindow : public qzCreateFromFormat<qzWindow> {
 public:
  using Callback = void (*)(qzWindow& window, int event, void* user);

  qzWindow();
  ~qzWindow();
  qzWindow(const qzWindow&) = delete;
  qzWindow& operator=(const qzWindow&) = delete;

  bool createv(const char* format, va_list args);
  void destroy();  // logs "window closed (\"%s\")\n"
  bool exists() const { return ids_ != 0; }

  int closeId() const { return ids_; }
  int eventId() const { return ids_; }
  bool ownsEvent(int event) const { return ids_ && event >= ids_ && event < ids_ + 11; }
  void setCallback(Callback callback, void* user) { callback_ = callback; user_ = user; }

  const std::string& title() const { return title_; }
  void setTitle(const std::string& title);
  const std::string& optionString() const { return options_; }

  // Screen position of the client area and its size (the menu bar, if
  // any, is part of the client area: widgets are placed below it).
  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // The part of the client area that widgets are placed in.
  qzRect widgetArea() const { return {0, bar_.height(), width_, height_ - bar_.height()}; }
  void move(int left, int top, int width, int height);

  bool modal() const { return modal_; }
  bool endsApplication() const { return !noquit_; }
  bool fullscreen() const { return fullscreen_; }
  bool sysmenu() const { return sysmenu_; }
  uint32_t background() const { return background_; }
  int font() const { return font_; }

  // Input is ignored while a modal window above it is open, except for its
  // close box and menu bar when liveUnderModal() and clicks on widgets that
  // are liveUnderModal() themselves.
  bool blocked() const { return blocked_; }
  bool liveUnderModal() const { return liveUnderModal_; }
  void setLiveUnderModal(bool on) { liveUnderModal_ = on; }
  void setBlocked(bool on) { blocked_ = on; }
  // A modal window blocks the input of the windows below it unless this
  // is turned off (the information box stays on top without blocking).
  bool blocksOthers() const { return modal_ && blocksOthers_; }
  void setBlocksOthers(bool on);

  qzPixmap& pixels() { return pixels_; }
  const qzPixmap& pixels() const { return pixels_; }
  qzGuiBaseContainer& container() { return container_; }
  qzGuiBaseKeyFocusManager& focus() { return focus_; }
  qzWindowMenu* menu() const { return bar_.menus().empty() ? nullptr : bar_.menus().front(); }
  const std::vector<qzWindowMenu*>& menus() const { return bar_.menus(); }

  // The page that newly created widgets join (nullptr: the window itself).
  qzWidgetPage* currentPage() const { return currentPage_; }
  void setCurrentPage(qzWidgetPage* page) { currentPage_ = page; }

  // Repainting: a full repaint of background and widgets at the end of the
  // dispatch round (widgets call their own invalidate()).
  void invalidate() { fullRepaint_ = true; }
  // Paints what is invalid and presents it; true when anything changed.
  bool repaint();
  int nativeHandle() const { return native_; }

  // Input from the platform, already addressed to this window.
  void handleInput(const qzInput& input);
  // The close box was used (or qzheadless_close): posts, maybe quits.
  void requestClose();

  // --- for menus and widgets
  void attachMenu(qzWindowMenu* menu);
  void detachMenu(qzWindowMenu* menu);
  int menuHeight() const { return bar_.height(); }
  void openNative();  // deferred building: open the native window now

  // The window that widgets created now belong to: the last window
  // created that is still open (a non-blocking modal one excepted).
  static qzWindow* current();
  // All open windows, oldest first.
  static const std::vector<qzWindow*>& all();
  static qzWindow* byNative(int handle);
  static int openCount();

 private:
  void detachAll();
  void swallow(int key);
  void keyDown(int key, int modifiers);
  void keyUp(int key, int modifiers);
  void blockedInput(const qzInput& input);
  static void raiseTopModal();

  std::string title_, options_;
  int ids_ = 0;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  int font_ = 0;
  bool modal_ = false, noquit_ = false, fullscreen_ = false, sysmenu_ = true;
  bool blocked_ = false, fullRepaint_ = true, blocksOthers_ = true, liveUnderModal_ = false;
  std::vector<int> swallowedReleases_;  // keys whose press was used
  uint32_t background_ = 0xC0C0C0;
  int native_ = 0;
  qzPixmap pixels_;
  qzGuiBaseContainer container_;
  qzGuiBaseKeyFocusManager focus_;
  qzMenuBar bar_;
  qzWidgetPage* currentPage_ = nullptr;
  Callback callback_ = nullptr;
  void* user_ = nullptr;
};

// Deferred building: between begin and end, windows are built but their
// native windows are opened (and shown) only at the end, fully painted.
// Nests; the outermost end opens them.
void qzwindow_build_begin();
void qzwindow_build_end();
bool qzwindow_building();
