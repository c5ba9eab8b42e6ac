// The line input's editing model: caret, selection and the length limit.
#include <gtest/gtest.h>

#include "qzk/lineinput_text.h"

TEST(LineText, InsertRespectsMaxlenInCharacters) {
  qzLineText t;
  t.maxlen = 4;
  qzlinetext_set(t, "Länge und Breite");
  EXPECT_EQ(t.text, "Läng");
  EXPECT_EQ(t.caret, t.text.size());
  EXPECT_FALSE(qzlinetext_insert(t, "x"));
  // A selection makes room for what replaces it.
  qzlinetext_move_to(t, 1, false);
  qzlinetext_move_to(t, 3, true);  // "ä" is two bytes
  EXPECT_EQ(qzlinetext_selected(t), "ä");
  EXPECT_TRUE(qzlinetext_insert(t, "AB"));
  EXPECT_EQ(t.text, "LAng");
}

TEST(LineText, ControlCharactersAreDroppedLineEndsBecomeBlanks) {
  qzLineText t;
  qzlinetext_insert(t, "a\nb\x01" "c\r");
  EXPECT_EQ(t.text, "a bc ");
}

TEST(LineText, CaretSkipsWholeCharacters) {
  qzLineText t;
  qzlinetext_set(t, "aäb");
  qzlinetext_left(t, false);
  qzlinetext_left(t, false);
  EXPECT_EQ(t.caret, 1u);
  EXPECT_TRUE(qzlinetext_delete(t));
  EXPECT_EQ(t.text, "ab");
  qzlinetext_set(t, "äö");
  EXPECT_TRUE(qzlinetext_backspace(t));
  EXPECT_EQ(t.text, "ä");
  // A position inside a character is moved to its start.
  qzlinetext_move_to(t, 1, false);
  EXPECT_EQ(t.caret, 0u);
  EXPECT_FALSE(qzlinetext_backspace(t));
}

TEST(LineText, SelectionCollapsesOnPlainMovesAndIsDeletedAsOne) {
  qzLineText t;
  qzlinetext_set(t, "hello");
  qzlinetext_select_all(t);
  EXPECT_EQ(qzlinetext_selected(t), "hello");
  qzlinetext_left(t, false);
  EXPECT_EQ(t.caret, 0u);
  EXPECT_FALSE(qzlinetext_has_selection(t));
  qzlinetext_right(t, true);
  qzlinetext_right(t, true);
  EXPECT_TRUE(qzlinetext_backspace(t));
  EXPECT_EQ(t.text, "llo");
  EXPECT_EQ(t.caret, 0u);
}
