#pragma once
// qzScreenGraphic: a widget that shows a canvas pixmap, the target of the
// drawing calls (graphic.h). The application's graphic pages use canvases
// of 2304 x 1500 pixels, larger than the widget: the canvas then scrolls
// with scroll bars (and the mouse wheel).
//
// Options (besides geometry, font, border): the pixel format words
// ("truecolor" by default, "server", "palette"...), "pxs=", "pys=" and
// synonyms for the canvas size (the widget's inner size when not given),
// "colors=" for palette canvases, "stretch=", "xstretch=", "ystretch="
// (each canvas pixel shown as that many screen pixels; "stretch=auto"
// fits the whole canvas into the widget), "drawoff" and synonyms, "bgcol="
// and synonyms (default white), "fullscreen".
//
// Refreshing: with auto-redraw on, every drawing call repaints the widget
// (presented at once, at most 50 times a second, and in any case at the
// end of the dispatch round). With it off, drawing only marks the canvas
// changed and the low-priority painter repaints it a tenth of a second
// later.
#include <cstdarg>
#include <cstdint>

#include "qzk/create_from_format.h"
#include "qzk/graphic.h"
#include "qzk/scrollbar.h"
#include "qzk/widget.h"

class qzScreenGraphic : public qzWidget, public qzCreateFromFormat<qzScreenGraphic> {
 public:
  static constexpr int kRefreshesPerSecond = 10;

  qzScreenGraphic();
  ~qzScreenGraphic() override;

  bool createv(const char* format, va_list args);
  const char* kind() const override { return "screen graphic"; }

  // The drawing calls' target: canvas, font, pen, redraw flag.
  qzGraphicTarget& target() { return target_; }
  const qzPixmap& canvas() const { return target_.canvas; }
  // A new canvas size: pixels that still fit stay, new ones get the
  // background colour. False (logged) for sizes a pixmap refuses.
  bool setCanvasSize(int width, int height);

  uint32_t background() const { return background_; }
  bool autoRedraw() const { return target_.autoRedraw; }
  void setAutoRedraw(bool on) { target_.autoRedraw = on; }
  bool fullscreen() const { return fullscreen_; }
  // The stretch factors as given: 0 none (1), -1 automatic, else the factor.
  double xStretch() const { return xStretch_; }
  double yStretch() const { return yStretch_; }
  // The factors in force for the current widget size.
  double shownXStretch() const;
  double shownYStretch() const;

  // The canvas point shown at the view's top-left corner, and scrolling
  // (clamped to the canvas).
  int scrollX() const;
  int scrollY() const;
  void scrollTo(int canvasX, int canvasY);
  // The part of the widget that shows the canvas (window coordinates).
  const qzRect& view() const { return view_; }

  void paint(qzPixmap& target) override;
  bool mouseWheel(int x, int y, int steps) override;
  // A left click on the canvas posts its identifier (eventId()).
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  bool keyDown(int key, int modifiers) override;
  void tick(double now) override;

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;
  int defaultBorder() const override { return 0; }
  void created() override;

 private:
  static void refreshNow(qzGraphicTarget& target, void* owner);
  static void refreshLater(qzGraphicTarget& target, void* owner);
  static void scrolled(qzScrollBarManager& bars, void* user);
  void relayout();
  void paintCanvas(qzPixmap& target);

  qzGraphicTarget target_;
  qzScrollBarManager bars_;
  bool barsCreated_ = false;
  qzRect view_;
  qzRect laidOutRect_;
  int laidOutW_ = -1, laidOutH_ = -1;
  int format_ = QZ_PX_TRUECOLOR;
  int canvasW_ = 0, canvasH_ = 0;  // asked for; 0: the inner size
  int colours_ = 0;
  double xStretch_ = 0, yStretch_ = 0;
  uint32_t background_ = 0xFFFFFF;
  bool fullscreen_ = false;
  bool wrongFormatLogged_ = false;
  double lastPresent_ = -1;
};

// Makes the screen graphic's canvas the current graphic target.
inline void qzgraphic_settarget(qzScreenGraphic& g) { qzgraphic_settarget(&g.target()); }
