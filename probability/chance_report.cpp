#include "probability/chance_report.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <vector>

#include "qzk/vformat.h"

namespace {

void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out += qzvformat(format, args);
  va_end(args);
}

// A percentage of the family.
double Share(double count, int of) { return of > 0 ? 100.0 * count / of : 0; }

void AppendCellLine(std::string& out, const CellTest& t) {
  Append(out, "\n  %-6s %-22s %12.6f %12.6f ", KindName(t.cell.kind), PlaceName(t.cell).c_str(),
         t.group, t.controlMean);
  if (std::isnan(t.z))
    out += "       -";
  else
    Append(out, "%8.2f", t.z);
  Append(out, " %10.4g %10.4g %10.4g", t.p, t.q, t.pAdjusted);
}

// The family cells with q <= 0.05, smallest p first (the table's order
// among equals).
std::vector<const CellTest*> Discoveries(const FamilyTests& tests) {
  std::vector<const CellTest*> found;
  for (const CellTest& t : tests.cells)
    if (t.inFamily && t.q <= kDiscoveryLevel) found.push_back(&t);
  std::stable_sort(found.begin(), found.end(),
                   [](const CellTest* a, const CellTest* b) { return a->p < b->p; });
  return found;
}

}  // namespace

const char* GlobalVerdict(double globalP) {
  if (globalP <= 0.01) return "strong evidence of a correlation beyond chance";
  if (globalP <= 0.05) return "evidence of a correlation beyond chance";
  return "no evidence of a correlation beyond chance";
}

std::string ChanceReport(const MatrixProbabilityRun& run) {
  const FamilyTests& t = run.tests;
  const int m = t.familySize;
  std::string out = "\n\n   Statistics 4: Probability of events: beyond chance \n";
  Append(out,
         "\n  Two-sided tests of the group's values against the same %i control groups; the "
         "smallest p-value they can give is 2 / (%i + 1) = %.4g.",
         run.groups, run.groups, 2.0 / (run.groups + 1.0));
  Append(out,
         "\n  Cells tested: %i (H, I, D and DA: each pair of bodies once, off the diagonal, with a "
         "weight product above 0, and the row sums of the weighted bodies)",
         m);
  if (m == 0) {
    out += "\n  No cell has a weight above 0: nothing to test.\n";
    return out;
  }
  Append(out, "\n  Marked in the tables above (5 %% or 1 %%, either side): %i of %i (%.1f %%)",
         t.marked, m, Share(t.marked, m));
  Append(out, "\n  Marked by chance alone: about %.1f of %i (%.1f %%)", t.chanceShare * m, m,
         100 * t.chanceShare);

  const std::vector<const CellTest*> found = Discoveries(t);
  Append(out, "\n  Cells with q <= %.2f (false-discovery rate of Benjamini and Hochberg): ",
         kDiscoveryLevel);
  if (found.empty()) {
    out += "none";
  } else {
    Append(out, "%zu", found.size());
    Append(out, "\n  %-6s %-22s %12s %12s %8s %10s %10s %10s", "matrix", "bodies", "group",
           "control mean", "z", "p", "q", "adjusted p");
    for (const CellTest* c : found) AppendCellLine(out, *c);
  }

  const CellTest& strongest = t.cells[static_cast<std::size_t>(t.strongest)];
  Append(out, "\n  The group's strongest cell: %s %s, p = %.4g, adjusted p = %.4g",
         KindName(strongest.cell.kind), PlaceName(strongest.cell).c_str(), strongest.p,
         strongest.pAdjusted);
  Append(out,
         "\n  Family-wise test: the group's strongest cell is as extreme as the strongest cell of "
         "%.3g %% of random groups (global p = %.4g): %s.\n",
         100 * t.globalP, t.globalP, GlobalVerdict(t.globalP));
  Append(out,
         "  With these control groups no group can reach a global p below %.4g (control groups "
         "with a cell at the edge of all %i + 1 values tie with it); more control groups lower "
         "this floor.\n",
         t.globalFloor, run.groups);
  return out;
}
