#include "qzk/menu.h"

#include <algorithm>

#include "qzk/draw.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/ids.h"
#include "qzk/log.h"
#include "qzk/options.h"
#include "qzk/pixmap.h"
#include "qzk/platform/platform.h"
#include "qzk/widget.h"
#include "qzk/window.h"

qzWindowMenu::~qzWindowMenu() { destroy(); }

bool qzWindowMenu::create(qzWindow& window, const char* format, ...) {
  destroy();
  if (!window.exists()) {
    qzlog("menu not created: its window is not open\n");
    return false;
  }
  va_list args;
  va_start(args, format);
  qzOptionList list = qzopt_vprepare(format ? format : "", args);
  va_end(args);
  hotkeyIndex_ = qzcaption_hotkey_index(qzopt_item(list, 0));
  qzCaption cap = qzopt_caption(list);
  caption_ = cap.text;
  hotkey_ = cap.hotkey;
  qzOptMenuEntry o;
  qzopt_menuentry(list, 1, o);
  right_ = o.rightaligned;
  ids_ = qzids_next(11);
  window_ = &window;
  window.attachMenu(this);
  return true;
}

int qzWindowMenu::addEntry(Callback callback, void* user, const char* format, ...) {
  if (!window_) return 0;
  va_list args;
  va_start(args, format);
  qzOptionList list = qzopt_vprepare(format ? format : "", args);
  va_end(args);
  Entry e;
  e.hotkeyIndex = qzcaption_hotkey_index(qzopt_item(list, 0));
  qzCaption cap = qzopt_caption(list);
  e.caption = cap.text;
  e.hotkey = cap.hotkey;
  e.id = qzids_next(11);
  e.callback = callback;
  e.user = user;
  entries_.push_back(e);
  window_->invalidate();
  return e.id;
}

void qzWindowMenu::destroy() {
  if (!window_) return;
  qzWindow* w = window_;
  window_ = nullptr;
  w->detachMenu(this);
  entries_.clear();
  open_ = false;
}

void qzWindowMenu::setOpen(bool on) {
  open_ = on;
  if (!on) highlighted_ = -1;
  if (window_) window_->invalidate();
}

bool qzWindowMenu::choose(int index) {
  if (!window_ || index < 0 || index >= static_cast<int>(entries_.size())) return false;
  const Entry e = entries_[index];
  if (!e.enabled) return false;
  setOpen(false);
  if (e.callback) e.callback(*this, e.id, e.user);
  else qzevent_post(e.id);
  return true;
}

qzRect qzWindowMenu::listRect() const {
  int font = window_ ? window_->font() : qzfont_default();
  int w = captionRect_.w;
  for (const Entry& e : entries_) w = std::max(w, qzfont_textwidth(font, e.caption.c_str()) + 24);
  int h = static_cast<int>(entries_.size()) * (qzfont_height(font) + 4) + 4;
  return {captionRect_.x, captionRect_.y + captionRect_.h + 1, w, h};
}

int qzWindowMenu::entryAt(int x, int y) const {
  qzRect r = listRect();
  if (!open_ || !r.contains(x, y)) return -1;
  int font = window_ ? window_->font() : qzfont_default();
  int i = (y - r.y - 2) / (qzfont_height(font) + 4);
  return i >= 0 && i < static_cast<int>(entries_.size()) ? i : -1;
}

void qzWindowMenu::paintCaption(qzPixmap& target, int font) const {
  const qzRect& r = captionRect_;
  uint32_t colour = qzcolour::text;
  if (open_) {
    qzpxmap_fillrect(target, r.x, r.y, r.w, r.h, qzcolour::title);
    colour = qzcolour::selectionText;
  }
  qzdraw_label_centred(target, r, font, caption_.c_str(), true, colour, hotkeyIndex_);
}

void qzWindowMenu::paintList(qzPixmap& target, int font) const {
  qzRect r = listRect();
  qzpxmap_fillrect(target, r.x, r.y, r.w, r.h, qzcolour::face);
  qzdraw_frame(target, r, QZ_FRAME_RAISED);
  int line = qzfont_height(font) + 4;
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
    qzRect er{r.x + 2, r.y + 2 + i * line, r.w - 4, line};
    uint32_t colour = qzcolour::text;
    if (i == highlighted_) {
      qzpxmap_fillrect(target, er.x, er.y, er.w, er.h, qzcolour::selection);
      colour = qzcolour::selectionText;
    }
    const Entry& e = entries_[i];
    qzdraw_label(target, er.x + 10, er.y + 2, font, e.caption.c_str(), e.enabled, colour);
    if (e.hotkeyIndex >= 0) {
      int ux = er.x + 10 + qzfont_textwidth(font, e.caption.substr(0, e.hotkeyIndex).c_str());
      int uw = qzfont_textwidth(font, e.caption.substr(e.hotkeyIndex, 1).c_str());
      qzpxmap_fillrect(target, ux, er.y + 2 + qzfont_height(font) - 1, uw, 1, colour);
    }
  }
}

namespace {
int lower_case(int key) { return (key >= 'A' && key <= 'Z') ? key + 32 : key; }
}  // namespace

void qzWindowMenu::listKey(int key) {
  int n = static_cast<int>(entries_.size());
  int h = highlighted_;
  if (key == QZ_KEY_DOWN && n > 0) {
    setHighlighted((h + 1) % n);
  } else if (key == QZ_KEY_UP && n > 0) {
    setHighlighted(h <= 0 ? n - 1 : h - 1);
  } else if (key == QZ_KEY_RETURN && h >= 0) {
    choose(h);
  } else if (key == QZ_KEY_ESCAPE) {
    setOpen(false);
  } else {
    for (int i = 0; i < n; ++i)
      if (entries_[i].hotkey == lower_case(key)) {
        choose(i);
        break;
      }
  }
}

// ------------------------------------------------------------ the bar

bool qzMenuBar::add(qzWindowMenu* menu) {
  if (std::find(menus_.begin(), menus_.end(), menu) != menus_.end()) return false;
  menus_.push_back(menu);
  return true;
}

void qzMenuBar::remove(qzWindowMenu* menu) { menus_.erase(std::remove(menus_.begin(), menus_.end(), menu), menus_.end()); }

void qzMenuBar::destroyMenus() {
  std::vector<qzWindowMenu*> menus = menus_;
  for (qzWindowMenu* m : menus) m->destroy();
  menus_.clear();
}

void qzMenuBar::layout(int width) {
  int x = 4, right = width - 4;
  for (qzWindowMenu* m : menus_) {
    int w = qzfont_textwidth(window_.font(), m->caption().c_str()) + 12;
    if (m->rightAligned()) {
      right -= w;
      m->setCaptionRect({right, 1, w, height_ - 2});
    } else {
      m->setCaptionRect({x, 1, w, height_ - 2});
      x += w;
    }
  }
}

qzWindowMenu* qzMenuBar::openMenu() const {
  for (qzWindowMenu* m : menus_)
    if (m->isOpen()) return m;
  return nullptr;
}

qzRect qzMenuBar::paint(qzPixmap& target, int font, uint32_t background, qzRect painted) const {
  if (height_ <= 0) return painted;
  // The bar is drawn again when it was painted over or a list hangs from
  // it over the widgets.
  if (openMenu() || painted.y < height_) {
    qzpxmap_fillrect(target, 0, 0, target.width, height_ - 1, background);
    qzpxmap_fillrect(target, 0, height_ - 1, target.width, 1, 0x808080);
    for (qzWindowMenu* m : menus_) m->paintCaption(target, font);
    painted = painted.united({0, 0, target.width, height_});
  }
  for (qzWindowMenu* m : menus_)
    if (m->isOpen()) {
      m->paintList(target, font);
      painted = painted.united(m->listRect()).intersection({0, 0, target.width, target.height});
    }
  return painted;
}

bool qzMenuBar::mouseDown(int x, int y) {
  if (qzWindowMenu* menu = openMenu()) {
    int entry = menu->entryAt(x, y);
    if (entry >= 0) {
      menu->choose(entry);
      return true;
    }
    menu->setOpen(false);
    window_.invalidate();
    // A click on the open menu's own caption only closes it.
    if (menu->captionRect().contains(x, y)) return true;
  }
  if (y >= height_) return false;
  for (qzWindowMenu* m : menus_)
    if (m->captionRect().contains(x, y)) {
      m->setOpen(true);
      window_.invalidate();
    }
  return true;
}

bool qzMenuBar::mouseUp(int x, int y) {
  qzWindowMenu* menu = openMenu();
  if (!menu) return false;
  int entry = menu->entryAt(x, y);
  if (entry >= 0) menu->choose(entry);
  return true;
}

bool qzMenuBar::mouseMove(int x, int y) {
  qzWindowMenu* menu = openMenu();
  if (!menu) return false;
  int entry = menu->entryAt(x, y);
  if (entry != menu->highlighted()) {
    menu->setHighlighted(entry);
    window_.invalidate();
  }
  return true;
}

bool qzMenuBar::keyDown(int key, int modifiers) {
  if (qzWindowMenu* menu = openMenu()) {
    menu->listKey(key);
    window_.invalidate();
    return true;
  }
  if (!(modifiers & QZ_MOD_ALT)) return false;
  for (qzWindowMenu* m : menus_)
    if (m->hotkey() && m->hotkey() == lower_case(key)) {
      m->setOpen(true);
      m->setHighlighted(m->entries().empty() ? -1 : 0);
      window_.invalidate();
      return true;
    }
  return false;
}
