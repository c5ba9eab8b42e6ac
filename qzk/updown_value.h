#pragma once
// The numeric rules of the up/down control, kept apart from its drawing so
// that they can be used and tested on their own: the range, the step, the
// rounding to a multiple of the step and the text shown in the field.
#include <string>

struct qzUpDownRule {
  double min = -2147483647.0;
  double max = 2147483647.0;
  double step = 1.0;
  int digits = 0;  // 1..10 select a fixed width or precision; others "%g"
};

// The value after a change: clamped to min..max (the bounds may be given
// in either order) and rounded to the nearest multiple of the step, halves
// away from zero. A multiple that falls outside the range is moved one
// step inwards, so the result is never outside min..max. A value that is
// not a number leaves `previous` (settled) in place.
double qzupdown_settle(const qzUpDownRule& rule, double value, double previous);

// The field's text for a settled value: "%.Nf" for a step other than 1 and
// 1..10 digits, the integer zero-padded to the digit count for a step of 1,
// "%g" otherwise. Whole numbers of a step-1 control are always written in
// full ("1234567", not "1.23457e+06"), since the text is read back when the
// user edits it.
std::string qzupdown_format(const qzUpDownRule& rule, double value);

// Reads a typed text: the leading number as by strtod, blanks allowed
// around it and "," taken as the decimal point. Returns false for a text
// without a number.
bool qzupdown_parse(const std::string& text, double& value);
