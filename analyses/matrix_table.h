#pragma once
// A weighted matrix printed as a table on the current text page, as the
// continuum and the event analysis print theirs: an optional title, the
// column head (with or without the IC column), then per body row its
// number, the cells 0..c and the row sum, and a footer with the total.
// The two modules differ only in their texts and number formats.
#include <cstddef>

#include "app/output.h"

// The column head of a table, with the IC column (c = 10) and without.
struct ColumnHead {
  const char* withIC;
  const char* withoutIC;
  const char* For(int c) const { return c == 10 ? withIC : withoutIC; }
};

// The head of the I, D and DA tables of both modules.
inline constexpr ColumnHead kPrinzipHead{
    "\nPrinzip:      I         II       III        IV        V        VI        VII       VIII"
    "      IX         X         IC        SUMME  \n",
    "\nPrinzip:      I         II       III        IV        V        VI        VII       VIII"
    "      IX         X         SUMME  \n"};

struct MatrixTableStyle {
  const char* title;         // printed before the column head; nullptr: none
  const ColumnHead* head;
  const char* rowLead;       // after the row number, before the cells
  const char* cellFormat;    // one cell
  const char* rowSumFormat;  // the row sum
  const char* footer;        // with the total
};

template <std::size_t N>
void PrintMatrixTable(const MatrixTableStyle& t, const double (&cells)[N][N], const double* rowSums,
                      double total, int c) {
  if (t.title) PrintOut("%s", t.title);
  PrintOut("%s", t.head->For(c));
  for (int l = 0; l <= c; ++l) {
    PrintOut(" %2.0i", l + 1);
    if (*t.rowLead) PrintOut("%s", t.rowLead);
    for (int g = 0; g <= c; ++g) PrintOut(t.cellFormat, cells[l][g]);
    PrintOut(t.rowSumFormat, rowSums[l]);
    PrintOut(" \n");
  }
  PrintOut(t.footer, total);
}
