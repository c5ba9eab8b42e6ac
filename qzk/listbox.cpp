#include "qzk/listbox.h"

#include <algorithm>

#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/options.h"
#include "qzk/pixmap.h"
#include "qzk/platform/platform.h"
#include "qzk/simpletext_draw.h"

void qzlist_paint_rows(qzPixmap& target, const qzRect& view, int font, int rowHeight,
                       const std::vector<std::string>& entries, int first, int selected, int hot,
                       bool enabled, bool focused) {
  qzpxmap_fillrect(target, view.x, view.y, view.w, view.h, enabled ? qzcolour::field : qzcolour::face);
  int fh = qzfont_height(font);
  for (int i = std::max(0, first), y = view.y; i < static_cast<int>(entries.size()) && y < view.y + view.h;
       ++i, y += rowHeight) {
    qzRect row{view.x, y, view.w, std::min(rowHeight, view.y + view.h - y)};
    uint32_t ink = qzcolour::text;
    if (i == selected && enabled) {
      if (focused) {
        qzpxmap_fillrect(target, row.x, row.y, row.w, row.h, qzcolour::selection);
        ink = qzcolour::selectionText;
      } else {
        qzpxmap_fillrect(target, row.x, row.y, row.w, row.h, 0xC8C8E8);
      }
    }
    if (i == hot && i != selected && enabled) qzdraw_focus_mark(target, row);
    qzdraw_text_clipped(target, row, row.x + 3, y + (rowHeight - fh) / 2, font, entries[i].c_str(), enabled, ink);
  }
}

bool qzListBox::createv(const char* format, va_list args) { return createWidget(false, format, args); }

qzListBox::~qzListBox() { destroy(); }

void qzListBox::destroy() {
  bars_.destroy();
  qzWidget::destroy();
}

void qzListBox::parseOptions(qzOptionList& options) {
  qzOptCombo o;
  qzopt_combo(options, optionStart(), o);
  entries_ = o.entries;
}

void qzListBox::naturalSize(int& width, int& height) {
  if (width == 0) width = qzfont_textwidth(font(), "M") * 20 + 24;
  if (height == 0) height = 8 * rowHeight() + 4;
}

void qzListBox::created() {
  bars_.create(*this, scrolled, this);
  bars_.setPolicy(qzScrollBarManager::AUTO, qzScrollBarManager::NEVER);
  relayout();
}

void qzListBox::scrolled(qzScrollBarManager&, void* user) { static_cast<qzListBox*>(user)->invalidate(); }

int qzListBox::rowHeight() const { return qzfont_height(font()) + 2; }

int qzListBox::visibleRows() const { return std::max(1, view_.h / rowHeight()); }

void qzListBox::relayout() {
  if (!exists()) return;
  view_ = bars_.layout(rect().inset(qzframe_width(border())), 0, count(), 1, rowHeight());
  bars_.setVisible(visible());
  bars_.setEnabled(enabled());
  invalidate();
}

void qzListBox::addEntry(const std::string& text) {
  entries_.push_back(text);
  relayout();
}

void qzListBox::setEntries(const std::vector<std::string>& entries) {
  entries_ = entries;
  if (selected_ >= count()) selected_ = -1;
  relayout();
}

void qzListBox::clear() {
  entries_.clear();
  selected_ = -1;
  relayout();
  bars_.scrollTo(0, 0);
}

std::string qzListBox::selectedText() const {
  return selected_ >= 0 && selected_ < count() ? entries_[selected_] : std::string();
}

void qzListBox::scrollIntoView(int index) {
  if (index < 0) return;
  int first = bars_.y();
  if (index < first) bars_.scrollTo(0, index);
  else if (index >= first + visibleRows()) bars_.scrollTo(0, index - visibleRows() + 1);
}

void qzListBox::select(int index) {
  if (index < -1 || index >= count()) index = -1;
  selected_ = index;
  scrollIntoView(index);
  invalidate();
}

void qzListBox::userSelect(int index) {
  index = std::clamp(index, 0, count() - 1);
  if (count() == 0 || index == selected_) return;
  select(index);
  activate(kSelected);
}

int qzListBox::entryAt(int x, int y) const {
  if (!view_.contains(x, y)) return -1;
  int i = bars_.y() + (y - view_.y) / rowHeight();
  return i < count() ? i : -1;
}

qzRect qzListBox::entryRect(int index) const {
  int row = index - bars_.y();
  if (index < 0 || index >= count() || row < 0 || row * rowHeight() >= view_.h) return {};
  return qzRect{view_.x, view_.y + row * rowHeight(), view_.w, rowHeight()}.intersection(view_);
}

void qzListBox::paint(qzPixmap& target) {
  qzlist_paint_rows(target, view_, font(), rowHeight(), entries_, bars_.y(), selected_, -1, enabled(), hasFocus());
  // The strip between the rows and the frame, left by whole rows.
  qzdraw_frame(target, rect(), border());
  if (hasFocus() && enabled() && selected_ >= 0) {
    qzRect r = entryRect(selected_);
    if (!r.empty()) qzdraw_focus_mark(target, r);
  }
}

bool qzListBox::mouseDown(int x, int y, int button, int clicks, int) {
  if (button != QZ_MOUSE_LEFT) return false;
  takeFocus();
  int i = entryAt(x, y);
  if (i < 0) return false;
  userSelect(i);
  if (clicks >= 2) activate(kChosen);
  dragging_ = true;
  return true;
}

void qzListBox::mouseMove(int x, int y, int buttons) {
  if (!dragging_ || !(buttons & 1)) {
    dragging_ = false;
    return;
  }
  int i = entryAt(std::clamp(x, view_.x, view_.x + view_.w - 1), y);
  if (i >= 0) userSelect(i);
}

bool qzListBox::mouseWheel(int, int, int steps) { return bars_.wheel(steps); }

bool qzListBox::keyDown(int key, int) {
  int page = std::max(1, visibleRows() - 1);
  switch (key) {
    case QZ_KEY_UP: userSelect(selected_ < 0 ? 0 : selected_ - 1); return true;
    case QZ_KEY_DOWN: userSelect(selected_ + 1); return true;
    case QZ_KEY_HOME: userSelect(0); return true;
    case QZ_KEY_END: userSelect(count() - 1); return true;
    case QZ_KEY_PAGEUP: userSelect(std::max(0, selected_) - page); return true;
    case QZ_KEY_PAGEDOWN: userSelect(std::max(0, selected_) + page); return true;
    case QZ_KEY_RETURN:
      if (selected_ < 0) return false;
      activate(kChosen);
      return true;
    default: return false;
  }
}

void qzListBox::enabledChanged() { bars_.setEnabled(enabled()); }
void qzListBox::shownChanged() { bars_.setVisible(visible()); }
