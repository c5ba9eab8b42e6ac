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
// The "tail count" of a value is min(#at or above, #at or below) among the
// values it is compared with, itself included: k + 1 for the real group,
// and for a control group its rank from the nearer end among all G control
// groups. Its p-value is min(1, 2 tail / N), N = G + 1 for the real group
// and G for a control group.
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

// One cell's values over the G control groups: lowers smallestTail[g] to
// the tail count of values[g] among all G values (equal values tie).
void KeepSmallestTails(std::span<const double> values, std::span<int> smallestTail);

// The family-wise test by the smallest p-value (single step, Westfall and
// Young): each control group's smallest p over the family, from its
// smallest tail count, is the distribution of the real group's smallest p
// under chance.
struct MaxStatisticResult {
  double globalP = 1;             // share of control groups whose smallest p <= the group's, +1
  std::vector<double> adjusted;   // per family cell: share whose smallest p <= the cell's p, +1
};
// `realTails`: the group's tail count per family cell, min(k_ge + 1, k_le + 1);
// `controlSmallestTails`: per control group its smallest tail count.
MaxStatisticResult MaxStatisticTest(std::span<const int> realTails,
                                    std::vector<int> controlSmallestTails, int groups);

// The share of cells that the percentage marks (5 % or 1 % either side)
// flag under chance with `groups` control groups: the count of control
// groups that reach a group is then uniform on 0..groups.
double ChanceMarkShare(int groups);
