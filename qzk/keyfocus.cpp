#include "qzk/keyfocus.h"

#include <algorithm>

#include "qzk/container.h"
#include "qzk/platform/platform.h"
#include "qzk/widget.h"

namespace {
bool traversable(const qzWidget* w) { return w->canTakeFocus() && !w->skippedByTab(); }
}  // namespace

void qzGuiBaseKeyFocusManager::setFocus(qzWidget* widget) {
  if (widget == focused_) return;
  qzWidget* old = focused_;
  focused_ = widget;
  if (old) old->focusOut();
  if (widget) widget->focusIn();
}

void qzGuiBaseKeyFocusManager::traverse(bool backwards) {
  const auto& list = container_.widgets();
  int n = static_cast<int>(list.size());
  if (n == 0) return;
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (list[i] == focused_) at = i;
  for (int step = 1; step <= n; ++step) {
    int i;
    if (at < 0) i = backwards ? n - step : step - 1;
    else i = ((at + (backwards ? -step : step)) % n + n) % n;
    if (traversable(list[i])) {
      setFocus(list[i]);
      return;
    }
  }
}

void qzGuiBaseKeyFocusManager::repair() {
  if (focused_ && focused_->canTakeFocus()) return;
  qzWidget* next = nullptr;
  for (qzWidget* w : container_.widgets())
    if (traversable(w)) {
      next = w;
      break;
    }
  setFocus(next);
}

void qzGuiBaseKeyFocusManager::forget(qzWidget* widget) {
  if (focused_ == widget) focused_ = nullptr;
}

qzWidget* qzGuiBaseKeyFocusManager::defaultButton() const {
  for (qzWidget* w : container_.widgets())
    if (w->isDefaultButton() && w->shown() && w->enabled()) return w;
  return nullptr;
}

qzWidget* qzGuiBaseKeyFocusManager::hotkeyWidget(int key) const {
  if (key <= 0) return nullptr;
  int lower = (key >= 'A' && key <= 'Z') ? key + 32 : key;
  for (qzWidget* w : container_.widgets())
    if (w->hotkey() == lower && w->shown() && w->enabled()) return w;
  return nullptr;
}

bool qzGuiBaseKeyFocusManager::keyDown(int key, int modifiers) {
  if (key == QZ_KEY_TAB && !(modifiers & (QZ_MOD_CTRL | QZ_MOD_ALT))) {
    traverse(modifiers & QZ_MOD_SHIFT);
    return true;
  }
  if (!(modifiers & QZ_MOD_CTRL)) {
    if (qzWidget* w = hotkeyWidget(key)) {
      if (w->canTakeFocus()) setFocus(w);
      w->activate();
      return true;
    }
  }
  if (key == QZ_KEY_RETURN && !(modifiers & (QZ_MOD_CTRL | QZ_MOD_ALT))) {
    if (qzWidget* w = defaultButton()) {
      w->activate();
      return true;
    }
  }
  return false;
}
