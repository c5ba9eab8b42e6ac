#pragma once
// The editing model of the line input: a UTF-8 text with a caret and a
// selection anchor, both byte offsets that always sit on the start of a
// character. The widget turns keys and clicks into these calls and only
// draws the result.
#include <cstddef>
#include <string>

#include "qzk/utf8.h"

struct qzLineText {
  std::string text;
  size_t caret = 0;
  size_t anchor = 0;    // the other end of the selection; == caret: none
  int maxlen = 0;       // characters; 0: no limit
};

bool qzlinetext_has_selection(const qzLineText& t);
std::string qzlinetext_selected(const qzLineText& t);
// Replaces the whole text (cut to maxlen); caret to the end, no selection.
void qzlinetext_set(qzLineText& t, const std::string& text);
// Replaces the selection by `text`: control characters are dropped, line
// ends become blanks, and only as many characters as maxlen still allows
// are inserted. Returns false when nothing changed.
bool qzlinetext_insert(qzLineText& t, const std::string& text);
bool qzlinetext_backspace(qzLineText& t);
bool qzlinetext_delete(qzLineText& t);
// Caret movement; `extend` keeps the anchor (shift held).
void qzlinetext_move_to(qzLineText& t, size_t pos, bool extend);
void qzlinetext_left(qzLineText& t, bool extend);
void qzlinetext_right(qzLineText& t, bool extend);
void qzlinetext_select_all(qzLineText& t);
