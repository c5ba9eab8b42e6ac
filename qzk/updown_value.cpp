#include "qzk/updown_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A product such as 3 * 0.1 carries binary noise (0.30000000000000004);
// going through 15 significant digits gives the number the user expects.
double tidy(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  double t = std::strtod(buf, nullptr);
  return t == 0.0 ? 0.0 : t;  // no "-0"
}

}  // namespace

double qzupdown_settle(const qzUpDownRule& rule, double value, double previous) {
  double lo = std::fmin(rule.min, rule.max);
  double hi = std::fmax(rule.min, rule.max);
  if (std::isnan(value)) value = previous;
  if (std::isnan(value)) value = lo;
  value = std::fmin(std::fmax(value, lo), hi);
  double step = std::fabs(rule.step);
  if (step > 0.0 && std::isfinite(step)) {
    double r = tidy(std::round(value / step) * step);  // std::round: halves away from zero
    if (r > hi) r = tidy(r - step);
    if (r < lo) r = tidy(r + step);
    // A range narrower than one step holds no multiple: keep the clamped value.
    if (r >= lo && r <= hi) value = r;
  }
  return value == 0.0 ? 0.0 : value;
}

std::string qzupdown_format(const qzUpDownRule& rule, double value) {
  char buf[512];
  bool fixed = rule.digits >= 1 && rule.digits <= 10;
  if (rule.step != 1.0) {
    if (fixed)
      std::snprintf(buf, sizeof buf, "%.*f", rule.digits, value);
    else
      std::snprintf(buf, sizeof buf, "%g", value);
  } else if (value == std::trunc(value) && std::fabs(value) < 1e15) {
    long long whole = static_cast<long long>(value);
    if (fixed)
      std::snprintf(buf, sizeof buf, "%0*lld", rule.digits, whole);
    else
      std::snprintf(buf, sizeof buf, "%lld", whole);
  } else {
    std::snprintf(buf, sizeof buf, "%g", value);
  }
  return buf;
}

bool qzupdown_parse(const std::string& text, double& value) {
  std::string t = text;
  for (char& c : t)
    if (c == ',') c = '.';
  const char* begin = t.c_str();
  char* end = nullptr;
  double v = std::strtod(begin, &end);
  if (end == begin || std::isnan(v)) return false;
  value = v;
  return true;
}
