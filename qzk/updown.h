#pragma once
// A numeric field with an up and a down arrow button beside it.
//
//     qzUpDownControl day;
//     day.create("x=35%,y=30%,xs=10%,min=1,max=31,start=%d", d);
//     int d = day.intValue();
//
// Keys: "min=", "max=", "step=" (reals), "start="/"default="/"def=" (the
// first value), "digits=" (how the value is written, updown_value.h).
// After every change the value is clamped to min..max and rounded to the
// step. The arrows repeat while held (the button's repeat timing on the
// platform clock); Up/Down keys step by one step, PageUp/PageDown by ten,
// the mouse wheel by one. A typed value is taken on Return or when the
// field loses the focus (a text without a number brings the old value
// back), and at the latest when the value is read. Every change made by
// the user activates the control (callback or eventId() posted).
#include <cstdarg>
#include <string>

#include "qzk/button.h"
#include "qzk/create_from_format.h"
#include "qzk/lineinput_edit.h"
#include "qzk/updown_value.h"
#include "qzk/widget.h"

// An arrow of the up/down control: a repeating button that always reports
// to its control, also while the application waits for one of several
// events (a plain button would post its identifier instead).
class qzUpDownArrow : public qzButton {
 public:
  bool postsWhileWaitingForOneOf() const override { return false; }
};

class qzUpDownControl : public qzWidget, public qzCreateFromFormat<qzUpDownControl> {
 public:
  bool createv(const char* format, va_list args);
  ~qzUpDownControl() override;
  const char* kind() const override { return "up/down control"; }

  int intValue();        // truncated toward zero
  double doubleValue();
  // Settles the value (clamp, step) and shows it; the control is not
  // activated.
  void setValue(double value);
  const qzUpDownRule& rule() const { return rule_; }
  // The last typed value the control did not take as it was (outside the
  // range or off the step), and the text typed; false when there was none
  // since the last clearRefused().
  bool refused(double& typed, std::string& text) const {
    typed = refused_;
    text = refusedText_;
    return !refusedText_.empty();
  }
  void clearRefused() { refusedText_.clear(); }
  // The text the field shows now (typing included).
  const std::string& text() const { return text_.text; }

  qzUpDownArrow& upArrow() { return up_; }
  qzUpDownArrow& downArrow() { return down_; }
  qzRect fieldRect() const;

  // Takes the arrows and the field out of the window as well.
  void destroy();

  void paint(qzPixmap& target) override;
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  void mouseMove(int x, int y, int buttons) override;
  bool mouseWheel(int x, int y, int steps) override;
  bool keyDown(int key, int modifiers) override;
  bool textInput(const std::string& utf8) override;
  void focusIn() override;
  void focusOut() override;
  void enabledChanged() override;
  void shownChanged() override;

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;
  int defaultBorder() const override { return 2; }
  void created() override;

 private:
  static void arrowUsed(qzWidget& arrow, int event, void* user);
  // Takes a typed value; returns true when the value changed.
  bool acceptTyped();
  void stepBy(double steps);  // a user action: activates on change
  void show();                // writes the value into the field
  int arrowWidth() const;

  qzUpDownRule rule_;
  double value_ = 0;
  qzLineText text_;
  qzLineView view_;
  bool typing_ = false;
  bool dragging_ = false;
  double refused_ = 0;
  std::string refusedText_;
  qzUpDownArrow up_, down_;
};
