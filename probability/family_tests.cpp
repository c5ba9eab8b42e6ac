#include "probability/family_tests.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "probability/cell_tests.h"
#include "probability/control_groups.h"
#include "probability/control_statistics.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The count and percentage of the table: control >= group for cells,
// control > group for row sums and totals.
int TableCount(const ControlGroupCounts& counts, const TableCell& cell) {
  switch (cell.place) {
    case CellPlace::Cell: return counts.cell[cell.kind][cell.row][cell.column];
    case CellPlace::RowSum: return counts.row[cell.kind][cell.row];
    case CellPlace::Total: return counts.total[cell.kind];
  }
  return 0;
}

double TablePercent(const ProbabilityResult& result, const TableCell& cell) {
  switch (cell.place) {
    case CellPlace::Cell: return result.cell[cell.kind][cell.row][cell.column];
    case CellPlace::RowSum: return result.row[cell.kind][cell.row];
    case CellPlace::Total: return result.total[cell.kind];
  }
  return 0;
}

int TableMark(const ProbabilityResult& result, const TableCell& cell, int c) {
  switch (cell.place) {
    case CellPlace::Cell: return result.marks[cell.kind][cell.row][cell.column];
    case CellPlace::RowSum: return result.marks[cell.kind][cell.row][c + 1];
    case CellPlace::Total: return 0;
  }
  return 0;
}

}  // namespace

FamilyTests TestFamily(const BodyWeights& weights, const ControlGroupCounts& counts,
                       const ProbabilityResult& result, const ControlStatistics& statistics,
                       const FamilyRanks& ranks) {
  FamilyTests t;
  const int c = std::clamp(weights.lastBody, 0, kBodies - 1);
  const int G = counts.groups;
  std::vector<std::size_t> family;
  std::vector<double> familyP;
  std::vector<int> realTails;
  const std::vector<TableCell>& cells = statistics.Cells();
  for (std::size_t k = 0; k < cells.size(); ++k) {
    CellTest r;
    r.cell = cells[k];
    const RunningMoments& m = statistics.Moments(k);
    r.groups = G;
    r.group = statistics.Real(k);
    r.controlMean = m.mean;
    r.controlSd = m.Sd();
    r.z = r.controlSd > 0 ? (r.group - r.controlMean) / r.controlSd : kNaN;
    r.countGe = statistics.CountGe(k);
    r.countLe = statistics.CountLe(k);
    r.percent = TablePercent(result, r.cell);
    const ProportionInterval ci = ClopperPearson(TableCount(counts, r.cell), G);
    r.percentLow = 100 * ci.low;
    r.percentHigh = 100 * ci.high;
    r.p = EmpiricalPValue(r.countGe, r.countLe, G);
    r.mark = TableMark(result, r.cell, c);
    r.inFamily = InFamily(weights, r.cell);
    r.q = r.pAdjusted = kNaN;
    t.cells.push_back(r);
    if (r.inFamily) {
      family.push_back(k);
      familyP.push_back(r.p);
      realTails.push_back(std::min(r.countGe, r.countLe) + 1);
      t.marked += r.mark > 0;
    }
  }
  t.familySize = static_cast<int>(family.size());
  t.chanceShare = ChanceMarkShare(G);

  const std::vector<double> q = BenjaminiHochberg(familyP);
  const MaxStatisticResult max = MaxStatisticTest(realTails, ranks.SmallestTails(), G);
  for (std::size_t f = 0; f < family.size(); ++f) {
    CellTest& r = t.cells[family[f]];
    r.q = q[f];
    r.pAdjusted = max.adjusted[f];
    if (t.strongest < 0 || r.p < t.cells[static_cast<std::size_t>(t.strongest)].p)
      t.strongest = static_cast<int>(family[f]);
  }
  t.globalP = max.globalP;
  t.globalFloor = max.floor;
  return t;
}
