#pragma once
// A push button: a caption with an optional hotkey ("&Quit" underlines the
// q), or an arrow picture ("arrow"/"smallarrow" with the caption "up",
// "down", "left" or "right"), drawn raised, pressed while the mouse holds
// it, "flat" without the raised frame, "singleborder" with a one-line
// frame. Released over the button (or its hotkey, Space while focused,
// Return when it is the "default" button) it activates: callback or
// eventId() posted.
//
// "mouserepeat": while the left button holds it down, it activates once at
// the press, again after kRepeatDelay and then every kRepeatPeriod seconds
// of platform time (a headless test that holds it for 0.5 s gets
// 1 + 1 + (0.5 - 0.3) / 0.1 = 4 activations).
//
// Natural size: the caption's width + 10 by the font height + 8.
#include <cstdarg>
#include <cstdint>
#include <string>

#include "qzk/create_from_format.h"
#include "qzk/widget.h"

enum qzArrowDirection : int { QZ_ARROW_NONE = 0, QZ_ARROW_UP, QZ_ARROW_DOWN, QZ_ARROW_LEFT, QZ_ARROW_RIGHT };

class qzButton : public qzWidget, public qzCreateFromFormat<qzButton> {
 public:
  static constexpr double kRepeatDelay = 0.3;
  static constexpr double kRepeatPeriod = 0.1;

  bool createv(const char* format, va_list args);

  const char* kind() const override { return "button"; }
  void setCaption(const std::string& caption);  // takes "&" hotkeys as create does
  bool pressed() const { return pressed_; }
  int arrow() const { return arrow_; }
  bool flat() const { return flat_; }
  bool repeats() const { return repeat_; }
  bool isDefaultButton() const override { return default_; }
  bool skippedByTab() const override { return skip_; }
  bool postsWhileWaitingForOneOf() const override { return true; }

  // The face of the button without its frame (where the caption goes).
  qzRect faceRect() const;

  void paint(qzPixmap& target) override;
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  void mouseUp(int x, int y, int button) override;
  void mouseMove(int x, int y, int buttons) override;
  bool keyDown(int key, int modifiers) override;
  bool keyUp(int key, int modifiers) override;
  void tick(double now) override;
  void enabledChanged() override;

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;
  int defaultBorder() const override { return 0; }

 private:
  void setPressed(bool on);

  int arrow_ = QZ_ARROW_NONE;
  bool small_ = false, flat_ = false, skip_ = false, default_ = false;
  bool repeat_ = false, single_ = false;
  bool pressed_ = false, mouseHeld_ = false, spaceHeld_ = false, inside_ = false;
  double pressTime_ = 0;
  int repeats_ = 0;
  uint32_t textColour_ = 0x000000;
};
