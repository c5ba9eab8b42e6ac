#include "qzk/drive.h"

#include "qzk/events.h"
#include "qzk/options.h"
#include "qzk/platform/headless.h"
#include "qzk/widget.h"
#include "qzk/window.h"

qzWindow* qzdrive_window(const std::string& title) {
  const auto& all = qzWindow::all();
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    if ((*it)->title() == title) return *it;
  return nullptr;
}

qzWindow* qzdrive_top_window() {
  const auto& all = qzWindow::all();
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    if ((*it)->blocksOthers()) return *it;
  return all.empty() ? nullptr : all.back();
}

qzWidget* qzdrive_find(qzWindow& window, const std::string& caption) {
  std::string wanted = qzopt_caption_text(caption).text;
  for (qzWidget* w : window.container().widgets())
    if (w->shown() && (w->caption() == caption || w->caption() == wanted)) return w;
  return nullptr;
}

qzWidget* qzdrive_find_id(int event) {
  for (qzWindow* window : qzWindow::all())
    for (qzWidget* w : window->container().widgets())
      if (w->ownsEvent(event)) return w;
  return nullptr;
}

void qzdrive_click_at(qzWindow& window, int x, int y) {
  qzheadless_click(window.nativeHandle(), x, y);
  qzdispatch_pending();
}

void qzdrive_click(qzWidget& widget) {
  qzWindow* w = widget.window();
  if (!w) return;
  const qzRect& r = widget.rect();
  qzdrive_click_at(*w, r.x + r.w / 2, r.y + r.h / 2);
}

void qzdrive_hold(qzWidget& widget, double seconds) {
  qzWindow* w = widget.window();
  if (!w) return;
  const qzRect& r = widget.rect();
  int x = r.x + r.w / 2, y = r.y + r.h / 2, handle = w->nativeHandle();
  qzheadless_mouse_down(handle, x, y);
  qzdispatch_pending();
  // A hair over, so that a repeat due exactly at the end has run.
  qzdelay(seconds + 1e-9);
  qzheadless_mouse_up(handle, x, y);
  qzdispatch_pending();
}

void qzdrive_type(qzWindow& window, const std::string& utf8) {
  qzheadless_text(window.nativeHandle(), utf8);
  qzdispatch_pending();
}

void qzdrive_key(qzWindow& window, int key, int modifiers) {
  qzheadless_key(window.nativeHandle(), key, modifiers);
  qzdispatch_pending();
}

void qzdrive_close(qzWindow& window) {
  qzheadless_close(window.nativeHandle());
  qzdispatch_pending();
}

void qzdrive_wait(double seconds) { qzdelay(seconds); }
