// The curves of the time-quality module, computed without any window.
#include <algorithm>
#include <cmath>

#include "core/matrices.h"
#include "core/chart.h"
#include "core/worker_pool.h"
#include "probability/zeitq.h"

namespace {

// Only the IC depends on the place; any fixed one serves (that of the
// record the person file reader starts from: 10 degrees east, 10 north).
ChartMoment TimeQualityPlace() {
  ChartMoment m;
  m.longitudeDegrees = 10;
  m.latitudeDegrees = 10;
  return m;
}

void BuildKind(const WaveTables& tables, MatrixKind kind, int order, const double* positions,
               HarmonicMatrix& M) {
  static constexpr double kNoMotion[kMatrixSize] = {};
  switch (kind) {
    case MatrixKind::H:
      BuildHarmony(tables, order, positions, M);
      break;
    case MatrixKind::I:
      BuildEnergy(tables, order, positions, M);
      break;
    default:
      BuildDynamic(tables, order, positions, M, kNoMotion);
      if (kind == MatrixKind::DA)
        for (int r = 0; r < kBodies; ++r)
          for (int s = 0; s < kBodies; ++s) M[r][s] = std::trunc(std::fabs(M[r][s]));
      break;
  }
}

// Points 0..points-1 in blocks on the worker pool; each block writes its
// own points only, so nothing is folded.
void FillInBlocks(int points, const std::function<void(int from, int to)>& fill,
                  const FluctuationProgress& progress) {
  BlockJob job;
  job.blocks = BlockCount(points, kFluctuationBlock);
  job.compute = [&](int block, int) { fill(block * kFluctuationBlock, (block + 1) * kFluctuationBlock); };
  if (progress)
    job.pump = [&](int folded) { progress(std::min(points, folded * kFluctuationBlock)); };
  RunBlocks(job, WorkerThreads());
}

}  // namespace

FluctuationSky MakeFluctuationSky(double startJd, double stepDays, int points) {
  FluctuationSky sky;
  sky.startJd = startJd;
  sky.stepDays = stepDays;
  if (points > 0) {
    sky.longitudes.resize(points);
    sky.dates.resize(points);
  }
  return sky;
}

void FillFluctuationSky(FluctuationSky& sky, int from, int to) {
  const ChartMoment place = TimeQualityPlace();
  const int points = static_cast<int>(sky.longitudes.size());
  for (int m = std::max(from, 0); m < to && m < points; ++m) {
    const double jd = sky.startJd + m * sky.stepDays;
    ChartRecord chart{};
    ChartAtJulianDate(jd, place, chart);
    for (int b = 0; b < kBodies; ++b) sky.longitudes[m][b] = chart.pos[b];
    sky.dates[m] = CalendarFromJulian(jd);
  }
}

FluctuationSky ComputeFluctuationSky(double startJd, double stepDays, int points,
                                     const FluctuationProgress& progress) {
  FluctuationSky sky = MakeFluctuationSky(startJd, stepDays, points);
  FillInBlocks(static_cast<int>(sky.longitudes.size()),
               [&](int from, int to) { FillFluctuationSky(sky, from, to); }, progress);
  return sky;
}

void FillFluctuationCurves(const WaveTables& tables, MatrixKind kind, int order, const WeightTable& w,
                           const FluctuationSky& sky, CurveSet& curves, int from, int to) {
  const int points = std::min(static_cast<int>(sky.longitudes.size()), curves.points);
  HarmonicMatrix M;
  for (int m = std::max(from, 0); m < to && m < points; ++m) {
    BuildKind(tables, kind, order, sky.longitudes[m].data(), M);
    double sum = 0;
    for (int r = 0; r < kBodies; ++r) {
      double v = 0.000001;
      if (w[r] != 0) {
        v = 0;
        for (int s = 0; s < kBodies; ++s)
          if (s != r) v += M[r][s] * w[r] * w[s];
      }
      curves[r + 1][m] = v;
      sum += v;
    }
    curves[kSumCurve][m] = sum;
  }
}

CurveSet ComputeFluctuationCurves(const WaveTables& tables, MatrixKind kind, int order,
                                  const WeightTable& w, const FluctuationSky& sky,
                                  const FluctuationProgress& progress) {
  const int points = static_cast<int>(sky.longitudes.size());
  CurveSet curves(points);
  FillInBlocks(points,
               [&](int from, int to) { FillFluctuationCurves(tables, kind, order, w, sky, curves, from, to); },
               progress);
  return curves;
}

int CountPointsOverLimit(const CurveSet& curves, double limit) {
  int count = 0;
  const double* sum = curves[kSumCurve];
  for (int m = 0; m < curves.points; ++m)
    if (sum[m] >= limit) ++count;
  return count;
}

int EventPixel(double jd, double startJd, double endJd) {
  // An event before the start is out of range, however close to it.
  if (!(endJd > startJd) || !(jd >= startJd)) return 0;
  const double x = (jd - startJd) / (endJd - startJd) * kCurveWidth;
  if (!std::isfinite(x) || x < -1e6 || x > 1e6) return 0;  // far outside: not drawn
  return static_cast<int>(x) + 1;
}

bool EventPixelInRange(int x) { return x > 0 && x < kCurveRight - kCurveLeft; }

bool EventOverLimit(MatrixKind kind, double value, double limit) {
  if (KindIsAbsolute(kind)) return value >= limit;
  return value > limit;
}
