// Building the precise ephemeris' Chebyshev table from the library, and
// evaluating it: every series of one moment side by side, the four
// values of a coefficient row in the lanes of the core's lane type
// (two pairs, or one quad where the processor has AVX2), the same
// operations in the same order on either.
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <thread>

#include "core/angles.h"
#include "core/lanes.h"
#include "core/precise_table.h"

using namespace core_detail;

namespace {

// Each series' degree, chosen by how fast and how irregularly it
// moves, and how often a part may be halved.
struct SeriesSpec {
  double segmentDays;
  int degree;
  int maxDepth;
  bool angle;  // the first value is an angle (unwrapped across 360)
};
// A body passing behind the Sun changes its deflection within hours,
// which only short parts follow (a 64-day segment halved ten times is
// 90 minutes long); the halving goes on only where it is needed.
constexpr SeriesSpec kSpecs[kPreciseSeries] = {
    {16, 10, 6, true},    // Sun
    {16, 16, 6, true},    // Moon
    {16, 12, 10, true},   // Mercury
    {16, 12, 10, true},   // Venus
    {16, 10, 10, true},   // Mars
    {64, 12, 10, true},   // Jupiter
    {64, 12, 10, true},   // Saturn
    {64, 12, 10, true},   // Uranus
    {64, 12, 10, true},   // Neptune
    {64, 12, 10, true},   // Pluto
    {64, 6, 4, true},     // mean node
    {16, 12, 4, false},   // nutation in longitude, true obliquity
    {64, 8, 4, true},     // sidereal time's remainder
};
constexpr int kNodes = kPreciseSampleDegree + 1;

// A part whose error estimate exceeds this (degrees, 0.005 arc seconds)
// is halved.
constexpr double kTailTolerance = 0.005 / 3600;

// The samples of the series of one group (segment length) at one date;
// ok[s] false where the library failed.
void SampleGroup(double segmentDays, double jd, double (&v)[kPreciseSeries][2], bool (&ok)[kPreciseSeries]) {
  for (int b = 0; b < kPreciseBodies; ++b) {
    if (kSpecs[b].segmentDays != segmentDays) continue;
    PreciseBodyValue value;
    ok[b] = PreciseBodyAt(jd, b, false, false, value);
    v[b][0] = value.longitude, v[b][1] = value.latitude;
  }
  if (kSpecs[kPreciseNutationSeries].segmentDays == segmentDays) {
    PreciseNutation n;
    ok[kPreciseNutationSeries] = PreciseNutationAt(jd, n);
    v[kPreciseNutationSeries][0] = n.longitude, v[kPreciseNutationSeries][1] = n.trueObliquity;
  }
  if (kSpecs[kPreciseSiderealSeries].segmentDays == segmentDays) {
    ok[kPreciseSiderealSeries] = true;
    const double rest = PreciseSiderealWithoutNutation(jd) - PreciseSiderealLinear(jd);
    v[kPreciseSiderealSeries][0] = std::remainder(rest, 360.0), v[kPreciseSiderealSeries][1] = 0;
  }
}

bool SampleOne(int series, double jd, double (&v)[2]) {
  if (series < kPreciseBodies) {
    PreciseBodyValue b;
    if (!PreciseBodyAt(jd, series, false, false, b)) return false;
    v[0] = b.longitude, v[1] = b.latitude;
    return true;
  }
  double all[kPreciseSeries][2];
  bool ok[kPreciseSeries];
  SampleGroup(kSpecs[series].segmentDays, jd, all, ok);
  v[0] = all[series][0], v[1] = all[series][1];
  return ok[series];
}

// cos(pi j (k + 1/2) / N) of the interpolation: row j, node k (row 1 is
// the nodes themselves).
struct NodeCosines {
  double c[kNodes][kNodes];
  NodeCosines() {
    for (int j = 0; j < kNodes; ++j)
      for (int k = 0; k < kNodes; ++k) c[j][k] = std::cos(kPi * j * (k + 0.5) / kNodes);
  }
};
const NodeCosines& Cosines() {
  static const NodeCosines table;
  return table;
}

// The date of Chebyshev node k over a..b.
double NodeDate(double a, double b, int k) { return a + (b - a) * (Cosines().c[1][k] + 1) / 2; }

// The Chebyshev interpolation of the samples f at the nodes of a..b,
// kept to the series' degree, appended to `rows` (value, second value,
// derivative per day, 0). Returns the error estimate: the coefficients
// left off and the last two of the interpolation.
double FitPart(int series, double a, double b, double (&f)[2][kNodes], std::vector<double>& rows) {
  const int n = kSpecs[series].degree;
  if (kSpecs[series].angle)
    for (int k = 1; k < kNodes; ++k) f[0][k] = f[0][k - 1] + std::remainder(f[0][k] - f[0][k - 1], 360.0);
  const NodeCosines& cosines = Cosines();
  double c[2][kNodes];
  double tail = 0;
  for (int s = 0; s < 2; ++s) {
    for (int j = 0; j < kNodes; ++j) {
      double sum = 0;
      for (int k = 0; k < kNodes; ++k) sum += f[s][k] * cosines.c[j][k];
      c[s][j] = sum * 2 / kNodes;
    }
    c[s][0] /= 2;
    double left = std::fabs(c[s][kNodes - 2]) + std::fabs(c[s][kNodes - 1]);
    for (int j = n + 1; j < kNodes - 2; ++j) left += std::fabs(c[s][j]);
    tail = std::max(tail, left);
  }
  // The derivative's coefficients (d_{k-1} = d_{k+1} + 2k c_k), per day.
  double d[kNodes + 1] = {};
  for (int k = n; k >= 1; --k) d[k - 1] = d[k + 1] + 2 * k * c[0][k];
  d[0] /= 2;
  const double perDay = 2 / (b - a);
  for (int j = 0; j <= n; ++j) rows.insert(rows.end(), {c[0][j], c[1][j], d[j] * perDay, 0.0});
  return tail;
}

// The parts of one series over a..b (fractions from..to of its base
// segment), halved while the estimate exceeds the tolerance; false where
// a sample failed.
struct SeriesFit {
  std::vector<PrecisePart> parts;  // rows counted from this fit's own
  std::vector<double> rows;
  bool ok = true;
};

void FitRange(int series, double a, double b, double to, int depth, double (&f)[2][kNodes], SeriesFit& fit) {
  const std::size_t mark = fit.rows.size();
  const double tail = FitPart(series, a, b, f, fit.rows);
  if (tail <= kTailTolerance || depth >= kSpecs[series].maxDepth) {
    fit.parts.push_back({to, static_cast<uint32_t>(mark / kPreciseRowWidth)});
    return;
  }
  fit.rows.resize(mark);
  const double mid = (a + b) / 2, width = (b - a) / kSpecs[series].segmentDays;
  for (int half = 0; half < 2 && fit.ok; ++half) {
    const double ha = half ? mid : a, hb = half ? b : mid;
    double g[2][kNodes];
    for (int k = 0; k < kNodes && fit.ok; ++k) {
      double v[2];
      fit.ok = SampleOne(series, NodeDate(ha, hb, k), v);
      g[0][k] = v[0], g[1][k] = v[1];
    }
    if (fit.ok) FitRange(series, ha, hb, half ? to : to - width / 2, depth + 1, g, fit);
  }
}

// One block of every series: each group's segments, their common
// samples, then each series' parts. fits[s] holds series s's segments
// of the block in order.
void FitBlock(double start, std::array<std::vector<SeriesFit>, kPreciseSeries>& fits) {
  for (double days : {16.0, 64.0}) {
    for (double a = start; a < start + kPreciseBlockDays; a += days) {
      const double b = a + days;
      double f[kPreciseSeries][2][kNodes];
      bool ok[kPreciseSeries], all[kPreciseSeries];
      std::fill(std::begin(all), std::end(all), true);
      for (int k = 0; k < kNodes; ++k) {
        double v[kPreciseSeries][2];
        SampleGroup(days, NodeDate(a, b, k), v, ok);
        for (int s = 0; s < kPreciseSeries; ++s) {
          if (kSpecs[s].segmentDays != days) continue;
          all[s] = all[s] && ok[s];
          f[s][0][k] = v[s][0], f[s][1][k] = v[s][1];
        }
      }
      for (int s = 0; s < kPreciseSeries; ++s) {
        if (kSpecs[s].segmentDays != days) continue;
        SeriesFit& fit = fits[s].emplace_back();
        fit.ok = all[s];
        if (fit.ok) FitRange(s, a, b, 1.0, 0, f[s], fit);
        if (!fit.ok) fit.parts.clear(), fit.rows.clear();
      }
    }
  }
}

// The Clenshaw sums of a group of series' parts at their x in -1..1, the
// four values of a row in lanes of V. The series of a group go in step
// from the highest degree down, so that their chains of dependent steps
// overlap, the loops unrolled (the degrees are constants); a series joins
// at its own degree (the steps above it would add exact zeros).
template <class V, int... S>
CORE_LANE_INLINE void SumGroup(const double* const (&rows)[kPreciseSeries], const double (&x)[kPreciseSeries],
                               PreciseTableValues& out) {
  constexpr int W = kLaneCount<V>, C = kPreciseRowWidth / W, N = sizeof...(S);
  constexpr int series[N] = {S...};
  constexpr int top = std::max({kSpecs[S].degree...});
  V b1[N][C], b2[N][C], twoX[N];
#pragma GCC unroll 4
  for (int j = 0; j < N; ++j) {
    twoX[j] = SplatLanes<V>(2 * x[series[j]]);
    for (int c = 0; c < C; ++c) b1[j][c] = b2[j][c] = SplatLanes<V>(0);
  }
#pragma GCC unroll 17
  for (int k = top; k >= 1; --k) {
#pragma GCC unroll 4
    for (int j = 0; j < N; ++j) {
      if (k > kSpecs[series[j]].degree) continue;
#pragma GCC unroll 4
      for (int c = 0; c < C; ++c) {
        const V b0 = LoadLanes<V>(rows[series[j]] + k * kPreciseRowWidth + c * W) + twoX[j] * b1[j][c] - b2[j][c];
        b2[j][c] = b1[j][c];
        b1[j][c] = b0;
      }
    }
  }
#pragma GCC unroll 4
  for (int j = 0; j < N; ++j) {
    const V X = SplatLanes<V>(x[series[j]]);
    for (int c = 0; c < C; ++c)
      StoreLanes(out.value[series[j]] + c * W, LoadLanes<V>(rows[series[j]] + c * W) + X * b1[j][c] - b2[j][c]);
  }
}

template <class V>
CORE_LANE_INLINE void SumAllRows(const double* const (&rows)[kPreciseSeries], const double (&x)[kPreciseSeries],
                                 PreciseTableValues& out) {
  SumGroup<V, 1, 0, 4, 10>(rows, x, out);  // Moon 16, Sun, Mars 10, node 6
  SumGroup<V, 2, 3, 5, 6>(rows, x, out);   // degree 12
  SumGroup<V, 7, 8, 9, 11, 12>(rows, x, out);  // degree 12, the sidereal time 8
}

template <class V>
CORE_LANE_INLINE bool ValuesAt(const PreciseTable& table, double jd, PreciseTableValues& out) {
  const double since = jd - table.start;
  if (!(since >= 0)) return false;
  const double* rows[kPreciseSeries];
  double x[kPreciseSeries];
  for (int s = 0; s < kPreciseSeries; ++s) {
    const PreciseSeries& series = table.series[s];
    const double u = since / series.segmentDays;
    if (!(u < series.firstPart.size() - 1)) return false;
    const int i = static_cast<int>(u);
    const double w = u - i;
    uint32_t p = series.firstPart[i];
    const uint32_t end = series.firstPart[i + 1];
    if (p == end) return false;
    while (p + 1 < end && w >= series.parts[p].end) ++p;
    const double from = p == series.firstPart[i] ? 0.0 : series.parts[p - 1].end;
    x[s] = 2 * (w - from) / (series.parts[p].end - from) - 1;
    rows[s] = series.rows.data() + std::size_t{series.parts[p].row} * kPreciseRowWidth;
  }
  SumAllRows<V>(rows, x, out);
  return true;
}

bool ValuesInPairs(const PreciseTable& table, double jd, PreciseTableValues& out) {
  return ValuesAt<Pair>(table, jd, out);
}

__attribute__((target("avx2"), noinline)) bool ValuesInQuads(const PreciseTable& table, double jd,
                                                            PreciseTableValues& out) {
  return ValuesAt<Quad>(table, jd, out);
}

}  // namespace

namespace core_detail {

bool PreciseTableValuesAt(const PreciseTable& table, double jd, CorePath path, PreciseTableValues& out) {
  if (path == CorePath::Avx2 && ProcessorHasAvx2()) return ValuesInQuads(table, jd, out);
  return ValuesInPairs(table, jd, out);
}

}  // namespace core_detail

std::shared_ptr<const PreciseTable> BuildPreciseTable(double first, double last, int threads) {
  auto table = std::make_shared<PreciseTable>();
  table->first = first, table->last = last;
  // A day's margin on either side.
  table->start = std::floor((first - 1) / kPreciseBlockDays) * kPreciseBlockDays;
  table->blocks = std::max(1, static_cast<int>(std::ceil((last + 1 - table->start) / kPreciseBlockDays)));
  const int count = table->blocks;
  std::vector<std::array<std::vector<SeriesFit>, kPreciseSeries>> fits(count);
  std::atomic<int> next{0};
  auto worker = [&] {
    for (int i; (i = next.fetch_add(1)) < count;) FitBlock(table->start + i * kPreciseBlockDays, fits[i]);
  };
  if (threads <= 0) threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t)
    helpers.emplace_back([&] {
      worker();
      ClosePreciseSource();
    });
  worker();
  for (std::thread& t : helpers) t.join();
  FlushPreciseNotes();
  // Each series' parts in the order of its segments.
  for (int s = 0; s < kPreciseSeries; ++s) {
    PreciseSeries& series = table->series[s];
    series.degree = kSpecs[s].degree;
    series.segmentDays = kSpecs[s].segmentDays;
    for (int i = 0; i < count; ++i) {
      for (const SeriesFit& fit : fits[i][s]) {
        series.firstPart.push_back(static_cast<uint32_t>(series.parts.size()));
        const uint32_t base = static_cast<uint32_t>(series.rows.size() / kPreciseRowWidth);
        for (const PrecisePart& part : fit.parts) series.parts.push_back({part.end, base + part.row});
        series.rows.insert(series.rows.end(), fit.rows.begin(), fit.rows.end());
      }
    }
    series.firstPart.push_back(static_cast<uint32_t>(series.parts.size()));
  }
  return table;
}

double PreciseTableFirst(const PreciseTable& table) { return table.first; }
double PreciseTableLast(const PreciseTable& table) { return table.last; }

std::size_t PreciseTableSegments(const PreciseTable& table) {
  std::size_t parts = 0;
  for (const PreciseSeries& series : table.series) parts += series.parts.size();
  return parts;
}
