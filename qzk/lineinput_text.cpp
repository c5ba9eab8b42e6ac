#include "qzk/lineinput_text.h"

#include <algorithm>

namespace {

size_t sel_begin(const qzLineText& t) { return std::min(t.caret, t.anchor); }
size_t sel_end(const qzLineText& t) { return std::max(t.caret, t.anchor); }

void erase_selection(qzLineText& t) {
  size_t b = sel_begin(t);
  t.text.erase(b, sel_end(t) - b);
  t.caret = t.anchor = b;
}

// The first `chars` characters of s.
std::string first_chars(const std::string& s, size_t chars) {
  size_t pos = 0;
  for (size_t n = 0; n < chars && pos < s.size(); ++n) pos = qzutf8_next(s, pos);
  return s.substr(0, pos);
}

}  // namespace

bool qzlinetext_has_selection(const qzLineText& t) { return t.caret != t.anchor; }

std::string qzlinetext_selected(const qzLineText& t) {
  return t.text.substr(sel_begin(t), sel_end(t) - sel_begin(t));
}

void qzlinetext_set(qzLineText& t, const std::string& text) {
  t.text.clear();
  t.caret = t.anchor = 0;
  qzlinetext_insert(t, text);
}

bool qzlinetext_insert(qzLineText& t, const std::string& text) {
  std::string clean;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\n' || c == '\r' || c == '\t')
      clean += ' ';
    else if (u >= 32 && u != 127)
      clean += c;
  }
  bool had = qzlinetext_has_selection(t);
  if (clean.empty() && !had) return false;
  erase_selection(t);
  if (t.maxlen > 0) {
    size_t have = qzutf8_count(t.text);
    size_t room = have >= static_cast<size_t>(t.maxlen) ? 0 : t.maxlen - have;
    clean = first_chars(clean, room);
  }
  t.text.insert(t.caret, clean);
  t.caret += clean.size();
  t.anchor = t.caret;
  return had || !clean.empty();
}

bool qzlinetext_backspace(qzLineText& t) {
  if (qzlinetext_has_selection(t)) {
    erase_selection(t);
    return true;
  }
  if (t.caret == 0) return false;
  size_t p = qzutf8_prev(t.text, t.caret);
  t.text.erase(p, t.caret - p);
  t.caret = t.anchor = p;
  return true;
}

bool qzlinetext_delete(qzLineText& t) {
  if (qzlinetext_has_selection(t)) {
    erase_selection(t);
    return true;
  }
  if (t.caret >= t.text.size()) return false;
  t.text.erase(t.caret, qzutf8_next(t.text, t.caret) - t.caret);
  return true;
}

void qzlinetext_move_to(qzLineText& t, size_t pos, bool extend) {
  pos = qzutf8_start(t.text, pos);
  t.caret = pos;
  if (!extend) t.anchor = pos;
}

void qzlinetext_left(qzLineText& t, bool extend) {
  if (!extend && qzlinetext_has_selection(t))
    qzlinetext_move_to(t, sel_begin(t), false);
  else
    qzlinetext_move_to(t, qzutf8_prev(t.text, t.caret), extend);
}

void qzlinetext_right(qzLineText& t, bool extend) {
  if (!extend && qzlinetext_has_selection(t))
    qzlinetext_move_to(t, sel_end(t), false);
  else
    qzlinetext_move_to(t, qzutf8_next(t.text, t.caret), extend);
}

void qzlinetext_select_all(qzLineText& t) {
  t.anchor = 0;
  t.caret = t.text.size();
}
