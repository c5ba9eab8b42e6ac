#pragma once
// A horizontal progress bar: a sunken field filled from the left in the
// selection colour (grey when disabled) up to the fraction set.
//
//     qzProgressBar progress;
//     progress.create("x=25%,y=95%,xs=45%,ys=3%");
//     progress.setFraction(k / double(G));
#include <cstdarg>

#include "qzk/create_from_format.h"
#include "qzk/widget.h"

class qzProgressBar : public qzWidget, public qzCreateFromFormat<qzProgressBar> {
 public:
  bool createv(const char* format, va_list args);
  const char* kind() const override { return "progress bar"; }

  // 0..1; values outside are clamped, a value that is not a number gives 0.
  // Repaints only when the filled width changes, so long loops may call it
  // on every step.
  void setFraction(double fraction);
  double fraction() const { return fraction_; }

  void paint(qzPixmap& target) override;
  bool acceptsFocus() const override { return false; }

 protected:
  void naturalSize(int& width, int& height) override;
  int defaultBorder() const override { return 2; }

 private:
  int filledWidth(double fraction) const;
  double fraction_ = 0;
};
