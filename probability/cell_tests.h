#pragma once
// The tests of one cell against its control groups, and of the family of
// cells together: plain functions of counts, for the matrix probability's
// second report section and cells.csv.
//
// A cell's value is compared with the same cell of G control groups drawn
// under chance. Under chance the real group is one more draw, so its rank
// among the G + 1 values is uniform, and
//   p = min(1, 2 min(k_ge + 1, k_le + 1) / (G + 1))
// (k_ge, k_le: control groups at or above, at or below the group) is a
// two-sided p-value that is never too small: the +1 counts the group
// itself, so p is at least 2 / (G + 1).
//
// The family-wise test needs the same p-value of every control group, as
// if it were the real one: it is taken against the other control groups
// and the real group, so that all G + 1 groups stand on the same footing
// and, under chance, the real group's smallest p is one of G + 1
// exchangeable values.
//
// The "tail count" of a value is min(#at or above, #at or below) among
// the G + 1 values of a cell, itself included: min(k_ge, k_le) + 1 for the
// real group. Its p-value is min(1, 2 tail / (G + 1)).
#include <span>
#include <vector>

// Two-sided empirical p-value of a value that `countGe` of `groups`
// control groups reach or exceed and `countLe` reach or stay below.
double EmpiricalPValue(int countGe, int countLe, int groups);

// The exact (Clopper-Pearson) interval of a binomial proportion: the
// proportions whose binomial tails at `count` of `trials` are at least
// (1 - confidence) / 2. Low is 0 at count 0, high is 1 at count = trials.
struct ProportionInterval {
  double low = 0;
  double high = 1;
};
ProportionInterval ClopperPearson(int count, int trials, double confidence = 0.95);

// Benjamini-Hochberg q-values of the p-values, in their order:
// q_(i) = min over j >= i of min(1, m p_(j) / j), p_(1) <= .. <= p_(m).
std::vector<double> BenjaminiHochberg(std::span<const double> p);

// One cell's values over the G control groups and the real group's value:
// lowers smallestTail[g] to the tail count of values[g] among them (equal
// values tie; the real value within kFileResolution of a control value
// counts as equal, as in the real group's counts).
void KeepSmallestTails(std::span<const double> values, double real, std::span<int> smallestTail);

// The family-wise test by the smallest p-value (single step, Westfall and
// Young): the control groups' smallest p-values over the family are the
// distribution of the real group's smallest p under chance.
struct MaxStatisticResult {
  double globalP = 1;            // (1 + #control groups whose smallest p <= the group's) / (G + 1)
  std::vector<double> adjusted;  // per family cell: the same with the cell's p
  // The smallest global p these control groups allow: that of a group
  // whose smallest p is 2 / (G + 1), which every control group with a
  // cell at the edge of all G + 1 values ties.
  double floor = 1;
};
// `realTails`: the group's tail count per family cell;
// `controlSmallestTails`: per control group its smallest tail count.
MaxStatisticResult MaxStatisticTest(std::span<const int> realTails,
                                    std::vector<int> controlSmallestTails, int groups);

// The share of cells that the percentage marks (5 % or 1 % either side)
// flag under chance with `groups` control groups: the count of control
// groups that reach a group is then uniform on 0..groups.
double ChanceMarkShare(int groups);
