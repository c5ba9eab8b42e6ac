#pragma once
// What the line input and the up/down field share: the editing keys with
// the clipboard, and the drawing of a one-line field with its selection
// and caret, scrolled so that the caret stays in view.
#include <cstddef>
#include <cstdint>

#include "qzk/geometry_rect.h"
#include "qzk/lineinput_text.h"

struct qzPixmap;

enum qzEditResult : int {
  QZ_EDIT_UNUSED = 0,   // not an editing key
  QZ_EDIT_MOVED = 1,    // caret or selection moved, text unchanged
  QZ_EDIT_CHANGED = 2,  // the text changed
};

// Left/Right/Home/End (Shift extends the selection), Backspace, Delete,
// Ctrl+A, and the clipboard: Ctrl+C / Ctrl+Insert copy, Ctrl+X /
// Shift+Delete cut, Ctrl+V / Shift+Insert paste.
int qzlineedit_key(qzLineText& t, int key, int modifiers);

struct qzLineView {
  int scroll = 0;  // pixels the text is moved left to keep the caret visible
  bool rightAligned = false;
};

// Keeps the caret inside `inner` (call before painting and hit testing).
void qzlineedit_follow_caret(const qzLineText& t, qzLineView& v, int font, const qzRect& inner);
// The x of the text's start for the view.
int qzlineedit_text_x(const qzLineText& t, const qzLineView& v, int font, const qzRect& inner);
// The character boundary nearest to the window x.
size_t qzlineedit_offset_at(const qzLineText& t, const qzLineView& v, int font, const qzRect& inner, int x);
// Fills `inner` with the field colour (face grey when disabled), draws the
// text, the selection and, when `caret`, the caret.
void qzlineedit_paint(qzPixmap& target, const qzRect& inner, int font, const qzLineText& t,
                      const qzLineView& v, bool enabled, bool focused, bool caret);
