#include "qzk/widget.h"

#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/ids.h"
#include "qzk/log.h"
#include "qzk/options.h"
#include "qzk/window.h"

int qzcaption_hotkey_index(const std::string& raw) {
  int shown = 0;  // bytes of the caption as shown so far
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '&') {
      if (i + 1 < raw.size() && raw[i + 1] == '&') {
        ++i;
        ++shown;
        continue;
      }
      return i + 1 < raw.size() ? shown : -1;
    }
    ++shown;
  }
  return -1;
}

void qzWidgetPage::changed() {
  if (!window) return;
  window->invalidate();
  for (qzWidget* w : window->container().widgets())
    if (!w->shown()) window->container().forget(w);
  window->focus().repair();
}

qzWidget::~qzWidget() { destroy(); }

bool qzWidget::createWidget(bool hasCaption, const char* format, va_list args) {
  if (exists()) destroy();
  qzOptionList list = qzopt_vprepare(format ? format : "", args);
  options_ = list.text;
  qzWindow* w = qzWindow::current();
  if (!w) {
    qzlog("%s not created: no window is open (cs=\"%s\")\n", kind(), options_.c_str());
    return false;
  }
  optionStart_ = 0;
  if (hasCaption) {
    hotkeyIndex_ = qzcaption_hotkey_index(qzopt_item(list, 0));
    qzCaption cap = qzopt_caption(list);
    caption_ = cap.text;
    hotkey_ = cap.hotkey;
    if (hotkeyIndex_ >= static_cast<int>(caption_.size())) hotkeyIndex_ = -1;
    optionStart_ = 1;
  }
  qzGeometry g;
  qzopt_geometry(list, optionStart_, g);
  qzOptCommon common;
  qzopt_common(list, optionStart_, common);
  font_ = common.font ? common.font : qzfont_default();
  noKeyFocus_ = common.nokeyfocus;
  border_ = common.border >= 0 ? common.border : defaultBorder();
  window_ = w;
  page_ = w->currentPage();
  parseOptions(list);

  int naturalWidth = 0, naturalHeight = 0;
  naturalSize(naturalWidth, naturalHeight);
  qzgeom_natural(g, naturalWidth, naturalHeight);
  qzRect area = w->widgetArea();
  qzgeom_place(g, area.w, area.h);
  rect_ = {g.left + area.x, g.top + area.y, g.width, g.height};

  ids_ = qzids_next(QZ_WIDGET_IDS);
  w->container().add(this);
  created();
  invalidate();
  return true;
}

void qzWidget::parseOptions(qzOptionList&) {}
void qzWidget::naturalSize(int&, int&) {}

void qzWidget::setRect(const qzRect& r) {
  if (r == rect_) return;
  rect_ = r;
  if (window_) window_->invalidate();
  invalidate();
}

void qzWidget::setFont(int font) {
  font_ = font;
  invalidate();
}

void qzWidget::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (!on && window_) {
    window_->container().forget(this);
    if (hasFocus()) window_->focus().repair();
  }
  enabledChanged();
  invalidate();
}

void qzWidget::setVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  if (window_) {
    window_->invalidate();
    if (!on) {
      window_->container().forget(this);
      if (hasFocus()) window_->focus().repair();
    }
  }
  shownChanged();
  invalidate();
}

bool qzWidget::shown() const {
  if (!visible_ || !window_) return false;
  if (!page_) return true;
  if (!page_->shown) return false;
  return !page_->owner || page_->owner->shown();
}

bool qzWidget::canTakeFocus() const { return shown() && enabled_ && !noKeyFocus_ && acceptsFocus(); }

bool qzWidget::hasFocus() const { return window_ && window_->focus().focused() == this; }

void qzWidget::takeFocus() {
  if (window_ && canTakeFocus()) window_->focus().setFocus(this);
}

void qzWidget::activate(int k) {
  if (!ids_) return;
  if (k < 0 || k >= QZ_WIDGET_IDS) k = 0;
  bool postInstead = postsWhileWaitingForOneOf() && qzwait_for_one_of_active();
  if (callback_ && !postInstead) callback_(*this, id(k), user_);
  else qzevent_post(id(k));
}

void qzWidget::invalidate() { dirty_ = true; }

void qzWidget::requestTick(double at) { tickAt_ = at < 0 ? 0 : at; }
void qzWidget::cancelTick() { tickAt_ = -1; }

void qzWidget::destroy() {
  if (!window_) return;
  qzWindow* w = window_;
  w->focus().forget(this);
  w->container().remove(this);
  w->invalidate();
  window_ = nullptr;
  page_ = nullptr;
  tickAt_ = -1;
}

void qzWidget::detachFromWindow() {
  window_ = nullptr;
  page_ = nullptr;
  tickAt_ = -1;
}

bool qzWidget::mouseDown(int, int, int, int, int) { return false; }
void qzWidget::mouseUp(int, int, int) {}
void qzWidget::mouseMove(int, int, int) {}
bool qzWidget::mouseWheel(int, int, int) { return false; }
bool qzWidget::keyDown(int, int) { return false; }
bool qzWidget::keyUp(int, int) { return false; }
bool qzWidget::textInput(const std::string&) { return false; }
void qzWidget::tick(double) {}
