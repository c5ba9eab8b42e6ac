#include "qzk/updown.h"

#include <algorithm>
#include <utility>
#include <cmath>

#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/options.h"
#include "qzk/platform/platform.h"
#include "qzk/window.h"

bool qzUpDownControl::createv(const char* format, va_list args) { return createWidget(false, format, args); }

qzUpDownControl::~qzUpDownControl() { destroy(); }

void qzUpDownControl::destroy() {
  up_.destroy();
  down_.destroy();
  qzWidget::destroy();
}

void qzUpDownControl::parseOptions(qzOptionList& options) {
  qzOptUpDown o;
  qzopt_updown(options, optionStart(), o);
  // Without a range the control takes any int, so "start=2000" alone is kept.
  if (o.min_given) rule_.min = o.min;
  if (o.max_given) rule_.max = o.max;
  rule_.step = o.step;
  rule_.digits = o.digits;
  double lo = std::fmin(rule_.min, rule_.max);
  value_ = qzupdown_settle(rule_, o.start_given ? o.start : std::fmax(0.0, lo), lo);
  show();
}

void qzUpDownControl::naturalSize(int& width, int& height) {
  if (width == 0) width = qzfont_textwidth(font(), "0") * 8 + 24;
  if (height == 0) height = qzfont_height(font()) + 8;
}

int qzUpDownControl::arrowWidth() const { return std::clamp(rect().h, 12, 18); }

qzRect qzUpDownControl::fieldRect() const {
  qzRect r = rect();
  return {r.x, r.y, std::max(0, r.w - arrowWidth()), r.h};
}

void qzUpDownControl::created() {
  // The arrows lie over the right end of the control, in the same window
  // and page, and never take the focus from the field.
  qzRect r = rect();
  int aw = arrowWidth();
  int upH = r.h / 2;
  up_.create("up,arrow,smallarrow,mouserepeat,nokeyfocus,skip,x=%d,y=%d,xs=%d,ys=%d", r.x + r.w - aw, r.y, aw, upH);
  down_.create("down,arrow,smallarrow,mouserepeat,nokeyfocus,skip,x=%d,y=%d,xs=%d,ys=%d", r.x + r.w - aw,
               r.y + upH, aw, r.h - upH);
  up_.setRect({r.x + r.w - aw, r.y, aw, upH});
  down_.setRect({r.x + r.w - aw, r.y + upH, aw, r.h - upH});
  up_.setCallback(arrowUsed, this);
  down_.setCallback(arrowUsed, this);
  up_.setEnabled(enabled());
  down_.setEnabled(enabled());
}

void qzUpDownControl::arrowUsed(qzWidget& arrow, int, void* user) {
  auto* self = static_cast<qzUpDownControl*>(user);
  if (!self->enabled()) return;
  self->stepBy(&arrow == &self->up_ ? 1 : -1);
}

void qzUpDownControl::show() {
  qzlinetext_set(text_, qzupdown_format(rule_, value_));
  view_.scroll = 0;
  typing_ = false;
  invalidate();
}

bool qzUpDownControl::acceptTyped() {
  if (!typing_) return false;
  double typed = value_;
  double before = value_;
  if (qzupdown_parse(text_.text, typed)) {
    value_ = qzupdown_settle(rule_, typed, value_);
    // Kept so that the application can say which value it took instead.
    if (value_ != typed) {
      refused_ = typed;
      refusedText_ = text_.text;
    } else {
      refusedText_.clear();
    }
  }
  show();
  return value_ != before;
}

void qzUpDownControl::stepBy(double steps) {
  acceptTyped();
  double step = std::fabs(rule_.step) > 0 ? std::fabs(rule_.step) : 1.0;
  double before = value_;
  value_ = qzupdown_settle(rule_, value_ + steps * step, value_);
  show();
  if (value_ != before) activate(0);
}

void qzUpDownControl::setValue(double value) {
  value_ = qzupdown_settle(rule_, value, value_);
  show();
}

int qzUpDownControl::intValue() {
  double v = doubleValue();
  return static_cast<int>(std::clamp(std::trunc(v), -2147483647.0, 2147483647.0));
}

double qzUpDownControl::doubleValue() {
  acceptTyped();
  return value_;
}

void qzUpDownControl::paint(qzPixmap& target) {
  qzRect field = fieldRect();
  qzRect in = field.inset(qzframe_width(border()));
  view_.rightAligned = true;
  qzlineedit_follow_caret(text_, view_, font(), in);
  qzlineedit_paint(target, in, font(), text_, view_, enabled(), hasFocus(), true);
  qzdraw_frame(target, field, border());
  // The arrows are widgets of their own and paint over the rest; what
  // lies between them is filled here.
  qzRect rest{field.x + field.w, rect().y, rect().w - field.w, rect().h};
  qzpxmap_fillrect(target, rest.x, rest.y, rest.w, rest.h, qzcolour::face);
}

bool qzUpDownControl::mouseDown(int x, int, int button, int clicks, int modifiers) {
  if (button != QZ_MOUSE_LEFT) return false;
  takeFocus();
  qzRect in = fieldRect().inset(qzframe_width(border()));
  if (clicks >= 2) {
    qzlinetext_select_all(text_);
  } else {
    qzlinetext_move_to(text_, qzlineedit_offset_at(text_, view_, font(), in, x), modifiers & QZ_MOD_SHIFT);
    dragging_ = true;
  }
  invalidate();
  return true;
}

void qzUpDownControl::mouseMove(int x, int, int buttons) {
  if (!dragging_ || !(buttons & 1)) {
    dragging_ = false;
    return;
  }
  qzRect in = fieldRect().inset(qzframe_width(border()));
  qzlinetext_move_to(text_, qzlineedit_offset_at(text_, view_, font(), in, x), true);
  invalidate();
}

bool qzUpDownControl::mouseWheel(int, int, int steps) {
  if (steps == 0) return false;
  stepBy(steps);
  return true;
}

bool qzUpDownControl::keyDown(int key, int modifiers) {
  switch (key) {
    case QZ_KEY_UP: stepBy(1); return true;
    case QZ_KEY_DOWN: stepBy(-1); return true;
    case QZ_KEY_PAGEUP: stepBy(10); return true;
    case QZ_KEY_PAGEDOWN: stepBy(-10); return true;
    case QZ_KEY_RETURN:
      // The value is taken; Return then goes on to the window (default button).
      if (acceptTyped()) activate(0);
      return false;
    default: break;
  }
  int r = qzlineedit_key(text_, key, modifiers);
  if (r == QZ_EDIT_UNUSED) return false;
  if (r == QZ_EDIT_CHANGED) typing_ = true;
  invalidate();
  return true;
}

bool qzUpDownControl::textInput(const std::string& utf8) {
  if (qzlinetext_insert(text_, utf8)) {
    typing_ = true;
    invalidate();
  }
  return true;
}

void qzUpDownControl::focusIn() {
  // Typing replaces the value shown; a click then places the caret.
  qzlinetext_select_all(text_);
  // The caret at the start of the selection keeps the value's start in view.
  std::swap(text_.caret, text_.anchor);
  invalidate();
}

void qzUpDownControl::focusOut() {
  dragging_ = false;
  if (acceptTyped()) activate(0);
  text_.anchor = text_.caret;
  invalidate();
}

void qzUpDownControl::enabledChanged() {
  up_.setEnabled(enabled());
  down_.setEnabled(enabled());
  invalidate();
}

void qzUpDownControl::shownChanged() {
  up_.setVisible(visible());
  down_.setVisible(visible());
}
