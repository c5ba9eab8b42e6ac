#include "analyses/event_analysis_compute.h"

#include <cmath>
#include <algorithm>
#include <cstring>

#include "analyses/timeshift.h"
#include "core/calendar.h"

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

// Adds one member's weighted matrices into the group sums and returns its
// four sums (the kinds written out: a loop over them keeps the sums in
// memory and costs a tenth of the whole group).
void AddMember(const CellWeights& w, const HarmonicMatrices& m, EventGroupResult& group,
               EventMember& member) {
  PerKind<double> sum = {0, 0, 0, 0};
  PerKind<HarmonicMatrix>& cells = group.matrix;
  for (int l = 0; l <= w.lastBody; ++l) {
    for (int g = 0; g <= w.lastBody; ++g) {
      const double f = w.cell[l][g];
      const double H = f * m.H[l][g], I = f * m.I[l][g], D = f * m.D[l][g], DA = f * std::fabs(m.D[l][g]);
      sum[MatrixKind::H] += H;
      sum[MatrixKind::I] += I;
      sum[MatrixKind::D] += D;
      sum[MatrixKind::DA] += DA;
      cells[MatrixKind::H][l][g] += H;
      cells[MatrixKind::I][l][g] += I;
      cells[MatrixKind::D][l][g] += D;
      cells[MatrixKind::DA][l][g] += DA;
    }
  }
  member.SH = sum[MatrixKind::H];
  member.SI = sum[MatrixKind::I];
  member.SD = sum[MatrixKind::D];
  member.SDA = sum[MatrixKind::DA];
  for (MatrixKind k : kMatrixKinds) group.memberTotal[k] += sum[k];
}

}  // namespace

EventRecord ShiftedMember(const EventGroupSettings& settings, const EventRecord& record) {
  EventRecord r = record;
  if (settings.dayShift != 0 || settings.hourShift != 0) ShiftEventTime(r, settings.dayShift, settings.hourShift);
  return r;
}

void ComputeEventGroup(const WaveTables& tables, const EventGroupSettings& settings,
                       std::span<const EventRecord> members, EventGroupResult& result) {
  result.members.clear();
  result.members.reserve(members.size());
  for (auto& m : result.matrix) ClearMatrix(m);
  for (MatrixKind k : kMatrixKinds) {
    result.memberTotal[k] = 0;
    result.total[k] = 0;
    for (double& r : result.rowSum[k]) r = 0;
  }

  const CellWeights weights = CellWeightsOf(settings.weights);
  std::vector<ChartMoment> moments(kBatch);
  std::vector<ChartRecord> charts(kBatch);
  std::vector<HarmonicMatrices> matrices(kBatch);
  for (std::size_t start = 0; start < members.size(); start += kBatch) {
    std::size_t n = std::min(kBatch, members.size() - start);
    for (std::size_t i = 0; i < n; ++i) {
      EventMember member{};
      member.record = ShiftedMember(settings, members[start + i]);
      member.julianDate = EventJulianDate(member.record);
      moments[i] = MomentOf(member.record);
      result.members.push_back(member);
    }
    ComputeChartBatch(tables, MatrixForm::OrderP, settings.order, moments.data(), n, charts.data(),
                      matrices.data());
    for (std::size_t i = 0; i < n; ++i) {
      result.members[start + i].chartJulianDate = charts[i].jd;
      AddMember(weights, matrices[i], result, result.members[start + i]);
    }
  }

  const double n = static_cast<double>(members.size());
  if (n == 0) return;
  const int c = settings.weights.lastBody;
  for (MatrixKind k : kMatrixKinds) {
    for (int l = 0; l <= c; ++l) {
      for (int g = 0; g <= c; ++g) {
        result.matrix[k][l][g] /= n;
        result.rowSum[k][l] += result.matrix[k][l][g];
      }
      result.total[k] += result.rowSum[k][l];
    }
  }
}
