#include "analyses/event_analysis_compute.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "analyses/timeshift.h"
#include "core/calendar.h"
#include "core/worker_pool.h"

namespace {

// Members whose charts are computed in one batch call.
constexpr std::size_t kBatch = 64;

void ClearMatrix(HarmonicMatrix& m) { std::memset(m, 0, sizeof(HarmonicMatrix)); }

// The PairWeight of every cell, taken once for the whole group.
struct CellWeights {
  int lastBody;
  double cell[kWeightSlots][kWeightSlots];
};

CellWeights CellWeightsOf(const BodyWeights& w) {
  CellWeights p{std::min(w.lastBody, kWeightSlots - 1), {}};
  for (int l = 0; l <= p.lastBody; ++l)
    for (int g = 0; g <= p.lastBody; ++g) p.cell[l][g] = PairWeight(w, l, g);
  return p;
}

// One member's weighted cells, as the group sums take them.
using MemberCells = PerKind<double[kWeightSlots][kWeightSlots]>;

// One member's weighted matrices and its four sums (the kinds written out:
// a loop over them keeps the sums in memory and costs a tenth of the whole
// group).
void WeighMember(const CellWeights& w, const HarmonicMatrices& m, MemberCells& cells,
                 EventMember& member) {
  PerKind<double> sum = {0, 0, 0, 0};
  for (int l = 0; l <= w.lastBody; ++l) {
    for (int g = 0; g <= w.lastBody; ++g) {
      const double f = w.cell[l][g];
      const double H = f * m.H[l][g], I = f * m.I[l][g], D = f * m.D[l][g], DA = f * std::fabs(m.D[l][g]);
      sum[MatrixKind::H] += H;
      sum[MatrixKind::I] += I;
      sum[MatrixKind::D] += D;
      sum[MatrixKind::DA] += DA;
      cells[MatrixKind::H][l][g] = H;
      cells[MatrixKind::I][l][g] = I;
      cells[MatrixKind::D][l][g] = D;
      cells[MatrixKind::DA][l][g] = DA;
    }
  }
  member.SH = sum[MatrixKind::H];
  member.SI = sum[MatrixKind::I];
  member.SD = sum[MatrixKind::D];
  member.SDA = sum[MatrixKind::DA];
}

// Adds one member into the group sums; the members in their order, so that
// every sum gets the additions of a loop over the members one by one.
void AddMember(int c, const MemberCells& cells, const EventMember& member, EventGroupResult& group) {
  for (MatrixKind k : kMatrixKinds)
    for (int l = 0; l <= c; ++l)
      for (int g = 0; g <= c; ++g) group.matrix[k][l][g] += cells[k][l][g];
  group.memberTotal[MatrixKind::H] += member.SH;
  group.memberTotal[MatrixKind::I] += member.SI;
  group.memberTotal[MatrixKind::D] += member.SD;
  group.memberTotal[MatrixKind::DA] += member.SDA;
}

// One block of members: the weighted cells of each (its record, dates and
// sums go straight into the result's own member).
struct MemberBlock {
  MemberCells cells[kBatch];
};

}  // namespace

EventRecord ShiftedMember(const EventGroupSettings& settings, const EventRecord& record) {
  EventRecord r = record;
  if (settings.dayShift != 0 || settings.hourShift != 0) ShiftEventTime(r, settings.dayShift, settings.hourShift);
  return r;
}

bool ComputeEventGroup(const WaveTables& tables, const EventGroupSettings& settings,
                       std::span<const EventRecord> members, EventGroupResult& result,
                       const std::function<void(std::size_t done)>& progress) {
  result.members.clear();
  result.members.reserve(members.size());
  for (auto& m : result.matrix) ClearMatrix(m);
  for (MatrixKind k : kMatrixKinds) {
    result.memberTotal[k] = 0;
    result.total[k] = 0;
    for (double& r : result.rowSum[k]) r = 0;
  }

  const CellWeights weights = CellWeightsOf(settings.weights);
  const int c = weights.lastBody;
  result.members.resize(members.size());
  const int threads = WorkerThreads();
  std::vector<std::unique_ptr<MemberBlock>> slots(static_cast<std::size_t>(BlockSlots(threads)));
  for (auto& slot : slots) slot = std::make_unique<MemberBlock>();

  BlockJob job;
  job.blocks = BlockCount(static_cast<long long>(members.size()), static_cast<int>(kBatch));
  job.compute = [&](int block, int slot) {
    const std::size_t start = static_cast<std::size_t>(block) * kBatch;
    const std::size_t n = std::min(kBatch, members.size() - start);
    ChartMoment moments[kBatch];
    ChartRecord charts[kBatch];
    HarmonicMatrices matrices[kBatch];
    for (std::size_t i = 0; i < n; ++i) {
      EventMember& member = result.members[start + i];
      member = EventMember{};
      member.record = ShiftedMember(settings, members[start + i]);
      member.julianDate = EventJulianDate(member.record);
      moments[i] = MomentOf(member.record);
    }
    ComputeChartBatch(tables, MatrixForm::OrderP, settings.order, moments, n, charts, matrices);
    MemberBlock& out = *slots[static_cast<std::size_t>(slot)];
    for (std::size_t i = 0; i < n; ++i) {
      EventMember& member = result.members[start + i];
      member.chartJulianDate = charts[i].jd;
      WeighMember(weights, matrices[i], out.cells[i], member);
    }
  };
  job.fold = [&](int block, int slot) {
    const std::size_t start = static_cast<std::size_t>(block) * kBatch;
    const std::size_t n = std::min(kBatch, members.size() - start);
    const MemberBlock& in = *slots[static_cast<std::size_t>(slot)];
    for (std::size_t i = 0; i < n; ++i) AddMember(c, in.cells[i], result.members[start + i], result);
  };
  if (progress)
    job.pump = [&](int folded) { progress(std::min(members.size(), static_cast<std::size_t>(folded) * kBatch)); };
  const int folded = RunBlocks(job, threads);
  if (folded < job.blocks) {
    result.members.resize(static_cast<std::size_t>(folded) * kBatch);
    return false;
  }

  const double n = static_cast<double>(members.size());
  if (n == 0) return true;
  const int rows = settings.weights.lastBody;
  for (MatrixKind k : kMatrixKinds) {
    for (int l = 0; l <= rows; ++l) {
      for (int g = 0; g <= rows; ++g) {
        result.matrix[k][l][g] /= n;
        result.rowSum[k][l] += result.matrix[k][l][g];
      }
      result.total[k] += result.rowSum[k][l];
    }
  }
  return true;
}
