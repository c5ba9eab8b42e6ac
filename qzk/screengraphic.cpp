#include "qzk/screengraphic.h"

#include "qzk/draw.h"
#include "qzk/events.h"
#include "qzk/log.h"
#include "qzk/options.h"
#include "qzk/platform/platform.h"
#include "qzk/window.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Presenting at once is limited to this rate, so that a module drawing a
// curve pixel by pixel does not repaint the page for every pixel.
constexpr double kPresentInterval = 1.0 / 50;

bool g_painterLogged = false;

// The named colours of the option strings open every palette canvas.
constexpr uint32_t kStandardColours[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                           0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                           0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

bool isDirect(int format) {
  return format == QZ_PX_TRUECOLOR || format == QZ_PX_SERVER || format == QZ_PX_SCREEN;
}

}  // namespace

qzScreenGraphic::qzScreenGraphic() {
  target_.owner = this;
  target_.refresh = refreshNow;
  target_.deferred = refreshLater;
}

qzScreenGraphic::~qzScreenGraphic() {
  if (qzgraphic_target() == &target_) qzgraphic_settarget(nullptr);
  bars_.destroy();
}

bool qzScreenGraphic::createv(const char* format, va_list args) { return createWidget(false, format, args); }

void qzScreenGraphic::parseOptions(qzOptionList& options) {
  qzOptGraphic o;
  qzopt_graphic(options, optionStart(), o);
  format_ = o.format;
  canvasW_ = o.pxmapxs;
  canvasH_ = o.pxmapys;
  colours_ = o.colours;
  xStretch_ = o.xstretch;
  yStretch_ = o.ystretch;
  if (o.bgcolour) background_ = *o.bgcolour;
  target_.autoRedraw = o.redraw;
  fullscreen_ = o.fullscreen;
}

void qzScreenGraphic::naturalSize(int& width, int& height) {
  const int frame = 2 * qzframe_width(border());
  if (width == 0 && canvasW_ > 0) width = canvasW_ + frame;
  if (height == 0 && canvasH_ > 0) height = canvasH_ + frame;
}

void qzScreenGraphic::created() {
  qzlog("screen graphic open: cs=\"%s\"\n", optionString().c_str());
  if (!g_painterLogged) {
    g_painterLogged = true;
    qztimer_request_rate(kRefreshesPerSecond);
    qzlog("lopriopaint init. %d refreshes/sec.\n", kRefreshesPerSecond);
  }
  const qzRect inner = rect().inset(qzframe_width(border()));
  const int width = canvasW_ > 0 ? canvasW_ : std::max(inner.w, 1);
  const int height = canvasH_ > 0 ? canvasH_ : std::max(inner.h, 1);
  target_.font = font();
  target_.canvas = qzPixmap{};
  if (format_ == QZ_PX_PALETTE8 || format_ == QZ_PX_PALETTE16) {
    const int count = std::clamp(colours_ > 0 ? colours_ : 256, 1, format_ == QZ_PX_PALETTE8 ? 256 : 65536);
    target_.canvas.palette.assign(static_cast<size_t>(count), 0);
    for (int i = 0; i < count && i < 16; ++i) target_.canvas.palette[i] = kStandardColours[i];
  }
  if (!qzpxmap_alloc(target_.canvas, width, height, format_)) {
    qzlog("screen graphic: canvas %d x %d refused, using %d x %d\n", width, height, std::max(inner.w, 1),
          std::max(inner.h, 1));
    qzpxmap_alloc(target_.canvas, std::max(inner.w, 1), std::max(inner.h, 1), QZ_PX_TRUECOLOR);
  }
  // A palette canvas starts with its first colour; the others with the background.
  qzpxmap_clear(target_.canvas, isDirect(target_.canvas.format) ? background_ : 0);
  target_.changed = false;
  barsCreated_ = bars_.create(*this, scrolled, this);
  relayout();
}

bool qzScreenGraphic::setCanvasSize(int width, int height) {
  qzPixmap& c = target_.canvas;
  if (width == c.width && height == c.height && c.format != QZ_PX_NONE) return true;
  const int oldW = c.width, oldH = c.height;
  if (c.format == QZ_PX_NONE) {
    if (!qzpxmap_alloc(c, width, height, QZ_PX_TRUECOLOR)) return false;
    qzpxmap_clear(c, background_);
  } else {
    if (!qzpxmap_resize(c, width, height)) return false;
    const uint32_t fill = isDirect(c.format) ? background_ : 0;
    qzpxmap_fillrect(c, oldW, 0, width - oldW, height, fill);
    qzpxmap_fillrect(c, 0, oldH, std::min(oldW, width), height - oldH, fill);
  }
  relayout();
  invalidate();
  return true;
}

double qzScreenGraphic::shownXStretch() const {
  if (xStretch_ < 0) {
    const qzRect inner = rect().inset(qzframe_width(border()));
    return canvas().width > 0 && inner.w > 0 ? static_cast<double>(inner.w) / canvas().width : 1.0;
  }
  return xStretch_ > 0 ? xStretch_ : 1.0;
}

double qzScreenGraphic::shownYStretch() const {
  if (yStretch_ < 0) {
    const qzRect inner = rect().inset(qzframe_width(border()));
    return canvas().height > 0 && inner.h > 0 ? static_cast<double>(inner.h) / canvas().height : 1.0;
  }
  return yStretch_ > 0 ? yStretch_ : 1.0;
}

void qzScreenGraphic::relayout() {
  const qzRect inner = rect().inset(qzframe_width(border()));
  const bool autoX = xStretch_ < 0, autoY = yStretch_ < 0;
  const int shownW = static_cast<int>(std::ceil(canvas().width * shownXStretch()));
  const int shownH = static_cast<int>(std::ceil(canvas().height * shownYStretch()));
  if (barsCreated_) {
    bars_.setPolicy(autoY ? qzScrollBarManager::NEVER : qzScrollBarManager::AUTO,
                    autoX ? qzScrollBarManager::NEVER : qzScrollBarManager::AUTO);
    view_ = bars_.layout(inner, shownW, shownH, 1, 1);
  } else {
    view_ = inner;
  }
  laidOutRect_ = rect();
  laidOutW_ = canvas().width;
  laidOutH_ = canvas().height;
}

int qzScreenGraphic::scrollX() const { return static_cast<int>(bars_.x() / shownXStretch()); }
int qzScreenGraphic::scrollY() const { return static_cast<int>(bars_.y() / shownYStretch()); }

void qzScreenGraphic::scrollTo(int canvasX, int canvasY) {
  bars_.scrollTo(static_cast<int>(canvasX * shownXStretch()), static_cast<int>(canvasY * shownYStretch()));
  invalidate();
}

void qzScreenGraphic::scrolled(qzScrollBarManager&, void* user) { static_cast<qzScreenGraphic*>(user)->invalidate(); }

void qzScreenGraphic::refreshNow(qzGraphicTarget& target, void* owner) {
  auto* self = static_cast<qzScreenGraphic*>(owner);
  target.changed = false;
  self->invalidate();
  if (!self->exists() || !self->shown()) return;
  const double now = qznow();
  if (self->lastPresent_ >= 0 && now - self->lastPresent_ < kPresentInterval && now >= self->lastPresent_) return;
  self->lastPresent_ = now;
  self->window()->repaint();
}

void qzScreenGraphic::refreshLater(qzGraphicTarget&, void* owner) {
  auto* self = static_cast<qzScreenGraphic*>(owner);
  if (self->exists() && self->tickAt() < 0) self->requestTick(qznow() + 1.0 / kRefreshesPerSecond);
}

void qzScreenGraphic::tick(double) {
  // The low-priority painter: one repaint for all drawing since the last.
  if (target_.changed) {
    target_.changed = false;
    invalidate();
  }
}

void qzScreenGraphic::paint(qzPixmap& target) {
  if (!(laidOutRect_ == rect()) || laidOutW_ != canvas().width || laidOutH_ != canvas().height) relayout();
  qzdraw_frame(target, rect(), border());
  paintCanvas(target);
}

void qzScreenGraphic::paintCanvas(qzPixmap& target) {
  const qzPixmap& c = canvas();
  const bool palette = c.format == QZ_PX_PALETTE8 || c.format == QZ_PX_PALETTE16;
  if (!isDirect(c.format) && !palette) {
    if (!wrongFormatLogged_) qzlog("qzllgui_showpxmap: wrong format (%d)\n", c.format);
    wrongFormatLogged_ = true;
    qzpxmap_fillrect(target, view_.x, view_.y, view_.w, view_.h, background_);
    return;
  }
  const qzRect area = view_.intersection(qzRect{0, 0, target.width, target.height});
  if (area.empty()) return;
  const double sx = shownXStretch(), sy = shownYStretch();
  const int offX = bars_.x(), offY = bars_.y();
  const bool plain = sx == 1.0 && sy == 1.0 && isDirect(c.format) && isDirect(target.format);
  std::vector<int> columns(static_cast<size_t>(area.w));
  for (int vx = 0; vx < area.w; ++vx) {
    const int64_t cx = static_cast<int64_t>((offX + (area.x - view_.x) + vx) / sx);
    columns[vx] = cx < c.width ? static_cast<int>(cx) : -1;
  }
  for (int vy = 0; vy < area.h; ++vy) {
    const int ty = area.y + vy;
    const int64_t cy = static_cast<int64_t>((offY + (area.y - view_.y) + vy) / sy);
    if (cy >= c.height) {
      qzpxmap_fillrect(target, area.x, ty, area.w, 1, background_);
      continue;
    }
    const int row = static_cast<int>(cy);
    if (plain) {
      const int first = offX + (area.x - view_.x);
      const int n = std::clamp(c.width - first, 0, area.w);
      if (n > 0) std::memcpy(target.row(ty) + area.x, c.row(row) + first, static_cast<size_t>(n) * sizeof(uint32_t));
      if (n < area.w) qzpxmap_fillrect(target, area.x + n, ty, area.w - n, 1, background_);
      continue;
    }
    for (int vx = 0; vx < area.w; ++vx) {
      const int cx = columns[vx];
      const uint32_t colour = cx < 0 ? background_ : (palette ? qzpxmap_colour(c, cx, row) : c.row(row)[cx]);
      qzpxmap_setpixel(target, area.x + vx, ty, colour);
    }
  }
}

bool qzScreenGraphic::mouseDown(int, int, int button, int, int) {
  if (button == QZ_MOUSE_LEFT) activate(0);
  return false;
}

bool qzScreenGraphic::mouseWheel(int, int, int steps) {
  const bool moved = bars_.wheel(steps);
  if (moved) invalidate();
  return moved;
}

bool qzScreenGraphic::keyDown(int key, int) {
  const int step = 32;
  int x = bars_.x(), y = bars_.y();
  switch (key) {
    case QZ_KEY_UP: y -= step; break;
    case QZ_KEY_DOWN: y += step; break;
    case QZ_KEY_LEFT: x -= step; break;
    case QZ_KEY_RIGHT: x += step; break;
    case QZ_KEY_PAGEUP: y -= std::max(1, view_.h - step); break;
    case QZ_KEY_PAGEDOWN: y += std::max(1, view_.h - step); break;
    case QZ_KEY_HOME: x = 0; y = 0; break;
    default: return false;
  }
  bars_.scrollTo(x, y);
  invalidate();
  return true;
}
