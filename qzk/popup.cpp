#include "qzk/popup.h"

#include <algorithm>

#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/listbox.h"
#include "qzk/platform/platform.h"
#include "qzk/scrollbar.h"
#include "qzk/window.h"

bool qzInternalPopupWindow::make(const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool ok = createWidget(false, format, args);
  va_end(args);
  return ok;
}

bool qzInternalPopupWindow::create(Closed closed, void* user) {
  closed_ = closed;
  user_ = user;
  bool ok = make("nokeyfocus,xs=1,ys=1");
  setVisible(false);
  return ok;
}

int qzInternalPopupWindow::rowHeight() const { return qzfont_height(font()) + 2; }

void qzInternalPopupWindow::open(const qzRect& anchor, const std::vector<std::string>& entries, int selected) {
  qzWindow* w = window();
  if (!w || entries.empty()) return;
  entries_ = entries;
  qzRect area = w->widgetArea();
  int rh = rowHeight();
  int below = area.y + area.h - (anchor.y + anchor.h);
  int above = anchor.y - area.y;
  int wanted = std::min<int>(kMaxRows, entries_.size());
  bool down = below >= wanted * rh + 2 || below >= above;
  int rows = std::clamp((std::max(below, above) - 2) / rh, 1, wanted);
  int h = rows * rh + 2;
  list_ = {anchor.x, down ? anchor.y + anchor.h : anchor.y - h, anchor.w, h};
  range_ = {static_cast<int>(entries_.size()), rows, 0, 1};
  hot_ = -1;
  setHot(std::clamp(selected, 0, static_cast<int>(entries_.size()) - 1));
  // A snapshot of the window stands for everything under the list.
  qzpxmap_duplicate(w->pixels(), under_);
  // Lies above every widget: the last one in the window's list is on top.
  w->container().remove(this);
  w->container().add(this);
  setRect(area);
  open_ = true;
  pressedInside_ = draggingBar_ = false;
  setVisible(true);
  invalidate();
}

void qzInternalPopupWindow::close(int chosen) {
  if (!open_) return;
  open_ = false;
  setVisible(false);
  qzpxmap_free(under_);
  if (window()) {
    window()->container().releaseCapture();
    window()->invalidate();
  }
  if (closed_) closed_(*this, chosen, user_);
}

void qzInternalPopupWindow::setHot(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  hot_ = index;
  if (index < range_.pos) qzscroll_set(range_, index);
  else if (index >= range_.pos + range_.page) qzscroll_set(range_, index - range_.page + 1);
  invalidate();
}

qzRect qzInternalPopupWindow::rowsRect() const {
  qzRect in = list_.inset(1);
  if (qzscroll_maxpos(range_) > 0) in.w -= qzScrollBarWidget::kWidth;
  return in;
}

qzRect qzInternalPopupWindow::barRect() const {
  if (qzscroll_maxpos(range_) <= 0) return {};
  qzRect in = list_.inset(1);
  return {in.x + in.w - qzScrollBarWidget::kWidth, in.y, qzScrollBarWidget::kWidth, in.h};
}

qzRect qzInternalPopupWindow::entryRect(int index) const {
  int row = index - range_.pos;
  if (index < 0 || index >= static_cast<int>(entries_.size()) || row < 0 || row >= range_.page) return {};
  qzRect rows = rowsRect();
  return {rows.x, rows.y + row * rowHeight(), rows.w, rowHeight()};
}

int qzInternalPopupWindow::entryAt(int x, int y) const {
  qzRect rows = rowsRect();
  if (!rows.contains(x, y)) return -1;
  int i = range_.pos + (y - rows.y) / rowHeight();
  return i < static_cast<int>(entries_.size()) ? i : -1;
}

void qzInternalPopupWindow::paint(qzPixmap& target) {
  if (!open_) return;
  // What lay under the list, then the list with a single dark line round it.
  if (under_.width == target.width && under_.height == target.height) {
    const qzRect& r = rect();
    for (int y = r.y; y < r.y + r.h; ++y)
      std::copy(under_.row(y) + r.x, under_.row(y) + r.x + r.w, target.row(y) + r.x);
  }
  qzlist_paint_rows(target, rowsRect(), font(), rowHeight(), entries_, range_.pos, hot_, -1, true, true);
  qzRect bar = barRect();
  if (!bar.empty()) qzscrollbar_paint(target, bar, true, range_, true, 0);
  qzdraw_frame(target, list_, QZ_FRAME_SINGLE);
}

bool qzInternalPopupWindow::mouseDown(int x, int y, int button, int, int) {
  if (!open_) return false;
  qzRect bar = barRect();
  if (bar.contains(x, y)) {
    qzScrollRange before = range_;
    int arrow = std::min(bar.w, bar.h / 2);
    if (y < bar.y + arrow) qzscroll_by(range_, -1);
    else if (y >= bar.y + bar.h - arrow) qzscroll_by(range_, 1);
    else draggingBar_ = true;
    if (range_.pos != before.pos) invalidate();
    return true;
  }
  if (button == QZ_MOUSE_LEFT && list_.contains(x, y)) {
    pressedInside_ = true;
    setHot(entryAt(x, y));
    return true;
  }
  close(-1);  // a click outside the list dismisses it and goes no further
  return false;
}

void qzInternalPopupWindow::mouseMove(int x, int y, int buttons) {
  if (!open_) return;
  if (draggingBar_ && (buttons & 1)) {
    qzRect bar = barRect();
    int arrow = std::min(bar.w, bar.h / 2);
    int track = bar.h - 2 * arrow;
    int pos = qzscroll_pos_for_thumb(range_, track, qzScrollBarWidget::kMinThumb, y - bar.y - arrow);
    if (qzscroll_set(range_, pos)) invalidate();
    return;
  }
  int i = entryAt(x, y);
  if (i >= 0 && i != hot_) setHot(i);
}

void qzInternalPopupWindow::mouseUp(int x, int y, int) {
  if (!open_) return;
  if (draggingBar_) {
    draggingBar_ = false;
    return;
  }
  int i = entryAt(x, y);
  if (pressedInside_ && i >= 0) close(i);
  pressedInside_ = false;
}

bool qzInternalPopupWindow::mouseWheel(int, int, int steps) {
  if (!open_) return false;
  if (qzscroll_by(range_, -steps)) invalidate();
  return true;
}
