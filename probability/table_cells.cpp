#include "probability/table_cells.h"

#include <algorithm>

#include "core/chart.h"

std::vector<TableCell> TableCells(int c) {
  c = std::clamp(c, 0, kBodies - 1);
  std::vector<TableCell> cells;
  for (MatrixKind kind : kMatrixKinds) {
    for (int i = 0; i <= c; ++i) {
      for (int j = 0; j <= c; ++j) cells.push_back({kind, CellPlace::Cell, i, j});
      cells.push_back({kind, CellPlace::RowSum, i, 0});
    }
    cells.push_back({kind, CellPlace::Total, 0, 0});
  }
  return cells;
}

double ValueAt(const GroupValues& values, const TableCell& cell) {
  switch (cell.place) {
    case CellPlace::Cell: return values.cell[cell.kind][cell.row][cell.column];
    case CellPlace::RowSum: return values.row[cell.kind][cell.row];
    case CellPlace::Total: return values.total[cell.kind];
  }
  return 0;
}

bool InFamily(const BodyWeights& weights, const TableCell& cell) {
  switch (cell.place) {
    case CellPlace::Cell: return cell.row < cell.column && PairWeight(weights, cell.row, cell.column) > 0;
    case CellPlace::RowSum: return weights.body[static_cast<std::size_t>(cell.row)] != 0;
    case CellPlace::Total: return false;
  }
  return false;
}

namespace {

// The core's body name without its padding.
std::string Body(int body) {
  std::string name = BodyName(body);
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

}  // namespace

std::string RowName(const TableCell& cell) {
  return cell.place == CellPlace::Total ? "TOTAL" : Body(cell.row);
}

std::string ColumnName(const TableCell& cell) {
  switch (cell.place) {
    case CellPlace::Cell: return Body(cell.column);
    case CellPlace::RowSum: return "SUM";
    case CellPlace::Total: return "TOTAL";
  }
  return "";
}

std::string PlaceName(const TableCell& cell) {
  switch (cell.place) {
    case CellPlace::Cell: return Body(cell.row) + " - " + Body(cell.column);
    case CellPlace::RowSum: return Body(cell.row) + " row sum";
    case CellPlace::Total: return "total";
  }
  return "";
}
