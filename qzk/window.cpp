#include "qzk/window.h"

#include <algorithm>

#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/ids.h"
#include "qzk/log.h"
#include "qzk/menu.h"
#include "qzk/options.h"
#include "qzk/platform/platform.h"
#include "qzk/widget.h"

namespace {
std::vector<qzWindow*> g_windows;  // open windows, oldest first
int g_building = 0;
bool g_gui_init = false;

// A window's input is blocked while a modal window opened after it is
// still open.
void update_blocking() {
  bool blocked = false;
  for (auto it = g_windows.rbegin(); it != g_windows.rend(); ++it) {
    (*it)->setBlocked(blocked);
    if ((*it)->blocksOthers()) blocked = true;
  }
}

void gui_init() {
  if (g_gui_init) return;
  g_gui_init = true;
  qzlog("gui init.\n");
  qzlog("mwin registered: qzWND%02d\n", 0);
  qzlog("pwin registered: qzPWND%02d\n", 0);
}
}  // namespace

qzWindow::qzWindow() : focus_(container_) {}

qzWindow::~qzWindow() { destroy(); }

bool qzWindow::createv(const char* format, va_list args) {
  if (exists()) destroy();
  qzOptionList list = qzopt_vprepare(format ? format : "", args);
  options_ = list.text;
  qzCaption caption = qzopt_caption(list);
  title_ = caption.text;
  qzGeometry g;
  qzopt_window_geometry(list, 1, g);
  qzOptWindow o;
  qzopt_window(list, 1, o);
  font_ = qzopt_font(list, 1, qzfont_default());
  modal_ = o.modal;
  sysmenu_ = o.sysmenu;
  noquit_ = o.noquit;
  fullscreen_ = o.fullscreen;
  if (o.bgcolour) background_ = *o.bgcolour;

  qzScreenInfo screen = qzplatform().screen();
  if (fullscreen_) {
    left_ = top_ = 0;
    width_ = screen.width;
    height_ = screen.height;
  } else {
    // A window the string gives no size gets a small one rather than none.
    qzgeom_natural(g, 320, 240);
    qzgeom_place_window(g, screen.width, screen.height, screen.workLeft, screen.workTop);
    left_ = g.left;
    top_ = g.top;
    width_ = std::max(1, g.width);
    height_ = std::max(1, g.height);
  }
  menuHeight_ = 0;
  if (!qzpxmap_alloc(pixels_, width_, height_, QZ_PX_TRUECOLOR)) {
    qzlog("window \"%s\" not created: %d*%d pixels refused\n", title_.c_str(), width_, height_);
    return false;
  }
  qzpxmap_clear(pixels_, background_);
  ids_ = qzids_next(11);
  fullRepaint_ = true;
  currentPage_ = nullptr;
  g_windows.push_back(this);
  update_blocking();
  gui_init();
  qzlog("window open: %d %d %d*%d \"%s\"   cs=\"%s\"\n", left_, top_, width_, height_, title_.c_str(),
        options_.c_str());
  if (!g_building) openNative();
  return true;
}

void qzWindow::openNative() {
  if (native_ || !exists()) return;
  qzNativeWindowSpec frame;
  frame.title = title_;
  frame.left = left_;
  frame.top = top_;
  frame.width = width_;
  frame.height = height_;
  frame.frameless = fullscreen_;
  frame.topmost = modal_;
  frame.sysmenu = sysmenu_;
  native_ = qzplatform().openWindow(frame);
  if (!native_ && !qzplatform_is_headless()) {
    // No window can be shown on this display: carry on without one, as if
    // the program had been started headless, unless other windows exist.
    bool others = std::any_of(g_windows.begin(), g_windows.end(), [this](qzWindow* w) { return w != this && w->native_; });
    if (!others) {
      qzlog("no window could be opened: headless backend\n");
      qzplatform_use_headless();
      native_ = qzplatform().openWindow(frame);
    }
  }
  fullRepaint_ = true;
  repaint();
}

void qzWindow::destroy() {
  if (!exists()) return;
  detachAll();
  if (native_) qzplatform().closeWindow(native_);
  native_ = 0;
  g_windows.erase(std::remove(g_windows.begin(), g_windows.end(), this), g_windows.end());
  update_blocking();
  qzlog("window closed (\"%s\")\n", title_.c_str());
  ids_ = 0;
  currentPage_ = nullptr;
  swallowedReleases_.clear();
  qzpxmap_free(pixels_);
}

void qzWindow::detachAll() {
  std::vector<qzWidget*> widgets = container_.widgets();
  focus_.setFocus(nullptr);
  for (qzWidget* w : widgets) {
    container_.remove(w);
    w->detachFromWindow();
  }
  std::vector<qzWindowMenu*> menus = menus_;
  for (qzWindowMenu* m : menus) m->destroy();
  menus_.clear();
}

void qzWindow::setBlocksOthers(bool on) {
  blocksOthers_ = on;
  update_blocking();
}

void qzWindow::setTitle(const std::string& title) {
  title_ = title;
  if (native_) qzplatform().retitleWindow(native_, title);
}

void qzWindow::move(int left, int top, int width, int height) {
  if (!exists() || width <= 0 || height <= 0) return;
  if (width != width_ || height != height_) {
    if (!qzpxmap_alloc(pixels_, width, height, QZ_PX_TRUECOLOR)) return;
    width_ = width;
    height_ = height;
    fullRepaint_ = true;
  }
  left_ = left;
  top_ = top;
  if (native_) qzplatform().moveWindow(native_, left_, top_, width_, height_);
}

bool qzWindow::repaint() {
  if (!exists()) return false;
  qzRect painted;
  if (fullRepaint_) {
    fullRepaint_ = false;
    container_.paint(pixels_, true, background_);
    painted = {0, 0, width_, height_};
  } else {
    painted = container_.paint(pixels_, false, background_);
  }
  if (painted.empty()) return false;
  if (menuHeight_ > 0) {
    bool open = false;
    for (qzWindowMenu* m : menus_) open = open || m->isOpen();
    // The bar is drawn again when it was painted over or a list hangs
    // from it over the widgets.
    if (open || painted.y < menuHeight_) {
      qzpxmap_fillrect(pixels_, 0, 0, width_, menuHeight_ - 1, background_);
      qzpxmap_fillrect(pixels_, 0, menuHeight_ - 1, width_, 1, 0x808080);
      for (qzWindowMenu* m : menus_) m->paintCaption(pixels_, font_);
      painted = painted.united({0, 0, width_, menuHeight_});
    }
    for (qzWindowMenu* m : menus_)
      if (m->isOpen()) {
        m->paintList(pixels_, font_);
        painted = painted.united(m->listRect()).intersection({0, 0, width_, height_});
      }
  }
  if (native_) qzplatform().presentRect(native_, pixels_.rgb.data(), width_, height_, painted.x, painted.y, painted.w, painted.h);
  return true;
}

void qzWindow::requestClose() {
  if (!exists()) return;
  if (callback_) callback_(*this, closeId(), user_);
  else qzevent_post(closeId());
  if (!noquit_) qzquit();
}

void qzWindow::attachMenu(qzWindowMenu* menu) {
  if (std::find(menus_.begin(), menus_.end(), menu) != menus_.end()) return;
  menus_.push_back(menu);
  if (menuHeight_ == 0) {
    // The bar is added above the client area the string asked for, and
    // the widgets already there move down with it.
    int bar = qzfont_height(font_) + 6;
    if (bar < 8) bar = 8;
    menuHeight_ = bar;
    for (qzWidget* w : container_.widgets()) {
      qzRect r = w->rect();
      r.y += bar;
      w->setRect(r);
    }
    move(left_, top_, width_, height_ + bar);
  }
  layoutMenu();
  fullRepaint_ = true;
}

void qzWindow::detachMenu(qzWindowMenu* menu) {
  menus_.erase(std::remove(menus_.begin(), menus_.end(), menu), menus_.end());
  layoutMenu();
  fullRepaint_ = true;
}

void qzWindow::layoutMenu() {
  int x = 4, right = width_ - 4;
  for (qzWindowMenu* m : menus_) {
    int w = qzfont_textwidth(font_, m->caption().c_str()) + 12;
    if (m->rightAligned()) {
      right -= w;
      m->setCaptionRect({right, 1, w, menuHeight_ - 2});
    } else {
      m->setCaptionRect({x, 1, w, menuHeight_ - 2});
      x += w;
    }
  }
}

namespace {
qzWindowMenu* open_menu(const std::vector<qzWindowMenu*>& menus) {
  for (qzWindowMenu* m : menus)
    if (m->isOpen()) return m;
  return nullptr;
}
}  // namespace

// A window under a modal one was used: bring the modal one up instead.
void qzWindow::raiseTopModal() {
  for (auto it = g_windows.rbegin(); it != g_windows.rend(); ++it)
    if ((*it)->blocksOthers()) {
      if ((*it)->native_) qzplatform().raiseWindow((*it)->native_);
      return;
    }
}

void qzWindow::swallow(int key) {
  if (std::find(swallowedReleases_.begin(), swallowedReleases_.end(), key) == swallowedReleases_.end())
    swallowedReleases_.push_back(key);
}

void qzWindow::handleInput(const qzInput& in) {
  switch (in.kind) {
    case QZ_INPUT_EXPOSE:
      fullRepaint_ = true;
      return;
    case QZ_INPUT_FOCUS_IN:
    case QZ_INPUT_FOCUS_OUT:
      return;
    case QZ_INPUT_CLOSE:
      if (blocked_) {
        raiseTopModal();
        return;
      }
      requestClose();
      return;
    default:
      break;
  }
  if (blocked_) {
    if (in.kind == QZ_INPUT_MOUSE_DOWN) raiseTopModal();
    return;
  }
  qzWindowMenu* menu = open_menu(menus_);
  switch (in.kind) {
    case QZ_INPUT_MOUSE_DOWN: {
      if (menu) {
        int entry = menu->entryAt(in.x, in.y);
        if (entry >= 0) {
          menu->choose(entry);
          return;
        }
        menu->setOpen(false);
        fullRepaint_ = true;
        if (menu->captionRect().contains(in.x, in.y)) return;
      }
      if (in.y < menuHeight_) {
        for (qzWindowMenu* m : menus_)
          if (m->captionRect().contains(in.x, in.y)) {
            m->setOpen(true);
            fullRepaint_ = true;
          }
        return;
      }
      qzWidget* w = container_.widgetAt(in.x, in.y);
      if (w && w->enabled() && w->canTakeFocus() && !container_.captured()) focus_.setFocus(w);
      container_.mouseDown(in.x, in.y, in.button, in.modifiers, in.time);
      return;
    }
    case QZ_INPUT_MOUSE_UP:
      if (menu) {
        int entry = menu->entryAt(in.x, in.y);
        if (entry >= 0) menu->choose(entry);
        return;
      }
      container_.mouseUp(in.x, in.y, in.button);
      return;
    case QZ_INPUT_MOUSE_MOVE:
      if (menu) {
        int entry = menu->entryAt(in.x, in.y);
        if (entry != menu->highlighted()) {
          menu->setHighlighted(entry);
          fullRepaint_ = true;
        }
        return;
      }
      container_.mouseMove(in.x, in.y, in.buttons);
      return;
    case QZ_INPUT_WHEEL:
      if (!menu) container_.mouseWheel(in.x, in.y, in.wheel);
      return;
    case QZ_INPUT_KEY_DOWN: {
      if (menu) {
        int n = static_cast<int>(menu->entries().size());
        int h = menu->highlighted();
        if (in.key == QZ_KEY_DOWN && n > 0) menu->setHighlighted((h + 1) % n);
        else if (in.key == QZ_KEY_UP && n > 0) menu->setHighlighted(h <= 0 ? n - 1 : h - 1);
        else if (in.key == QZ_KEY_RETURN && h >= 0) menu->choose(h);
        else if (in.key == QZ_KEY_ESCAPE) menu->setOpen(false);
        else {
          int lower = (in.key >= 'A' && in.key <= 'Z') ? in.key + 32 : in.key;
          for (int i = 0; i < n; ++i)
            if (menu->entries()[i].hotkey == lower) {
              menu->choose(i);
              break;
            }
        }
        fullRepaint_ = true;
        swallow(in.key);
        return;
      }
      if (in.modifiers & QZ_MOD_ALT) {
        int lower = (in.key >= 'A' && in.key <= 'Z') ? in.key + 32 : in.key;
        for (qzWindowMenu* m : menus_)
          if (m->hotkey() && m->hotkey() == lower) {
            m->setOpen(true);
            m->setHighlighted(m->entries().empty() ? -1 : 0);
            fullRepaint_ = true;
            swallow(in.key);
            return;
          }
      }
      qzWidget* f = focus_.focused();
      if ((f && f->enabled() && f->shown() && f->keyDown(in.key, in.modifiers)) || focus_.keyDown(in.key, in.modifiers)) {
        swallow(in.key);
        return;
      }
      qzevent_post(in.key);
      return;
    }
    case QZ_INPUT_KEY_UP: {
      auto it = std::find(swallowedReleases_.begin(), swallowedReleases_.end(), in.key);
      if (it != swallowedReleases_.end()) {
        swallowedReleases_.erase(it);
        qzWidget* f = focus_.focused();
        if (f && f->enabled()) f->keyUp(in.key, in.modifiers);
        return;
      }
      qzWidget* f = focus_.focused();
      if (f && f->enabled() && f->shown() && f->keyUp(in.key, in.modifiers)) return;
      qzevent_post(in.key + QZ_KEY_RELEASE);
      return;
    }
    case QZ_INPUT_TEXT: {
      if (menu) return;
      qzWidget* f = focus_.focused();
      if (f && f->enabled() && f->shown()) f->textInput(in.text);
      return;
    }
    default:
      return;
  }
}

qzWindow* qzWindow::current() {
  // A modal window that does not block (the information box) stays out of
  // the way of the windows being built.
  for (auto it = g_windows.rbegin(); it != g_windows.rend(); ++it)
    if (!(*it)->modal_ || (*it)->blocksOthers_) return *it;
  return g_windows.empty() ? nullptr : g_windows.back();
}
const std::vector<qzWindow*>& qzWindow::all() { return g_windows; }
int qzWindow::openCount() { return static_cast<int>(g_windows.size()); }

qzWindow* qzWindow::byNative(int handle) {
  if (handle == 0) return nullptr;
  for (qzWindow* w : g_windows)
    if (w->native_ == handle) return w;
  return nullptr;
}

void qzwindow_build_begin() { ++g_building; }

void qzwindow_build_end() {
  if (g_building == 0) return;
  if (--g_building > 0) return;
  std::vector<qzWindow*> windows = g_windows;
  for (qzWindow* w : windows) w->openNative();
}

bool qzwindow_building() { return g_building > 0; }
