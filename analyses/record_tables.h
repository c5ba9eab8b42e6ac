#pragma once
// The modules' results as rows of the run's record (data/run_journal.h):
// the matrices of a table ("continuum", "group", ...), their row sums and
// totals, in the values the module holds (full precision).
#include <cstddef>
#include <span>

#include "analyses/matrix_kind.h"
#include "data/event_record.h"
#include "data/run_journal.h"

// Cells 0..c of the matrix, row by row.
template <std::size_t N>
void NoteMatrix(const char* table, MatrixKind kind, const double (&m)[N][N], int c) {
  if (!JournalOpen()) return;
  for (int l = 0; l <= c && l < static_cast<int>(N); ++l)
    for (int g = 0; g <= c && g < static_cast<int>(N); ++g)
      JournalNoteMatrixCell({table, KindName(kind), l, g, m[l][g]});
}

// One sum per body (body i = sums[i]).
void NoteRowSums(const char* table, MatrixKind kind, std::span<const double> sums);
// The matrix's total.
void NoteTotal(const char* table, MatrixKind kind, double total);

// A member's names, moment and place as the record lists them (not yet
// used: jd 0, used false).
JournalMember JournalMemberOf(const EventRecord& record, int number);
