#include "qzk/button.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "qzk/draw.h"
#include "qzk/events.h"
#include "qzk/font.h"
#include "qzk/options.h"
#include "qzk/pixmap.h"
#include "qzk/platform/platform.h"

namespace {
int arrow_from_caption(const std::string& caption) {
  const char* c = caption.c_str();
  if (strcasecmp(c, "up") == 0) return QZ_ARROW_UP;
  if (strcasecmp(c, "down") == 0) return QZ_ARROW_DOWN;
  if (strcasecmp(c, "left") == 0) return QZ_ARROW_LEFT;
  if (strcasecmp(c, "right") == 0) return QZ_ARROW_RIGHT;
  return QZ_ARROW_NONE;
}

// A filled triangle pointing in `direction`, centred in `r`, of `size`
// pixels from base to tip.
void draw_arrow(qzPixmap& p, const qzRect& r, int direction, int size, uint32_t colour) {
  int cx = r.x + r.w / 2, cy = r.y + r.h / 2;
  for (int i = 0; i < size; ++i) {
    int half = i;  // the row i pixels from the tip is 2i+1 wide
    int offset = i - size / 2;
    switch (direction) {
      case QZ_ARROW_UP: qzpxmap_fillrect(p, cx - half, cy + offset, 2 * half + 1, 1, colour); break;
      case QZ_ARROW_DOWN: qzpxmap_fillrect(p, cx - half, cy - offset, 2 * half + 1, 1, colour); break;
      case QZ_ARROW_LEFT: qzpxmap_fillrect(p, cx + offset, cy - half, 1, 2 * half + 1, colour); break;
      case QZ_ARROW_RIGHT: qzpxmap_fillrect(p, cx - offset, cy - half, 1, 2 * half + 1, colour); break;
      default: break;
    }
  }
}
}  // namespace

bool qzButton::createv(const char* format, va_list args) { return createWidget(true, format, args); }

void qzButton::parseOptions(qzOptionList& options) {
  qzOptButton o;
  qzopt_button(options, optionStart(), o);
  small_ = o.smallarrow;
  arrow_ = (o.arrow || o.smallarrow) ? arrow_from_caption(caption_) : QZ_ARROW_NONE;
  flat_ = o.flat;
  skip_ = o.skip;
  default_ = o.isdefault;
  repeat_ = o.mouserepeat;
  single_ = o.singleborder;
  if (o.hotkey) {
    hotkey_ = o.hotkey;
    hotkeyIndex_ = -1;
  }
  if (o.textcolour) textColour_ = *o.textcolour;
}

void qzButton::naturalSize(int& width, int& height) {
  int fh = qzfont_height(font());
  if (arrow_ != QZ_ARROW_NONE) {
    int side = small_ ? fh / 2 + 8 : fh + 8;
    width = height = side;
    return;
  }
  width = qzgeom_button_width(qzfont_textwidth(font(), caption_.c_str()));
  height = qzgeom_button_height(fh);
}

void qzButton::setCaption(const std::string& raw) {
  hotkeyIndex_ = qzcaption_hotkey_index(raw);
  qzCaption c = qzopt_caption_text(raw);
  caption_ = c.text;
  hotkey_ = c.hotkey;
  if (hotkeyIndex_ >= static_cast<int>(caption_.size())) hotkeyIndex_ = -1;
  invalidate();
}

qzRect qzButton::faceRect() const {
  int frame = 2;
  if (flat_) frame = 0;
  else if (single_) frame = 1;
  else if (default_) frame = 3;
  return rect().inset(frame);
}

void qzButton::paint(qzPixmap& target) {
  const qzRect r = rect();
  qzpxmap_fillrect(target, r.x, r.y, r.w, r.h, qzcolour::face);
  int style;
  if (flat_) style = pressed_ ? QZ_FRAME_SINGLE : QZ_FRAME_NONE;
  else if (single_) style = QZ_FRAME_SINGLE;
  else if (pressed_) style = QZ_FRAME_PRESSED;
  else if (default_) style = QZ_FRAME_DEFAULT_RAISED;
  else style = QZ_FRAME_RAISED;
  if (pressed_ && default_ && !flat_ && !single_) {
    qzdraw_frame(target, r, QZ_FRAME_SINGLE);
    qzdraw_frame(target, r.inset(1), QZ_FRAME_PRESSED);
  } else {
    qzdraw_frame(target, r, style);
  }
  qzRect face = faceRect();
  if (pressed_) {
    face.x += 1;
    face.y += 1;
  }
  bool on = enabled();
  if (arrow_ != QZ_ARROW_NONE) {
    int size = std::max(2, std::min(face.w, face.h) / (small_ ? 4 : 3));
    if (!on) draw_arrow(target, {face.x + 1, face.y + 1, face.w, face.h}, arrow_, size, qzcolour::light);
    draw_arrow(target, face, arrow_, size, on ? textColour_ : qzcolour::disabledText);
  } else {
    qzdraw_label_centred(target, face, font(), caption_.c_str(), on, textColour_, hotkeyIndex_);
  }
  if (on && hasFocus()) qzdraw_focus_mark(target, rect().inset(flat_ ? 1 : 3));
}

void qzButton::setPressed(bool on) {
  if (on == pressed_) return;
  pressed_ = on;
  invalidate();
}

bool qzButton::mouseDown(int, int, int button, int, int) {
  if (button != QZ_MOUSE_LEFT || mouseHeld_) return mouseHeld_;
  mouseHeld_ = true;
  inside_ = true;
  setPressed(true);
  if (repeat_) {
    qztimer_request_rate(1.0 / kRepeatPeriod);
    pressTime_ = qznow();
    repeats_ = 0;
    requestTick(pressTime_ + kRepeatDelay);
    activate();
  }
  return true;
}

void qzButton::mouseMove(int x, int y, int) {
  if (!mouseHeld_) return;
  inside_ = rect().contains(x, y);
  setPressed(inside_);
}

void qzButton::mouseUp(int x, int y, int button) {
  if (!mouseHeld_ || button != QZ_MOUSE_LEFT) return;
  mouseHeld_ = false;
  setPressed(false);
  cancelTick();
  if (!repeat_ && rect().contains(x, y)) activate();
}

void qzButton::tick(double now) {
  if (!mouseHeld_ || !repeat_ || !enabled()) return;
  if (inside_) activate();
  // The n-th repeat is due kRepeatDelay + n * kRepeatPeriod after the
  // press, whatever the lateness of this one.
  ++repeats_;
  double next = pressTime_ + kRepeatDelay + repeats_ * kRepeatPeriod;
  if (next <= now) {
    repeats_ = static_cast<int>((now - pressTime_ - kRepeatDelay) / kRepeatPeriod) + 1;
    next = pressTime_ + kRepeatDelay + repeats_ * kRepeatPeriod;
  }
  requestTick(next);
}

bool qzButton::keyDown(int key, int modifiers) {
  if (modifiers & (QZ_MOD_CTRL | QZ_MOD_ALT)) return false;
  if (key == QZ_KEY_SPACE) {
    spaceHeld_ = true;
    setPressed(true);
    return true;
  }
  if (key == QZ_KEY_RETURN) {
    activate();
    return true;
  }
  return false;
}

bool qzButton::keyUp(int key, int) {
  if (key != QZ_KEY_SPACE || !spaceHeld_) return false;
  spaceHeld_ = false;
  setPressed(false);
  activate();
  return true;
}

void qzButton::enabledChanged() {
  if (enabled()) return;
  mouseHeld_ = spaceHeld_ = false;
  pressed_ = false;
  cancelTick();
}
