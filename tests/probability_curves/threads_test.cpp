// The fluctuations' sky and curves and the resonance curves on the worker
// pool: every point the same for every thread count as one loop over the
// points gives it.
#include <gtest/gtest.h>

#include <cstring>

#include "core/calendar.h"
#include "core/chart.h"
#include "probability/curves.h"
#include "probability/resonance.h"
#include "probability/zeitq.h"
#include "thread_counts.h"

namespace {

bool SameCurves(const CurveSet& a, const CurveSet& b) {
  return a.points == b.points && a.values.size() == b.values.size() &&
         std::memcmp(a.values.data(), b.values.data(), a.values.size() * sizeof(double)) == 0;
}

TEST(CurveThreads, TheFluctuationsOfEveryThreadCountAreThoseOfOneLoop) {
  const int points = 2 * kFluctuationBlock + 123;
  const double start = JulianDay0h(1983, 1, 1), step = 365.0 / points;
  const WeightTable w = {1, 2, 0, 1, 0.5, 1, 1, 1, 3, 1, 1, 0};
  FluctuationSky loop = MakeFluctuationSky(start, step, points);
  FillFluctuationSky(loop, 0, points);
  PerKind<CurveSet> want;
  for (MatrixKind kind : kMatrixKinds) {
    want[kind] = CurveSet(points);
    FillFluctuationCurves(SharedWaveTables(), kind, 5, w, loop, want[kind], 0, points);
  }
  for (int threads : kComparedThreadCounts) {
    SCOPED_TRACE(threads);
    WorkerThreadsScope scope(threads);
    int done = 0;
    const FluctuationSky sky = ComputeFluctuationSky(start, step, points, [&](int d) { done = d; });
    EXPECT_EQ(done, points);
    ASSERT_EQ(sky.longitudes.size(), loop.longitudes.size());
    EXPECT_EQ(std::memcmp(sky.longitudes.data(), loop.longitudes.data(),
                          loop.longitudes.size() * sizeof(BodyLongitudes)),
              0);
    for (int m = 0; m < points; ++m)
      ASSERT_TRUE(sky.dates[m].year == loop.dates[m].year && sky.dates[m].minute == loop.dates[m].minute) << m;
    for (MatrixKind kind : kMatrixKinds)
      EXPECT_TRUE(SameCurves(ComputeFluctuationCurves(SharedWaveTables(), kind, 5, w, sky), want[kind]))
          << KindName(kind);
  }
}

TEST(CurveThreads, TheResonanceCurvesOfEveryThreadCountAreThoseOfOneLoop) {
  ResonanceInput in;
  in.order = 4;
  in.weights = {57.2, 10.24, 0.31, 0.77, 0.3, 1.87, 0.84, 0.28, 0.22, 0.01, 57.2};
  in.coupling = 0.05;
  ChartMoment birth;
  birth.year = 1961, birth.month = 7, birth.day = 2, birth.hour = 14, birth.minute = 20;
  birth.timeZone = 1, birth.longitudeDegrees = 9, birth.latitudeDegrees = 49;
  ComputeChart(birth, in.birth);
  in.place = birth;
  in.startJd = JulianDate(2024, 3, 1, 12, 1, 0, 0);
  in.stepDays = 365.0 / kResonancePoints;
  const BirthMatrices matrices = BirthMatricesOf(SharedWaveTables(), in);
  ResonanceCurves want;
  FillResonanceCurves(SharedWaveTables(), in, matrices, want, 0, kResonancePoints);
  for (int threads : kComparedThreadCounts) {
    SCOPED_TRACE(threads);
    WorkerThreadsScope scope(threads);
    ResonanceCurves got;
    int done = 0;
    ComputeResonanceCurves(SharedWaveTables(), in, matrices, got, [&](int d) { done = d; });
    EXPECT_EQ(done, kResonancePoints);
    for (MatrixKind kind : kMatrixKinds) EXPECT_TRUE(SameCurves(got.kind[kind], want.kind[kind])) << KindName(kind);
  }
}

}  // namespace
