#pragma once
// The etched horizontal line that divides a dialog's fields from its
// buttons. It takes no input and never the focus.
#include <cstdarg>

#include "qzk/widget.h"

class DialogSeparator : public qzWidget {
 public:
  bool create(const char* format, ...);
  const char* kind() const override { return "separator"; }
  void paint(qzPixmap& target) override;
  bool acceptsFocus() const override { return false; }

 protected:
  void naturalSize(int& width, int& height) override;
};
