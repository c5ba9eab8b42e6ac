#pragma once
// Scroll bars for the scrolling widgets (lists, text pages, canvases).
//
// qzScrollBarWidget is a widget of its own: two arrow buttons at the ends
// (they repeat while held, at the button's repeat rate), a track and a
// thumb that can be dragged; a click on the track moves by a page. It
// works on a qzScrollRange (scrollbar_model.h). Created by itself with
// "vert"/"vertical" or "hor"/"horizontal" (default vertical) it is an
// ordinary widget whose changes are activated (callback or eventId()
// posted); owned by another widget it reports to a change listener instead.
//
// qzScrollBarCorner fills the square where a vertical and a horizontal bar
// meet.
//
// qzScrollBarManager gives a widget its bars: create() makes both bars and
// the corner in the window and page current at that time (call it from
// the owner's created()), layout() places them along the right and bottom
// edges of the owner's rectangle for a content size and returns the part
// of the rectangle left for the view. Bars are shown only when the content
// does not fit (or always / never, per direction). The owner reads x()
// and y(), the view's first visible unit, and is told of changes through
// its listener.
//
//     class qzTextDisplay : public qzWidget {
//       qzScrollBarManager bars_;
//       void created() override { bars_.create(*this, onScroll, this); relayout(); }
//       void relayout() { view_ = bars_.layout(inner, 0, lines * fontHeight, fontHeight); }
//       bool mouseWheel(int, int, int steps) override { return bars_.wheel(steps); }
//     };
#include <cstdarg>

#include "qzk/create_from_format.h"
#include "qzk/scrollbar_model.h"
#include "qzk/widget.h"

class qzScrollBarWidget : public qzWidget, public qzCreateFromFormat<qzScrollBarWidget> {
 public:
  // Told after every change of the position by the user or by set calls
  // that `notify`.
  using Listener = void (*)(qzScrollBarWidget& bar, int pos, void* user);

  static constexpr int kWidth = 16;      // thickness of a bar in pixels
  static constexpr int kMinThumb = 8;

  bool createv(const char* format, va_list args);
  const char* kind() const override { return "scroll bar"; }

  bool vertical() const { return vertical_; }
  void setVertical(bool on);
  // The content (total), the visible part (page) and the arrow step (line).
  void setRange(int total, int page, int line = 1);
  const qzScrollRange& range() const { return range_; }
  int position() const { return range_.pos; }
  // Clamped; `notify` tells the listener (or activates) when it changed.
  void setPosition(int pos, bool notify = false);
  // Moves by `delta` units as a user action would (listener told).
  bool scrollBy(int delta);
  void setListener(Listener listener, void* user) { listener_ = listener; listenerUser_ = user; }

  // Parts, in window coordinates (for tests and drawing).
  qzRect lowArrowRect() const;   // up or left
  qzRect highArrowRect() const;  // down or right
  qzRect trackRect() const;
  qzRect thumbRect() const;      // empty when nothing can be scrolled

  void paint(qzPixmap& target) override;
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  void mouseUp(int x, int y, int button) override;
  void mouseMove(int x, int y, int buttons) override;
  bool mouseWheel(int x, int y, int steps) override;
  void tick(double now) override;
  bool acceptsFocus() const override { return false; }

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;

 private:
  enum Held { NONE, LOW, HIGH, PAGE_LOW, PAGE_HIGH, THUMB };
  void step(Held what);
  void changed();
  int trackLength() const;

  bool vertical_ = true;
  qzScrollRange range_;
  Held held_ = NONE;
  int grabOffset_ = 0;  // pixels from the thumb's start to the grab point
  Listener listener_ = nullptr;
  void* listenerUser_ = nullptr;
};

class qzScrollBarCorner : public qzWidget, public qzCreateFromFormat<qzScrollBarCorner> {
 public:
  bool createv(const char* format, va_list args);
  const char* kind() const override { return "scroll bar corner"; }
  void paint(qzPixmap& target) override;
  bool acceptsFocus() const override { return false; }
};

class qzScrollBarManager {
 public:
  enum Policy { AUTO, ALWAYS, NEVER };
  using Listener = void (*)(qzScrollBarManager& bars, void* user);

  // Creates the bars and the corner (hidden) in the current window and page.
  bool create(qzWidget& owner, Listener listener, void* user);
  void destroy();
  void setPolicy(Policy vertical, Policy horizontal);

  // Places the bars inside `outer` (window coordinates) for a content of
  // contentW x contentH units shown `unit` pixels per unit, and returns
  // the view: `outer` less the bars shown. A view of W x H pixels shows
  // W / unitX by H / unitY units; positions are kept within range.
  qzRect layout(const qzRect& outer, int contentW, int contentH, int unitX = 1, int unitY = 1);

  int x() const { return horizontal_.position(); }
  int y() const { return vertical_.position(); }
  void scrollTo(int x, int y);  // clamped, listener not told
  // Mouse wheel over the owner: 3 lines a notch on the vertical bar (the
  // horizontal one when there is no vertical bar). True if it moved.
  bool wheel(int steps);
  // Follows the owner's enabled state and visibility.
  void setEnabled(bool on);
  void setVisible(bool on);

  qzScrollBarWidget& vertical() { return vertical_; }
  qzScrollBarWidget& horizontal() { return horizontal_; }
  qzScrollBarCorner& corner() { return corner_; }

 private:
  static void barMoved(qzScrollBarWidget& bar, int pos, void* user);

  qzWidget* owner_ = nullptr;
  qzScrollBarWidget vertical_, horizontal_;
  qzScrollBarCorner corner_;
  Policy vPolicy_ = AUTO, hPolicy_ = AUTO;
  bool visible_ = true;
  bool vShown_ = false, hShown_ = false;
  Listener listener_ = nullptr;
  void* user_ = nullptr;
};

// Draws a bar's look into `target` (used by the bar itself and by the
// combo box's drop-down list).
void qzscrollbar_paint(qzPixmap& target, const qzRect& r, bool vertical, const qzScrollRange& range,
                       bool enabled, int held);
