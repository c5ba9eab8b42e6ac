#pragma once
// Static multi-line text: the questions of the dialogs, labels, the
// message box's text. Lines end at "\n" and are wrapped at blanks to the
// widget's width; text that does not fit below is cut off.
//
//     qzSimpleTextDisplay question;
//     question.create("x=50%,y=18%,xs=80%,ys=30%,fontid=%d", font);
//     question.setText("Ordnung der Harmonischen ?");
//
// Keys: "color="/"col="/"txtcol="/"textcol="/"textcolor=" (text colour),
// "border". A display given no width (or height) is a label: it takes the
// size of its text at every setText, keeping its centre when its position
// was given in percent and its top-left corner otherwise.
#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

#include "qzk/create_from_format.h"
#include "qzk/widget.h"

class qzSimpleTextDisplay : public qzWidget, public qzCreateFromFormat<qzSimpleTextDisplay> {
 public:
  bool createv(const char* format, va_list args);
  const char* kind() const override { return "simple text display"; }

  void setText(const std::string& text);
  const std::string& text() const { return text_; }
  uint32_t textColour() const { return colour_; }
  // The lines as wrapped for the current width.
  std::vector<std::string> lines() const;

  void paint(qzPixmap& target) override;
  bool acceptsFocus() const override { return false; }

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;
  void created() override;

 private:
  void fitText();

  std::string text_;
  bool autoWidth_ = false, autoHeight_ = false;
  bool centreX_ = false, centreY_ = false;
  uint32_t colour_ = 0x000000;
};
