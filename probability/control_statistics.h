#pragma once
// What the control groups give beyond the specified counts, gathered one
// group at a time while they are drawn:
//  - ControlStatistics: per table value (cells, row sums, totals) how many
//    control groups are at or above and at or below the real group (with
//    the files' resolution, as the specified counts), and the groups' mean
//    and standard deviation;
//  - FamilyRanks: the ranks of the control groups among themselves in
//    every family cell, which the family-wise test needs (each control
//    group's smallest tail count among the control groups and the real
//    group, see cell_tests.h).
//
// Both take the groups in group order. The moments are summed in blocks
// of kStatisticsBlock consecutive groups, each block on its own, and the
// blocks joined in group order, so that the figures do not depend on how
// the blocks were computed.
//
// Memory: the ranks need every control group's value of a family cell at
// once. FamilyRanks keeps the values of as many family cells as fit into
// kRankBudgetBytes; when they do not all fit (about 50 000 groups and
// more with the IC and all bodies weighted), the control groups are drawn
// again from the same generator state for the next cells ("passes").
#include <cstddef>
#include <vector>

#include "probability/control_groups.h"
#include "probability/table_cells.h"

inline constexpr int kStatisticsBlock = 1024;
inline constexpr std::size_t kRankBudgetBytes = std::size_t{104} << 20;

// Count, mean and sum of squared deviations of values added in order
// (Welford), and the join of a later block (Chan, Golub and LeVeque).
struct RunningMoments {
  long long n = 0;
  double mean = 0;
  double m2 = 0;

  void Add(double x);
  void Join(const RunningMoments& later);
  // The sample standard deviation (n - 1); 0 below two values.
  double Sd() const;
};

// The sums of one block of groups: the values less the block's first
// value (close to the mean, so that the squares keep their digits).
struct BlockSums {
  long long n = 0;
  double shift = 0;
  double sum = 0;
  double squares = 0;

  void Add(double x);
  RunningMoments Moments() const;
};

class ControlStatistics {
 public:
  // The table values of bodies 0..c and the real group's values there.
  ControlStatistics(int c, const GroupValues& real);

  // One control group's means, the next in group order.
  void Add(const GroupValues& mean);
  // Joins the last, partial block; call once after the last group.
  void Finish();

  const std::vector<TableCell>& Cells() const { return cells_; }
  double Real(std::size_t cell) const { return real_[cell]; }
  int CountGe(std::size_t cell) const { return countGe_[cell]; }
  int CountLe(std::size_t cell) const { return countLe_[cell]; }
  const RunningMoments& Moments(std::size_t cell) const { return moments_[cell]; }

 private:
  void JoinBlock();

  int c_;
  std::vector<TableCell> cells_;
  std::vector<double> real_;
  std::vector<int> countGe_, countLe_;
  std::vector<RunningMoments> moments_;  // of the blocks joined so far
  std::vector<BlockSums> block_;         // of the current block
  int inBlock_ = 0;
};

class FamilyRanks {
 public:
  // The family cells, the real group and the number of control groups.
  FamilyRanks(std::vector<TableCell> family, const GroupValues& real, int groups,
              std::size_t budgetBytes = kRankBudgetBytes);

  // How often the control groups are drawn: each pass keeps the values of
  // the next family cells.
  int Passes() const { return passes_; }
  // Keeps control group g's values of the cells of this pass.
  void Keep(int pass, int g, const GroupValues& mean);
  // Ranks the control groups in the cells of the pass just kept; then the
  // next pass may begin.
  void RankPass(int pass);

  // Per control group its smallest tail count over the cells ranked so far
  // (G + 1 while none is).
  const std::vector<int>& SmallestTails() const { return smallestTails_; }

 private:
  std::size_t FirstCell(int pass) const;
  std::size_t EndCell(int pass) const;

  std::vector<TableCell> family_;
  std::vector<double> real_;  // the real group's value per family cell
  int groups_;
  std::size_t cellsPerPass_ = 1;
  int passes_ = 1;
  std::vector<double> kept_;  // cell-major: kept_[cell * groups + g]
  std::vector<int> smallestTails_;
};
