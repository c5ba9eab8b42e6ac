#include "qzk/tabcontrol.h"

#include <algorithm>

#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/options.h"
#include "qzk/pixmap.h"
#include "qzk/platform/platform.h"
#include "qzk/simpletext_draw.h"
#include "qzk/window.h"

bool qzTabControl::createv(const char* format, va_list args) { return createWidget(false, format, args); }

qzTabControl::~qzTabControl() {
  // Creation must not go on into pages of a control that is gone.
  if (window())
    for (auto& p : pages_)
      if (window()->currentPage() == p.get()) window()->setCurrentPage(qzWidget::page());
  // Widgets of the pages may outlive the control and still point at their
  // page: the pages stay (hidden, without owner) rather than dangle.
  static std::vector<std::unique_ptr<qzWidgetPage>> retired;
  for (auto& p : pages_) {
    p->owner = nullptr;
    p->shown = false;
    retired.push_back(std::move(p));
  }
}

void qzTabControl::parseOptions(qzOptionList& options) {
  qzOptTabControl o;
  qzopt_tabcontrol(options, optionStart(), o);
  labels_ = o.tabs;
}

void qzTabControl::naturalSize(int& width, int& height) {
  if (width == 0) width = 300;
  if (height == 0) height = 200;
}

void qzTabControl::created() {
  pages_.clear();
  for (size_t i = 0; i < labels_.size(); ++i) {
    auto p = std::make_unique<qzWidgetPage>();
    p->owner = this;
    p->window = window();
    p->shown = i == 0;
    pages_.push_back(std::move(p));
  }
  shown_ = 0;
}

const std::string& qzTabControl::label(int page) const {
  static const std::string none;
  return page >= 0 && page < pageCount() ? labels_[page] : none;
}

qzWidgetPage* qzTabControl::page(int index) const {
  return index >= 0 && index < pageCount() ? pages_[index].get() : nullptr;
}

bool qzTabControl::selectPage(int n) {
  if (!window()) return false;
  if (n < 0 || n >= pageCount()) {
    window()->setCurrentPage(qzWidget::page());
    return n < 0;
  }
  window()->setCurrentPage(pages_[n].get());
  return true;
}

bool qzTabControl::showPage(int n) {
  if (n < 0 || n >= pageCount()) return false;
  shown_ = n;
  applyShown();
  return true;
}

void qzTabControl::applyShown() {
  for (int i = 0; i < pageCount(); ++i) pages_[i]->shown = i == shown_;
  if (!pages_.empty()) pages_[shown_]->changed();
  invalidate();
}

void qzTabControl::shownChanged() {
  // Widgets on the pages follow the control's own visibility.
  if (!pages_.empty()) pages_[shown_]->changed();
}

int qzTabControl::tabHeight() const { return qzfont_height(font()) + 8; }

qzRect qzTabControl::tabRect(int index) const {
  if (index < 0 || index >= pageCount()) return {};
  // Tabs take their labels' width; when the row is too narrow they share it.
  std::vector<int> widths;
  int total = 0;
  for (const std::string& l : labels_) {
    widths.push_back(qzfont_textwidth(font(), l.c_str()) + 16);
    total += widths.back();
  }
  int room = rect().w - 4;
  int x = rect().x + 2;
  for (int i = 0; i < index; ++i) x += total > room ? room * widths[i] / total : widths[i];
  int w = total > room ? room * widths[index] / total : widths[index];
  if (total > room && index == pageCount() - 1) w = rect().x + 2 + room - x;
  return {x, rect().y, w, tabHeight()};
}

qzRect qzTabControl::pageRect() const {
  int th = tabHeight();
  return {rect().x, rect().y + th, rect().w, std::max(0, rect().h - th)};
}

void qzTabControl::paint(qzPixmap& target) {
  const qzRect& r = rect();
  uint32_t bg = window() ? window()->background() : qzcolour::face;
  qzpxmap_fillrect(target, r.x, r.y, r.w, tabHeight(), bg);
  qzRect pr = pageRect();
  qzpxmap_fillrect(target, pr.x, pr.y, pr.w, pr.h, qzcolour::face);
  qzdraw_frame(target, pr, QZ_FRAME_RAISED);
  for (int i = 0; i < pageCount(); ++i) {
    qzRect t = tabRect(i);
    bool current = i == shown_;
    // The shown tab stands two pixels higher and joins its page.
    qzRect face = current ? qzRect{t.x - 2, t.y, t.w + 4, t.h + 2} : qzRect{t.x, t.y + 2, t.w, t.h - 2};
    qzpxmap_fillrect(target, face.x, face.y, face.w, face.h, qzcolour::face);
    qzpxmap_fillrect(target, face.x, face.y, face.w, 1, qzcolour::light);
    qzpxmap_fillrect(target, face.x, face.y, 1, face.h - (current ? 0 : 1), qzcolour::light);
    qzpxmap_fillrect(target, face.x + face.w - 1, face.y + 1, 1, face.h - (current ? 1 : 2), qzcolour::dark);
    qzpxmap_fillrect(target, face.x + face.w - 2, face.y + 1, 1, face.h - (current ? 1 : 2), qzcolour::shadow);
    int tw = qzfont_textwidth(font(), labels_[i].c_str());
    int tx = face.x + std::max(2, (face.w - tw) / 2);
    int ty = face.y + (face.h - qzfont_height(font())) / 2;
    qzRect clip = face.inset(2);
    qzdraw_text_clipped(target, clip, tx, ty, font(), labels_[i].c_str(), enabled(), qzcolour::text);
    if (current && hasFocus() && enabled()) qzdraw_focus_mark(target, clip);
  }
}

bool qzTabControl::mouseDown(int x, int y, int button, int, int) {
  if (button != QZ_MOUSE_LEFT) return false;
  for (int i = 0; i < pageCount(); ++i) {
    if (tabRect(i).contains(x, y)) {
      takeFocus();
      if (i != shown_) {
        showPage(i);
        activate(0);
      }
      return false;
    }
  }
  return false;
}

bool qzTabControl::keyDown(int key, int) {
  int to = shown_;
  if (key == QZ_KEY_LEFT) to = shown_ - 1;
  else if (key == QZ_KEY_RIGHT) to = shown_ + 1;
  else return false;
  if (to >= 0 && to < pageCount()) {
    showPage(to);
    activate(0);
  }
  return true;
}
