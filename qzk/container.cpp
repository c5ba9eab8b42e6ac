#include "qzk/container.h"

#include <algorithm>
#include <cstdlib>

#include "qzk/pixmap.h"
#include "qzk/widget.h"

void qzGuiBaseContainer::add(qzWidget* widget) {
  if (std::find(widgets_.begin(), widgets_.end(), widget) == widgets_.end()) widgets_.push_back(widget);
}

void qzGuiBaseContainer::remove(qzWidget* widget) {
  forget(widget);
  widgets_.erase(std::remove(widgets_.begin(), widgets_.end(), widget), widgets_.end());
}

void qzGuiBaseContainer::forget(qzWidget* widget) {
  if (capture_ == widget) capture_ = nullptr;
  if (lastClickWidget_ == widget) lastClickWidget_ = nullptr;
}

qzWidget* qzGuiBaseContainer::widgetAt(int x, int y) const {
  for (auto it = widgets_.rbegin(); it != widgets_.rend(); ++it)
    if ((*it)->shown() && (*it)->rect().contains(x, y)) return *it;
  return nullptr;
}

qzRect qzGuiBaseContainer::paint(qzPixmap& target, bool all, uint32_t background) {
  if (all) {
    std::vector<qzRect> covered;
    for (qzWidget* w : widgets_)
      if (w->shown()) covered.push_back(w->rect());
    background_.compute({0, 0, target.width, target.height}, covered);
    for (const qzRect& r : background_.rects()) qzpxmap_fillrect(target, r.x, r.y, r.w, r.h, background);
    for (qzWidget* w : widgets_)
      if (w->shown()) w->paintNow(target);
    return {0, 0, target.width, target.height};
  }
  // A repainted widget covers whatever lay on top of it, so those are
  // painted again too, in creation order.
  std::vector<qzRect> painted;
  qzRect all_painted;
  for (qzWidget* w : widgets_) {
    if (!w->shown()) continue;
    bool over = std::any_of(painted.begin(), painted.end(), [&](const qzRect& r) { return r.intersects(w->rect()); });
    if (w->needsPaint() || over) {
      w->paintNow(target);
      painted.push_back(w->rect());
      all_painted = all_painted.united(w->rect());
    }
  }
  return all_painted.intersection({0, 0, target.width, target.height});
}

qzWidget* qzGuiBaseContainer::mouseDown(int x, int y, int button, int modifiers, double time) {
  if (capture_) {
    // A second button while one is held goes to the widget that holds it.
    capture_->mouseDown(x, y, button, 1, modifiers);
    return capture_;
  }
  qzWidget* w = widgetAt(x, y);
  if (!w || !w->enabled()) return nullptr;
  bool again = w == lastClickWidget_ && time - lastClickTime_ <= kDoubleClickTime &&
               std::abs(x - lastClickX_) <= kDoubleClickDistance && std::abs(y - lastClickY_) <= kDoubleClickDistance;
  clicks_ = again ? clicks_ + 1 : 1;
  lastClickWidget_ = w;
  lastClickTime_ = time;
  lastClickX_ = x;
  lastClickY_ = y;
  bool capture = w->mouseDown(x, y, button, clicks_, modifiers);
  // The handler may have taken the widget (or its window) away.
  bool still_here = std::find(widgets_.begin(), widgets_.end(), w) != widgets_.end();
  if (capture && still_here) capture_ = w;
  return still_here ? w : nullptr;
}

void qzGuiBaseContainer::mouseUp(int x, int y, int button) {
  qzWidget* w = capture_;
  if (!w) return;
  capture_ = nullptr;
  w->mouseUp(x, y, button);
}

void qzGuiBaseContainer::mouseMove(int x, int y, int buttons) {
  if (capture_) {
    capture_->mouseMove(x, y, buttons);
    return;
  }
  qzWidget* w = widgetAt(x, y);
  if (w && w->enabled()) w->mouseMove(x, y, buttons);
}

bool qzGuiBaseContainer::mouseWheel(int x, int y, int steps) {
  qzWidget* w = widgetAt(x, y);
  return w && w->enabled() && w->mouseWheel(x, y, steps);
}
