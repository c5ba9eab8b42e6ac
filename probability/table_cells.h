#pragma once
// The places of the matrix probability's values: every cell, row sum and
// total of the four tables H, I, D and DA, in the report's order (per
// kind, per row its cells and then its row sum, then the total), and which
// of them form the family that is tested together.
//
// The family is what the percentage marks may flag: a cell off the
// diagonal with a weight product above 0, the row sum of a body whose
// weight is not 0. Every matrix is symmetric (cell (i, j) is cell (j, i)
// of the same pair, as the report's tables show it), so a pair counts once,
// as its cell above the diagonal; totals are never marked.
#include <string>
#include <vector>

#include "analyses/body_weights.h"
#include "analyses/matrix_kind.h"
#include "probability/control_groups.h"

enum class CellPlace { Cell, RowSum, Total };

struct TableCell {
  MatrixKind kind = MatrixKind::H;
  CellPlace place = CellPlace::Cell;
  int row = 0;     // body 0..c (cells and row sums)
  int column = 0;  // body 0..c (cells)
};

// Every value of the four tables for bodies 0..c, in the report's order.
std::vector<TableCell> TableCells(int c);

// The value of a group at the place.
double ValueAt(const GroupValues& values, const TableCell& cell);

// Whether the place belongs to the family of tested cells.
bool InFamily(const BodyWeights& weights, const TableCell& cell);

// The names of the place's row and column as cells.csv gives them: the
// bodies' names ("sun", "moon", .. "IC"), "SUM" for a row sum's column,
// "TOTAL" for both of a total.
std::string RowName(const TableCell& cell);
std::string ColumnName(const TableCell& cell);
// "sun - moon", "sun row sum", "total": the place in words.
std::string PlaceName(const TableCell& cell);
