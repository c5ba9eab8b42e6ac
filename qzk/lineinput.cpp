#include "qzk/lineinput.h"

#include <utility>

#include "qzk/draw.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/options.h"
#include "qzk/platform/platform.h"
#include "qzk/window.h"

bool qzLineInput::createv(const char* format, va_list args) { return createWidget(false, format, args); }

void qzLineInput::parseOptions(qzOptionList& options) {
  qzOptLineInput o;
  qzopt_lineinput(options, optionStart(), o);
  text_.maxlen = o.maxlen > 0 ? o.maxlen : 0;
  view_.rightAligned = o.alignright;
  keepFocus_ = o.keepfocus;
  qzlinetext_set(text_, o.text);
}

void qzLineInput::naturalSize(int& width, int& height) {
  if (width == 0) width = qzfont_textwidth(font(), "M") * 20 + 8;
  if (height == 0) height = qzfont_height(font()) + 8;
}

qzRect qzLineInput::inner() const { return rect().inset(qzframe_width(border())); }

void qzLineInput::setText(const std::string& text) {
  qzlinetext_set(text_, text);
  // Shown from its start, however long: the caret waits at the start.
  text_.caret = text_.anchor = 0;
  view_.scroll = 0;
  invalidate();
}

// The caret blinks on a real screen only: on the headless backend a
// timer that never ends would keep a finished run waiting, and a steady
// caret keeps pictures reproducible.
static bool caret_blinks() { return !qzplatform_is_headless(); }

void qzLineInput::edited() {
  caretOn_ = true;
  if (hasFocus() && caret_blinks()) requestTick(qznow() + kBlinkPeriod);
  invalidate();
}

void qzLineInput::paint(qzPixmap& target) {
  qzRect in = inner();
  qzlineedit_follow_caret(text_, view_, font(), in);
  qzlineedit_paint(target, in, font(), text_, view_, enabled(), hasFocus(), caretOn_);
  qzdraw_frame(target, rect(), border());
}

bool qzLineInput::mouseDown(int x, int, int button, int clicks, int modifiers) {
  if (button != QZ_MOUSE_LEFT) return false;
  takeFocus();
  if (clicks >= 2) {
    qzlinetext_select_all(text_);
  } else {
    size_t at = qzlineedit_offset_at(text_, view_, font(), inner(), x);
    qzlinetext_move_to(text_, at, modifiers & QZ_MOD_SHIFT);
    dragging_ = true;
  }
  edited();
  return true;
}

void qzLineInput::mouseMove(int x, int, int buttons) {
  if (!dragging_) return;
  if (!(buttons & 1)) {
    dragging_ = false;
    return;
  }
  qzlinetext_move_to(text_, qzlineedit_offset_at(text_, view_, font(), inner(), x), true);
  edited();
}

bool qzLineInput::keyDown(int key, int modifiers) {
  if (key == QZ_KEY_RETURN) {
    activate(0);
    if (!keepFocus_ && window()) window()->focus().traverse(false);
    return true;
  }
  int r = qzlineedit_key(text_, key, modifiers);
  if (r == QZ_EDIT_UNUSED) return false;
  edited();
  return true;
}

bool qzLineInput::textInput(const std::string& utf8) {
  if (!qzlinetext_insert(text_, utf8)) return !utf8.empty();
  edited();
  return true;
}

void qzLineInput::focusIn() {
  // Coming in by Tab (or from the program) the text is selected, so that
  // typing replaces it; a click then puts the caret where it landed.
  qzlinetext_select_all(text_);
  // The caret at the start of the selection keeps the text's start in view.
  std::swap(text_.caret, text_.anchor);
  caretOn_ = true;
  if (caret_blinks()) {
    requestTick(qznow() + kBlinkPeriod);
    qztimer_request_rate(1 / kBlinkPeriod);
  }
  invalidate();
}

void qzLineInput::focusOut() {
  cancelTick();
  dragging_ = false;
  text_.anchor = text_.caret;
  invalidate();
}

void qzLineInput::tick(double now) {
  if (!hasFocus()) return;
  caretOn_ = !caretOn_;
  requestTick(now + kBlinkPeriod);
  invalidate();
}
