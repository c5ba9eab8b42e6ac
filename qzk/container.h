#pragma once
// The widgets of one window, in creation order (later ones lie on top).
// It paints them, finds the widget under the mouse, keeps the mouse
// capture and counts clicks into double clicks from the input times.
#include <cstdint>
#include <vector>

#include "qzk/bgrects.h"

struct qzPixmap;
class qzWidget;

class qzGuiBaseContainer {
 public:
  void add(qzWidget* widget);
  void remove(qzWidget* widget);
  const std::vector<qzWidget*>& widgets() const { return widgets_; }

  // The topmost shown widget at the point, or nullptr.
  qzWidget* widgetAt(int x, int y) const;

  // Repaints the widgets that need it and those lying over a repainted
  // one; with `all`, the background pieces and every shown widget.
  // Returns the smallest rectangle holding what was painted (empty: none).
  qzRect paint(qzPixmap& target, bool all, uint32_t background);

  // Mouse routing. Returns the widget that took the event (or nullptr).
  qzWidget* mouseDown(int x, int y, int button, int modifiers, double time);
  void mouseUp(int x, int y, int button);
  void mouseMove(int x, int y, int buttons);
  bool mouseWheel(int x, int y, int steps);
  qzWidget* captured() const { return capture_; }
  void releaseCapture() { capture_ = nullptr; }

  // Called when a widget leaves, is hidden or disabled.
  void forget(qzWidget* widget);

  // Two presses within this many seconds and pixels make a double click.
  static constexpr double kDoubleClickTime = 0.4;
  static constexpr int kDoubleClickDistance = 4;

 private:
  std::vector<qzWidget*> widgets_;
  qzGuiBaseBGRects background_;
  qzWidget* capture_ = nullptr;
  qzWidget* lastClickWidget_ = nullptr;
  double lastClickTime_ = -10;
  int lastClickX_ = 0, lastClickY_ = 0, clicks_ = 0;
};
