#include "qzk/lineinput_edit.h"

#include <algorithm>
#include <string>

#include "qzk/draw.h"
#include "qzk/font.h"
#include "qzk/lifecycle.h"
#include "qzk/pixmap.h"
#include "qzk/platform/platform.h"
#include "qzk/simpletext_draw.h"
#include "qzk/utf8.h"

namespace {

int width_to(const qzLineText& t, int font, size_t offset) {
  return qzfont_textwidth(font, t.text.substr(0, offset).c_str());
}

int text_y(int font, const qzRect& inner) { return inner.y + (inner.h - qzfont_height(font)) / 2; }

}  // namespace

int qzlineedit_key(qzLineText& t, int key, int modifiers) {
  bool shift = modifiers & QZ_MOD_SHIFT;
  bool ctrl = modifiers & QZ_MOD_CTRL;
  switch (key) {
    case QZ_KEY_LEFT: qzlinetext_left(t, shift); return QZ_EDIT_MOVED;
    case QZ_KEY_RIGHT: qzlinetext_right(t, shift); return QZ_EDIT_MOVED;
    case QZ_KEY_HOME: qzlinetext_move_to(t, 0, shift); return QZ_EDIT_MOVED;
    case QZ_KEY_END: qzlinetext_move_to(t, t.text.size(), shift); return QZ_EDIT_MOVED;
    case QZ_KEY_BACKSPACE: return qzlinetext_backspace(t) ? QZ_EDIT_CHANGED : QZ_EDIT_MOVED;
    case QZ_KEY_DELETE:
      if (shift) break;
      return qzlinetext_delete(t) ? QZ_EDIT_CHANGED : QZ_EDIT_MOVED;
    default: break;
  }
  bool copy = (ctrl && key == 'c') || (ctrl && key == QZ_KEY_INSERT);
  bool cut = (ctrl && key == 'x') || (shift && key == QZ_KEY_DELETE);
  bool paste = (ctrl && key == 'v') || (shift && key == QZ_KEY_INSERT);
  if (ctrl && key == 'a') {
    qzlinetext_select_all(t);
    return QZ_EDIT_MOVED;
  }
  if (copy || cut) {
    // Copying nothing leaves the clipboard as it was.
    if (qzlinetext_has_selection(t)) qzclipboard_set(qzlinetext_selected(t));
    if (cut && qzlinetext_backspace(t)) return QZ_EDIT_CHANGED;
    return QZ_EDIT_MOVED;
  }
  if (paste) return qzlinetext_insert(t, qzclipboard_get()) ? QZ_EDIT_CHANGED : QZ_EDIT_MOVED;
  return QZ_EDIT_UNUSED;
}

int qzlineedit_text_x(const qzLineText& t, const qzLineView& v, int font, const qzRect& inner) {
  int w = qzfont_textwidth(font, t.text.c_str());
  if (v.rightAligned && w < inner.w - 2) return inner.x + inner.w - 2 - w;
  return inner.x + 2 - v.scroll;
}

void qzlineedit_follow_caret(const qzLineText& t, qzLineView& v, int font, const qzRect& inner) {
  int room = std::max(1, inner.w - 4);
  int caret = width_to(t, font, t.caret);
  int total = qzfont_textwidth(font, t.text.c_str());
  if (caret - v.scroll > room) v.scroll = caret - room;
  if (caret - v.scroll < 0) v.scroll = std::max(0, caret - room / 3);
  // No empty space right of the text while it could be shown.
  if (total - v.scroll < room) v.scroll = std::max(0, total - room);
}

size_t qzlineedit_offset_at(const qzLineText& t, const qzLineView& v, int font, const qzRect& inner, int x) {
  int start = qzlineedit_text_x(t, v, font, inner);
  size_t best = 0;
  int bestDistance = std::abs(x - start);
  for (size_t pos = 0; pos < t.text.size();) {
    pos = qzutf8_next(t.text, pos);
    int d = std::abs(x - (start + width_to(t, font, pos)));
    if (d < bestDistance) {
      best = pos;
      bestDistance = d;
    }
  }
  return best;
}

void qzlineedit_paint(qzPixmap& target, const qzRect& inner, int font, const qzLineText& t,
                      const qzLineView& v, bool enabled, bool focused, bool caret) {
  qzpxmap_fillrect(target, inner.x, inner.y, inner.w, inner.h, enabled ? qzcolour::field : qzcolour::face);
  int x0 = qzlineedit_text_x(t, v, font, inner);
  int y = text_y(font, inner);
  int fh = qzfont_height(font);
  size_t a = std::min(t.caret, t.anchor), b = std::max(t.caret, t.anchor);
  if (enabled && focused && a != b) {
    int sx = std::max(inner.x, x0 + width_to(t, font, a));
    int ex = std::min(inner.x + inner.w, x0 + width_to(t, font, b));
    if (ex > sx) qzpxmap_fillrect(target, sx, y, ex - sx, fh, qzcolour::selection);
    int x = qzdraw_text_clipped(target, inner, x0, y, font, t.text.substr(0, a).c_str(), true, qzcolour::text);
    x = qzdraw_text_clipped(target, inner, x, y, font, t.text.substr(a, b - a).c_str(), true, qzcolour::selectionText);
    qzdraw_text_clipped(target, inner, x, y, font, t.text.substr(b).c_str(), true, qzcolour::text);
  } else {
    qzdraw_text_clipped(target, inner, x0, y, font, t.text.c_str(), enabled, qzcolour::text);
  }
  if (enabled && focused && caret) {
    int cx = x0 + width_to(t, font, t.caret);
    if (cx >= inner.x && cx < inner.x + inner.w) qzpxmap_fillrect(target, cx, y, 1, fh, qzcolour::text);
  }
}
