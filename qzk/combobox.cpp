#include "qzk/combobox.h"

#include <algorithm>

#include "qzk/button.h"
#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/options.h"
#include "qzk/pixmap.h"
#include "qzk/platform/platform.h"
#include "qzk/simpletext_draw.h"

bool qzComboBox::createv(const char* format, va_list args) { return createWidget(false, format, args); }

qzComboBox::~qzComboBox() { destroy(); }

void qzComboBox::destroy() {
  popup_.destroy();
  qzWidget::destroy();
}

void qzComboBox::parseOptions(qzOptionList& options) {
  qzOptCombo o;
  qzopt_combo(options, optionStart(), o);
  entries_ = o.entries;
  selected_ = entries_.empty() ? -1 : 0;
}

void qzComboBox::naturalSize(int& width, int& height) {
  int widest = 0;
  for (const std::string& e : entries_) widest = std::max(widest, qzfont_textwidth(font(), e.c_str()));
  if (width == 0) width = widest + 32;
  if (height == 0) height = qzfont_height(font()) + 4;
}

void qzComboBox::created() {
  popup_.create(listClosed, this);
  popup_.setFont(font());  // the list is written like the field
}

void qzComboBox::setEntries(const std::vector<std::string>& entries) {
  popup_.close(-1);
  entries_ = entries;
  selected_ = entries_.empty() ? -1 : std::clamp(selected_, 0, count() - 1);
  invalidate();
}

std::string qzComboBox::selectedText() const {
  return selected_ >= 0 && selected_ < count() ? entries_[selected_] : std::string();
}

void qzComboBox::select(int index) {
  if (index < 0 || index >= count()) return;
  selected_ = index;
  invalidate();
}

void qzComboBox::userSelect(int index) {
  index = std::clamp(index, 0, count() - 1);
  if (count() == 0) return;
  bool changed = index != selected_;
  select(index);
  if (changed) activate(0);
}

qzRect qzComboBox::buttonRect() const {
  qzRect in = rect().inset(qzframe_width(border()));
  int w = std::clamp(in.h, 8, 18);
  return {in.x + in.w - w, in.y, w, in.h};
}

void qzComboBox::openList() {
  if (!enabled() || count() == 0 || popup_.isOpen()) return;
  takeFocus();
  popup_.open(rect(), entries_, selected_);
  invalidate();
}

void qzComboBox::listClosed(qzInternalPopupWindow&, int chosen, void* user) {
  auto* self = static_cast<qzComboBox*>(user);
  if (chosen >= 0) {
    // Choosing an entry is using the box even when it was selected already.
    self->select(chosen);
    self->activate(0);
  }
  self->invalidate();
}

void qzComboBox::paint(qzPixmap& target) {
  qzRect in = rect().inset(qzframe_width(border()));
  qzRect button = buttonRect();
  qzRect text{in.x, in.y, in.w - button.w, in.h};
  bool focusedLook = hasFocus() && enabled() && !popup_.isOpen();
  qzpxmap_fillrect(target, text.x, text.y, text.w, text.h,
                   !enabled() ? qzcolour::face : focusedLook ? qzcolour::selection : qzcolour::field);
  int fh = qzfont_height(font());
  qzdraw_text_clipped(target, text, text.x + 3, text.y + (text.h - fh) / 2, font(), selectedText().c_str(),
                      enabled(), focusedLook ? qzcolour::selectionText : qzcolour::text);
  // The drop-down button with its arrow.
  qzpxmap_fillrect(target, button.x, button.y, button.w, button.h, qzcolour::face);
  qzdraw_frame(target, button, popup_.isOpen() ? QZ_FRAME_PRESSED : QZ_FRAME_RAISED);
  uint32_t ink = enabled() ? qzcolour::text : qzcolour::disabledText;
  int size = std::max(2, button.w / 4);
  int cx = button.x + button.w / 2, cy = button.y + button.h / 2 - size / 2;
  for (int i = 0; i < size; ++i) qzpxmap_fillrect(target, cx - (size - 1 - i), cy + i, 2 * (size - 1 - i) + 1, 1, ink);
  qzdraw_frame(target, rect(), border());
}

bool qzComboBox::mouseDown(int, int, int button, int, int) {
  if (button != QZ_MOUSE_LEFT) return false;
  openList();
  return false;
}

bool qzComboBox::mouseWheel(int, int, int steps) {
  if (steps == 0 || count() == 0) return false;
  userSelect(selected_ - steps);
  return true;
}

bool qzComboBox::keyDown(int key, int modifiers) {
  if (popup_.isOpen()) {
    switch (key) {
      case QZ_KEY_UP: popup_.setHot(popup_.hot() - 1); return true;
      case QZ_KEY_DOWN: popup_.setHot(popup_.hot() + 1); return true;
      case QZ_KEY_HOME: popup_.setHot(0); return true;
      case QZ_KEY_END: popup_.setHot(count() - 1); return true;
      case QZ_KEY_RETURN: popup_.close(popup_.hot()); return true;
      case QZ_KEY_ESCAPE: popup_.close(-1); return true;
      default: return true;  // the open list keeps the keys
    }
  }
  if ((key == QZ_KEY_DOWN && (modifiers & QZ_MOD_ALT)) || key == QZ_KEY_F1 + 3) {
    openList();
    return true;
  }
  switch (key) {
    case QZ_KEY_UP: userSelect(selected_ - 1); return true;
    case QZ_KEY_DOWN: userSelect(selected_ + 1); return true;
    case QZ_KEY_HOME: userSelect(0); return true;
    case QZ_KEY_END: userSelect(count() - 1); return true;
    default: return false;
  }
}

void qzComboBox::focusOut() {
  popup_.close(-1);
  invalidate();
}

void qzComboBox::enabledChanged() {
  if (!enabled()) popup_.close(-1);
  invalidate();
}

void qzComboBox::shownChanged() {
  if (!visible()) popup_.close(-1);
}
