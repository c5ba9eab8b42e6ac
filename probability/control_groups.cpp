#include "probability/control_groups.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/worker_pool.h"


double RandomUnit(qzRandomState& state) {
  // The same long random number as qzrandom(): 31 bits of the generator.
  const long r = static_cast<long>(qzrandom_next32(state) >> 1);
  return static_cast<double>(r % 100000) / 99999.0;
}

namespace {

int BodyCount(const ControlGroupSettings& settings) {
  return std::clamp(settings.weights.lastBody, 0, kBodies - 1) + 1;
}

// Adds one moment's matrices, weighted, to the sums.
void Accumulate(const HarmonicMatrices& m, const double (&factor)[kBodies][kBodies], int bodies,
                GroupValues& sums) {
  for (int i = 0; i < bodies; ++i) {
    for (int j = 0; j < bodies; ++j) {
      const double f = factor[i][j];
      const double h = m.H[i][j];
      const double d = m.D[i][j];
      sums.cell[MatrixKind::H][i][j] += f * h;
      sums.cell[MatrixKind::I][i][j] += f * std::fabs(h);
      sums.cell[MatrixKind::D][i][j] += f * d;
      sums.cell[MatrixKind::DA][i][j] += f * std::fabs(d);
    }
  }
}

// Means of the sums over n moments, with their row sums and totals.
void MeansOf(const GroupValues& sums, int n, int bodies, GroupValues& mean) {
  for (MatrixKind k : kMatrixKinds) {
    double total = 0;
    for (int i = 0; i < bodies; ++i) {
      double row = 0;
      for (int j = 0; j < bodies; ++j) {
        const double v = sums.cell[k][i][j] / n;
        mean.cell[k][i][j] = v;
        row += v;
      }
      mean.row[k][i] = row;
      total += row;
    }
    mean.total[k] = total;
  }
}

// Control >= real for cells, with the files' resolution.
bool Reaches(double control, double real) { return control >= real - kFileResolution; }
// Control > real for row sums and totals.
bool Exceeds(double control, double real) { return control > real + kFileResolution; }

}  // namespace

void CountControlGroup(const ControlGroupSettings& settings, const GroupValues& real,
                       const GroupValues& mean, ControlGroupCounts& counts) {
  const int bodies = BodyCount(settings);
  for (MatrixKind k : kMatrixKinds) {
    for (int i = 0; i < bodies; ++i) {
      for (int j = 0; j < bodies; ++j)
        if (Reaches(mean.cell[k][i][j], real.cell[k][i][j])) ++counts.cell[k][i][j];
      if (Exceeds(mean.row[k][i], real.row[k][i])) ++counts.row[k][i];
    }
    if (Exceeds(mean.total[k], real.total[k])) ++counts.total[k];
  }
  ++counts.groups;
}

void DrawControlGroup(const WaveTables& tables, const ControlGroupSettings& settings,
                      const GroupValues& real, qzRandomState& state,
                      ControlGroupWorkspace& workspace, GroupValues& mean,
                      ControlGroupCounts& counts) {
  const int bodies = BodyCount(settings);
  const int n = std::max(settings.eventsPerGroup, 1);
  double factor[kBodies][kBodies] = {};
  for (int i = 0; i < bodies; ++i)
    for (int j = 0; j < bodies; ++j) factor[i][j] = PairWeight(settings.weights, i, j);

  GroupValues& sums = workspace.sums;
  sums = GroupValues{};
  const double span = settings.jdEnd - settings.jdStart;
  for (int done = 0; done < n;) {
    const int chunk = std::min(n - done, ControlGroupWorkspace::kChunk);
    for (int e = 0; e < chunk; ++e)
      workspace.moments[e] = ControlMoment(settings.jdStart + RandomUnit(state) * span);
    ComputeChartBatch(tables, MatrixForm::OrderP, settings.order, workspace.moments,
                      static_cast<std::size_t>(chunk), nullptr, workspace.matrices);
    for (int e = 0; e < chunk; ++e) Accumulate(workspace.matrices[e], factor, bodies, sums);
    done += chunk;
  }
  MeansOf(sums, n, bodies, mean);
  CountControlGroup(settings, real, mean, counts);
}

int SignificanceMark(double percent) {
  if (percent <= 1 || percent >= 99) return 2;
  if (percent <= 5 || percent >= 95) return 1;
  return 0;
}

ProbabilityResult ProbabilityOf(const ControlGroupSettings& settings,
                                const ControlGroupCounts& counts) {
  ProbabilityResult r;
  const int bodies = BodyCount(settings);
  const double groups = counts.groups > 0 ? counts.groups : 1;
  for (MatrixKind k : kMatrixKinds) {
    for (int i = 0; i < bodies; ++i) {
      for (int j = 0; j < bodies; ++j) {
        r.cell[k][i][j] = 100.0 * counts.cell[k][i][j] / groups;
        if (i != j && PairWeight(settings.weights, i, j) > 0)
          r.marks[k][i][j] = SignificanceMark(r.cell[k][i][j]);
      }
      r.row[k][i] = 100.0 * counts.row[k][i] / groups;
      if (settings.weights.body[i] != 0) r.marks[k][i][bodies] = SignificanceMark(r.row[k][i]);
    }
    r.total[k] = 100.0 * counts.total[k] / groups;
  }
  return r;
}

void AddCounts(ControlGroupCounts& counts, const ControlGroupCounts& later) {
  counts.groups += later.groups;
  for (MatrixKind k : kMatrixKinds) {
    for (int i = 0; i < kBodies; ++i) {
      for (int j = 0; j < kBodies; ++j) counts.cell[k][i][j] += later.cell[k][i][j];
      counts.row[k][i] += later.row[k][i];
    }
    counts.total[k] += later.total[k];
  }
}

int GroupsPerBlock(int eventsPerGroup) {
  return std::clamp(kChartsPerBlock / std::max(eventsPerGroup, 1), 1, kMaxGroupsPerBlock);
}

namespace {

// One block of groups: the workspace of its charts, its groups' means and
// their counts.
struct ControlBlock {
  ControlGroupWorkspace workspace;
  GroupValues mean[kMaxGroupsPerBlock];
  ControlGroupCounts counts;
};

}  // namespace

int DrawControlGroupsInOrder(const WaveTables& tables, const ControlGroupSettings& settings,
                             const GroupValues& real, int groups, const qzRandomState& start,
                             ControlGroupCounts& counts, const ControlGroupVisitor& visit,
                             const ControlGroupProgress& progress) {
  const int n = std::max(settings.eventsPerGroup, 1);
  const int perBlock = GroupsPerBlock(n);
  const int threads = WorkerThreads();
  std::vector<std::unique_ptr<ControlBlock>> slots(static_cast<std::size_t>(BlockSlots(threads)));
  for (auto& slot : slots) slot = std::make_unique<ControlBlock>();
  auto groupsIn = [&](int block) { return std::min(perBlock, groups - block * perBlock); };

  BlockJob job;
  job.blocks = BlockCount(groups, perBlock);
  job.compute = [&](int block, int slot) {
    ControlBlock& out = *slots[static_cast<std::size_t>(slot)];
    qzRandomState state = start;
    qzrandom_state_advance(state, static_cast<uint64_t>(block) * perBlock * n);
    out.counts = ControlGroupCounts{};
    for (int i = 0; i < groupsIn(block); ++i)
      DrawControlGroup(tables, settings, real, state, out.workspace, out.mean[i], out.counts);
  };
  job.fold = [&](int block, int slot) {
    const ControlBlock& in = *slots[static_cast<std::size_t>(slot)];
    AddCounts(counts, in.counts);
    if (visit)
      for (int i = 0; i < groupsIn(block); ++i) visit(block * perBlock + i, in.mean[i]);
  };
  auto taken = [&](int folded) { return std::min(groups, folded * perBlock); };
  if (progress) job.pump = [&](int folded) { progress(taken(folded)); };
  return taken(RunBlocks(job, threads));
}

ControlGroupCounts CountControlGroups(const WaveTables& tables,
                                      const ControlGroupSettings& settings,
                                      const GroupValues& real, int groups, qzRandomState& state,
                                      ControlGroupWorkspace&) {
  ControlGroupCounts counts;
  const int taken = DrawControlGroupsInOrder(tables, settings, real, groups, state, counts, {});
  qzrandom_state_advance(state, static_cast<uint64_t>(taken) * std::max(settings.eventsPerGroup, 1));
  return counts;
}
