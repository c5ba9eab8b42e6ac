#include "qzk/scrollbar.h"

#include <algorithm>

#include "qzk/button.h"
#include "qzk/draw.h"
#include "qzk/events.h"
#include "qzk/options.h"
#include "qzk/pixmap.h"
#include "qzk/platform/platform.h"
#include "qzk/window.h"

namespace {

// A filled triangle pointing in `dir` (QZ_ARROW_*) centred in r.
void draw_triangle(qzPixmap& p, const qzRect& r, int dir, uint32_t colour) {
  int size = std::max(2, std::min(r.w, r.h) / 3);
  int cx = r.x + r.w / 2, cy = r.y + r.h / 2;
  for (int i = 0; i < size; ++i) {
    int len = 2 * i + 1;
    switch (dir) {
      case QZ_ARROW_UP: qzpxmap_fillrect(p, cx - i, cy - size / 2 + i, len, 1, colour); break;
      case QZ_ARROW_DOWN: qzpxmap_fillrect(p, cx - i, cy + size / 2 - i, len, 1, colour); break;
      case QZ_ARROW_LEFT: qzpxmap_fillrect(p, cx - size / 2 + i, cy - i, 1, len, colour); break;
      default: qzpxmap_fillrect(p, cx + size / 2 - i, cy - i, 1, len, colour); break;
    }
  }
}

qzScrollBarParts parts_of(const qzRect& r, bool vertical, const qzScrollRange& range) {
  return qzscroll_parts(r, vertical, range, qzScrollBarWidget::kMinThumb);
}

}  // namespace

void qzscrollbar_paint(qzPixmap& target, const qzRect& r, bool vertical, const qzScrollRange& range,
                       bool enabled, int held) {
  qzScrollBarParts b = parts_of(r, vertical, range);
  qzpxmap_fillrect(target, r.x, r.y, r.w, r.h, 0xE0E0E0);
  bool active = enabled && qzscroll_maxpos(range) > 0;
  uint32_t ink = active ? qzcolour::text : qzcolour::disabledText;
  const qzRect* arrows[2] = {&b.low, &b.high};
  for (int i = 0; i < 2; ++i) {
    const qzRect& a = *arrows[i];
    qzpxmap_fillrect(target, a.x, a.y, a.w, a.h, qzcolour::face);
    bool pressed = held == (i == 0 ? 1 : 2);
    qzdraw_frame(target, a, pressed ? QZ_FRAME_PRESSED : QZ_FRAME_RAISED);
    int dir = vertical ? (i == 0 ? QZ_ARROW_UP : QZ_ARROW_DOWN) : (i == 0 ? QZ_ARROW_LEFT : QZ_ARROW_RIGHT);
    draw_triangle(target, pressed ? qzRect{a.x + 1, a.y + 1, a.w, a.h} : a, dir, ink);
  }
  if (active && !b.thumb.empty()) {
    qzpxmap_fillrect(target, b.thumb.x, b.thumb.y, b.thumb.w, b.thumb.h, qzcolour::face);
    qzdraw_frame(target, b.thumb, QZ_FRAME_RAISED);
  }
}

// ------------------------------------------------------------ the bar widget

bool qzScrollBarWidget::createv(const char* format, va_list args) { return createWidget(false, format, args); }

void qzScrollBarWidget::parseOptions(qzOptionList& options) {
  qzOptScrollBar o;
  qzopt_scrollbar(options, optionStart(), o);
  vertical_ = o.vertical;
}

void qzScrollBarWidget::naturalSize(int& width, int& height) {
  if (width == 0) width = vertical_ ? kWidth : 100;
  if (height == 0) height = vertical_ ? 100 : kWidth;
}

void qzScrollBarWidget::setVertical(bool on) {
  vertical_ = on;
  invalidate();
}

void qzScrollBarWidget::setRange(int total, int page, int line) {
  qzScrollRange r = range_;
  r.total = std::max(0, total);
  r.page = std::max(1, page);
  r.line = std::max(1, line);
  r.pos = std::clamp(r.pos, 0, qzscroll_maxpos(r));
  bool moved = r.pos != range_.pos;
  bool same = r.total == range_.total && r.page == range_.page && r.line == range_.line;
  range_ = r;
  if (!same || moved) invalidate();
  if (moved) changed();
}

void qzScrollBarWidget::setPosition(int pos, bool notify) {
  if (!qzscroll_set(range_, pos)) return;
  invalidate();
  if (notify) changed();
}

bool qzScrollBarWidget::scrollBy(int delta) {
  if (!qzscroll_by(range_, delta)) return false;
  invalidate();
  changed();
  return true;
}

void qzScrollBarWidget::changed() {
  if (listener_)
    listener_(*this, range_.pos, listenerUser_);
  else
    activate(0);
}

qzRect qzScrollBarWidget::lowArrowRect() const { return parts_of(rect(), vertical_, range_).low; }
qzRect qzScrollBarWidget::highArrowRect() const { return parts_of(rect(), vertical_, range_).high; }
qzRect qzScrollBarWidget::trackRect() const { return parts_of(rect(), vertical_, range_).track; }
qzRect qzScrollBarWidget::thumbRect() const { return parts_of(rect(), vertical_, range_).thumb; }
int qzScrollBarWidget::trackLength() const { return vertical_ ? trackRect().h : trackRect().w; }

void qzScrollBarWidget::paint(qzPixmap& target) {
  int held = held_ == LOW ? 1 : held_ == HIGH ? 2 : 0;
  qzscrollbar_paint(target, rect(), vertical_, range_, enabled(), held);
}

void qzScrollBarWidget::step(Held what) {
  switch (what) {
    case LOW: scrollBy(-range_.line); break;
    case HIGH: scrollBy(range_.line); break;
    case PAGE_LOW: scrollBy(-std::max(1, range_.page - range_.line)); break;
    case PAGE_HIGH: scrollBy(std::max(1, range_.page - range_.line)); break;
    default: break;
  }
}

bool qzScrollBarWidget::mouseDown(int x, int y, int button, int, int) {
  if (button != QZ_MOUSE_LEFT || qzscroll_maxpos(range_) <= 0) return false;
  qzScrollBarParts b = parts_of(rect(), vertical_, range_);
  if (b.low.contains(x, y)) held_ = LOW;
  else if (b.high.contains(x, y)) held_ = HIGH;
  else if (b.thumb.contains(x, y)) held_ = THUMB;
  else if (vertical_ ? y < b.thumb.y : x < b.thumb.x) held_ = PAGE_LOW;
  else held_ = PAGE_HIGH;
  if (held_ == THUMB) {
    grabOffset_ = vertical_ ? y - b.thumb.y : x - b.thumb.x;
  } else {
    // Arrows and the track repeat like the button's "mouserepeat".
    step(held_);
    requestTick(qznow() + qzButton::kRepeatDelay);
    qztimer_request_rate(1 / qzButton::kRepeatPeriod);
  }
  invalidate();
  return true;
}

void qzScrollBarWidget::mouseMove(int x, int y, int buttons) {
  if (held_ != THUMB || !(buttons & 1)) return;
  qzRect track = trackRect();
  int start = vertical_ ? y - track.y - grabOffset_ : x - track.x - grabOffset_;
  int pos = qzscroll_pos_for_thumb(range_, trackLength(), kMinThumb, start);
  if (qzscroll_set(range_, pos)) {
    invalidate();
    changed();
  }
}

void qzScrollBarWidget::mouseUp(int, int, int) {
  held_ = NONE;
  cancelTick();
  invalidate();
}

bool qzScrollBarWidget::mouseWheel(int, int, int steps) { return scrollBy(-steps * 3 * range_.line); }

void qzScrollBarWidget::tick(double now) {
  if (held_ == NONE || held_ == THUMB) return;
  // The page steps stop when the thumb has reached the mouse.
  step(held_);
  requestTick(now + qzButton::kRepeatPeriod);
}

// ------------------------------------------------------------ corner

bool qzScrollBarCorner::createv(const char* format, va_list args) { return createWidget(false, format, args); }

void qzScrollBarCorner::paint(qzPixmap& target) {
  qzpxmap_fillrect(target, rect().x, rect().y, rect().w, rect().h, qzcolour::face);
}

// ------------------------------------------------------------ manager

bool qzScrollBarManager::create(qzWidget& owner, Listener listener, void* user) {
  owner_ = &owner;
  listener_ = listener;
  user_ = user;
  bool ok = vertical_.create("vert,nokeyfocus,xs=%d,ys=%d", qzScrollBarWidget::kWidth, 100) &&
            horizontal_.create("hor,nokeyfocus,xs=%d,ys=%d", 100, qzScrollBarWidget::kWidth) &&
            corner_.create("nokeyfocus,xs=%d,ys=%d", qzScrollBarWidget::kWidth, qzScrollBarWidget::kWidth);
  vertical_.setListener(barMoved, this);
  horizontal_.setListener(barMoved, this);
  vertical_.setVisible(false);
  horizontal_.setVisible(false);
  corner_.setVisible(false);
  vShown_ = hShown_ = false;
  return ok;
}

void qzScrollBarManager::destroy() {
  vertical_.destroy();
  horizontal_.destroy();
  corner_.destroy();
  owner_ = nullptr;
}

void qzScrollBarManager::setPolicy(Policy vertical, Policy horizontal) {
  vPolicy_ = vertical;
  hPolicy_ = horizontal;
}

void qzScrollBarManager::barMoved(qzScrollBarWidget&, int, void* user) {
  auto* self = static_cast<qzScrollBarManager*>(user);
  if (self->owner_) self->owner_->invalidate();
  if (self->listener_) self->listener_(*self, self->user_);
}

qzRect qzScrollBarManager::layout(const qzRect& outer, int contentW, int contentH, int unitX, int unitY) {
  const int bw = qzScrollBarWidget::kWidth;
  unitX = std::max(1, unitX);
  unitY = std::max(1, unitY);
  // Whether each bar is needed depends on the other taking room.
  bool v = vPolicy_ == ALWAYS, h = hPolicy_ == ALWAYS;
  for (int pass = 0; pass < 2; ++pass) {
    int viewW = outer.w - (v ? bw : 0), viewH = outer.h - (h ? bw : 0);
    if (vPolicy_ == AUTO) v = v || static_cast<long long>(contentH) * unitY > viewH;
    if (hPolicy_ == AUTO) h = h || static_cast<long long>(contentW) * unitX > viewW;
  }
  qzRect view{outer.x, outer.y, std::max(0, outer.w - (v ? bw : 0)), std::max(0, outer.h - (h ? bw : 0))};
  vShown_ = v;
  hShown_ = h;
  if (v) vertical_.setRect({view.x + view.w, outer.y, bw, view.h});
  if (h) horizontal_.setRect({outer.x, view.y + view.h, view.w, bw});
  if (v && h) corner_.setRect({view.x + view.w, view.y + view.h, bw, bw});
  vertical_.setRange(contentH, std::max(1, view.h / unitY), 1);
  horizontal_.setRange(contentW, std::max(1, view.w / unitX), 1);
  if (!v) vertical_.setPosition(0, true);
  if (!h) horizontal_.setPosition(0, true);
  setVisible(visible_);
  return view;
}

void qzScrollBarManager::scrollTo(int x, int y) {
  horizontal_.setPosition(x);
  vertical_.setPosition(y);
  if (owner_) owner_->invalidate();
}

bool qzScrollBarManager::wheel(int steps) {
  if (vShown_) return vertical_.scrollBy(-steps * 3);
  if (hShown_) return horizontal_.scrollBy(-steps * 3);
  return false;
}

void qzScrollBarManager::setEnabled(bool on) {
  vertical_.setEnabled(on);
  horizontal_.setEnabled(on);
  corner_.setEnabled(on);
}

void qzScrollBarManager::setVisible(bool on) {
  visible_ = on;
  vertical_.setVisible(on && vShown_);
  horizontal_.setVisible(on && hShown_);
  corner_.setVisible(on && vShown_ && hShown_);
}
