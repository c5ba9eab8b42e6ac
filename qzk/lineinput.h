#pragma once
// A one-line text input with a caret, a selection (Shift with the cursor
// keys, or dragging the mouse) and cut, copy and paste through the
// platform clipboard.
//
//     qzLineInput name;
//     name.create("x=60%,y=10%,xs=60%,maxlen=40,default=%s", start);
//
// Keys: "maxlen=" (characters, 0 no limit), "default=" (initial text),
// "align=right"/"alignright"/"rightalign", "keepfocus" /
// "nofocusswitchwithenter" (Return does not move the focus on). Return
// activates the input (callback or eventId() posted) and, without
// "keepfocus", moves the focus to the next widget. Taking the focus by Tab
// or from the program selects the text, so typing replaces it.
#include <cstdarg>
#include <string>

#include "qzk/create_from_format.h"
#include "qzk/lineinput_edit.h"
#include "qzk/widget.h"

class qzLineInput : public qzWidget, public qzCreateFromFormat<qzLineInput> {
 public:
  static constexpr double kBlinkPeriod = 0.5;

  bool createv(const char* format, va_list args);
  const char* kind() const override { return "line input"; }

  const std::string& text() const { return text_.text; }
  // Pixels the text is moved left to keep the caret in view (0: shown
  // from its first character).
  int viewScroll() const { return view_.scroll; }
  void setText(const std::string& text);  // cut to maxlen
  int maxLength() const { return text_.maxlen; }
  bool rightAligned() const { return view_.rightAligned; }
  bool keepsFocus() const { return keepFocus_; }
  const qzLineText& editState() const { return text_; }

  void paint(qzPixmap& target) override;
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  void mouseMove(int x, int y, int buttons) override;
  bool keyDown(int key, int modifiers) override;
  bool textInput(const std::string& utf8) override;
  void focusIn() override;
  void focusOut() override;
  void tick(double now) override;

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;
  int defaultBorder() const override { return 2; }

 private:
  qzRect inner() const;
  void edited();

  qzLineText text_;
  qzLineView view_;
  bool keepFocus_ = false;
  bool caretOn_ = true;
  bool dragging_ = false;
};
