#pragma once
// The printf-style create(...) of every toolkit object that is made from
// an option string (windows, widgets, text memories): it formats the
// arguments as the string's printf arguments and hands them to the
// object's own createv(format, va_list).
//
//     class qzButton : public qzWidget, public qzCreateFromFormat<qzButton> {
//      public:
//       bool createv(const char* format, va_list args);
//     };
//
// create() carries no printf format attribute on purpose: option strings
// hold bare percent signs ("x=50%,") that -Wformat would report as bad
// conversions in every caller.
#include <cstdarg>

template <class Self>
class qzCreateFromFormat {
 public:
  bool create(const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool ok = static_cast<Self*>(this)->createv(format, args);
    va_end(args);
    return ok;
  }

 protected:
  ~qzCreateFromFormat() = default;
};
