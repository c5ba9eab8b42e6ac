#include "probability/control_statistics.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "probability/cell_tests.h"

void RunningMoments::Add(double x) {
  ++n;
  const double delta = x - mean;
  mean += delta / static_cast<double>(n);
  m2 += delta * (x - mean);
}

void RunningMoments::Join(const RunningMoments& later) {
  if (later.n == 0) return;
  if (n == 0) {
    *this = later;
    return;
  }
  const double na = static_cast<double>(n), nb = static_cast<double>(later.n);
  const double total = na + nb;
  const double delta = later.mean - mean;
  mean += delta * nb / total;
  m2 += later.m2 + delta * delta * na * nb / total;
  n += later.n;
}

double RunningMoments::Sd() const {
  if (n < 2) return 0;
  return std::sqrt(std::max(m2, 0.0) / static_cast<double>(n - 1));
}

void BlockSums::Add(double x) {
  if (n == 0) shift = x;
  const double d = x - shift;
  sum += d;
  squares += d * d;
  ++n;
}

RunningMoments BlockSums::Moments() const {
  RunningMoments m;
  if (n == 0) return m;
  const double count = static_cast<double>(n);
  m.n = n;
  m.mean = shift + sum / count;
  m.m2 = std::max(squares - sum * sum / count, 0.0);
  return m;
}

// ---- ControlStatistics -------------------------------------------------------

ControlStatistics::ControlStatistics(int c, const GroupValues& real)
    : c_(std::clamp(c, 0, kBodies - 1)),
      cells_(TableCells(c_)),
      countGe_(cells_.size(), 0),
      countLe_(cells_.size(), 0),
      moments_(cells_.size()),
      block_(cells_.size()) {
  real_.reserve(cells_.size());
  for (const TableCell& cell : cells_) real_.push_back(ValueAt(real, cell));
}

void ControlStatistics::Add(const GroupValues& mean) {
  std::size_t k = 0;
  auto take = [&](double x) {
    // The real group's values have the files' six decimals: a control
    // value within their resolution counts as equal, as in the
    // specified counts.
    countGe_[k] += x >= real_[k] - kFileResolution;
    countLe_[k] += x <= real_[k] + kFileResolution;
    block_[k].Add(x);
    ++k;
  };
  // The values in the order of TableCells.
  for (MatrixKind kind : kMatrixKinds) {
    for (int i = 0; i <= c_; ++i) {
      for (int j = 0; j <= c_; ++j) take(mean.cell[kind][i][j]);
      take(mean.row[kind][i]);
    }
    take(mean.total[kind]);
  }
  if (++inBlock_ == kStatisticsBlock) JoinBlock();
}

void ControlStatistics::Finish() { JoinBlock(); }

void ControlStatistics::JoinBlock() {
  for (std::size_t k = 0; k < cells_.size(); ++k) {
    moments_[k].Join(block_[k].Moments());
    block_[k] = BlockSums{};
  }
  inBlock_ = 0;
}

// ---- FamilyRanks ---------------------------------------------------------------

FamilyRanks::FamilyRanks(std::vector<TableCell> family, const GroupValues& real, int groups,
                         std::size_t budgetBytes)
    : family_(std::move(family)), groups_(std::max(groups, 0)) {
  for (const TableCell& cell : family_) real_.push_back(ValueAt(real, cell));
  const std::size_t perCell = std::max<std::size_t>(1, static_cast<std::size_t>(groups_) * sizeof(double));
  cellsPerPass_ = std::max<std::size_t>(1, budgetBytes / perCell);
  if (!family_.empty())
    passes_ = static_cast<int>((family_.size() + cellsPerPass_ - 1) / cellsPerPass_);
  const std::size_t kept = std::min(cellsPerPass_, family_.size());
  kept_.assign(kept * static_cast<std::size_t>(groups_), 0.0);
  smallestTails_.assign(static_cast<std::size_t>(groups_), groups_ + 1);
}

std::size_t FamilyRanks::FirstCell(int pass) const {
  return std::min(family_.size(), static_cast<std::size_t>(pass) * cellsPerPass_);
}

std::size_t FamilyRanks::EndCell(int pass) const {
  return std::min(family_.size(), FirstCell(pass) + cellsPerPass_);
}

void FamilyRanks::Keep(int pass, int g, const GroupValues& mean) {
  if (g < 0 || g >= groups_) return;
  const std::size_t first = FirstCell(pass), end = EndCell(pass);
  const auto G = static_cast<std::size_t>(groups_);
  for (std::size_t k = first; k < end; ++k)
    kept_[(k - first) * G + static_cast<std::size_t>(g)] = ValueAt(mean, family_[k]);
}

void FamilyRanks::RankPass(int pass) {
  const std::size_t first = FirstCell(pass), end = EndCell(pass);
  const auto G = static_cast<std::size_t>(groups_);
  for (std::size_t k = first; k < end; ++k) {
    const std::span<const double> values(kept_.data() + (k - first) * G, G);
    KeepSmallestTails(values, real_[k], smallestTails_);
  }
  // The last pass's values are not needed any more.
  if (end == family_.size()) {
    kept_.clear();
    kept_.shrink_to_fit();
  }
}
