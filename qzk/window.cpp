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

qzWindow::qzWindow() : focus_(container_), bar_(*this) {}

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
  bar_.setHeight(0);
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
  bar_.destroyMenus();
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
  painted = bar_.paint(pixels_, font_, background_, painted);
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
  if (!bar_.add(menu)) return;
  if (bar_.height() == 0) {
    // The bar is added above the client area the string asked for, and
    // the widgets already there move down with it.
    int bar = qzfont_height(font_) + 6;
    if (bar < 8) bar = 8;
    bar_.setHeight(bar);
    for (qzWidget* w : container_.widgets()) {
      qzRect r = w->rect();
      r.y += bar;
      w->setRect(r);
    }
    move(left_, top_, width_, height_ + bar);
  }
  bar_.layout(width_);
  fullRepaint_ = true;
}

void qzWindow::detachMenu(qzWindowMenu* menu) {
  bar_.remove(menu);
  bar_.layout(width_);
  fullRepaint_ = true;
}

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

// A key goes to the menu bar, then the focused widget, then the focus
// manager (Tab, hotkeys, the default button); else it is posted.
void qzWindow::keyDown(int key, int modifiers) {
  if (bar_.keyDown(key, modifiers)) {
    swallow(key);
    return;
  }
  qzWidget* f = focus_.focused();
  if ((f && f->enabled() && f->shown() && f->keyDown(key, modifiers)) || focus_.keyDown(key, modifiers)) {
    swallow(key);
    return;
  }
  qzevent_post(key);
}

// The release of a key whose press was used goes to the focused widget
// only; other releases are posted unless the focused widget takes them.
void qzWindow::keyUp(int key, int modifiers) {
  auto it = std::find(swallowedReleases_.begin(), swallowedReleases_.end(), key);
  if (it != swallowedReleases_.end()) {
    swallowedReleases_.erase(it);
    qzWidget* f = focus_.focused();
    if (f && f->enabled()) f->keyUp(key, modifiers);
    return;
  }
  qzWidget* f = focus_.focused();
  if (f && f->enabled() && f->shown() && f->keyUp(key, modifiers)) return;
  qzevent_post(key + QZ_KEY_RELEASE);
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
      if (blocked_ && !liveUnderModal_) {
        raiseTopModal();
        return;
      }
      requestClose();
      return;
    default:
      break;
  }
  if (blocked_) {
    blockedInput(in);
    return;
  }
  switch (in.kind) {
    case QZ_INPUT_MOUSE_DOWN: {
      if (bar_.mouseDown(in.x, in.y)) return;
      qzWidget* w = container_.widgetAt(in.x, in.y);
      if (w && w->enabled() && w->canTakeFocus() && !container_.captured()) focus_.setFocus(w);
      container_.mouseDown(in.x, in.y, in.button, in.modifiers, in.time);
      return;
    }
    case QZ_INPUT_MOUSE_UP:
      if (!bar_.mouseUp(in.x, in.y)) container_.mouseUp(in.x, in.y, in.button);
      return;
    case QZ_INPUT_MOUSE_MOVE:
      if (!bar_.mouseMove(in.x, in.y)) container_.mouseMove(in.x, in.y, in.buttons);
      return;
    case QZ_INPUT_WHEEL:
      if (!bar_.swallowsOtherInput()) container_.mouseWheel(in.x, in.y, in.wheel);
      return;
    case QZ_INPUT_KEY_DOWN:
      keyDown(in.key, in.modifiers);
      return;
    case QZ_INPUT_KEY_UP:
      keyUp(in.key, in.modifiers);
      return;
    case QZ_INPUT_TEXT: {
      if (bar_.swallowsOtherInput()) return;
      qzWidget* f = focus_.focused();
      if (f && f->enabled() && f->shown()) f->textInput(in.text);
      return;
    }
    default:
      return;
  }
}

// Under a modal window only the live parts take the mouse: the menu bar of
// a live window and the live widgets; anything else brings the modal up.
void qzWindow::blockedInput(const qzInput& in) {
  qzWidget* captured = container_.captured();
  bool liveCapture = captured && captured->liveUnderModal();
  switch (in.kind) {
    case QZ_INPUT_MOUSE_DOWN: {
      if (liveUnderModal_ && bar_.mouseDown(in.x, in.y)) return;
      qzWidget* w = container_.widgetAt(in.x, in.y);
      if ((w && w->liveUnderModal() && w->enabled()) || liveCapture) {
        container_.mouseDown(in.x, in.y, in.button, in.modifiers, in.time);
        return;
      }
      raiseTopModal();
      return;
    }
    case QZ_INPUT_MOUSE_UP:
      if (liveUnderModal_ && bar_.mouseUp(in.x, in.y)) return;
      if (liveCapture) container_.mouseUp(in.x, in.y, in.button);
      return;
    case QZ_INPUT_MOUSE_MOVE:
      if (liveUnderModal_ && bar_.mouseMove(in.x, in.y)) return;
      if (liveCapture) container_.mouseMove(in.x, in.y, in.buttons);
      return;
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
