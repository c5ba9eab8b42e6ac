// The continuum on the worker pool: the sums of every thread count are
// those of one loop over the moments, to the bit, evenly spaced and at
// random (the moments drawn in the same order).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "analyses/continuum.h"
#include "core/chart.h"
#include "core/matrices.h"
#include "qzk/random.h"
#include "thread_counts.h"

namespace {

// One loop over the moments: each chart by itself, its matrices added
// cell by cell in moment order, then weighted as the module weights.
ContinuumResult OneLoop(const ContinuumParams& p, const std::vector<double>& jds) {
  ContinuumResult r;
  const WaveTables& tables = SharedWaveTables();
  for (double jd : jds) {
    ChartRecord chart{};
    ComputeChart(ContinuumChartMoment(jd), chart);
    HarmonicMatrices m;
    BuildMatrices(tables, MatrixForm::OrderP, p.order, chart, m);
    for (int l = 0; l <= p.weights.lastBody; ++l) {
      for (int g = 0; g < 12; ++g) {
        r.SH[l][g] += m.H[l][g];
        r.SI[l][g] += std::fabs(m.H[l][g]);
        r.SD[l][g] += m.D[l][g];
        r.SDA[l][g] += std::fabs(m.D[l][g]);
      }
    }
  }
  for (int l = 0; l <= p.weights.lastBody; ++l) {
    for (int g = 0; g <= p.weights.lastBody; ++g) {
      const double w = PairWeight(p.weights, l, g);
      r.SH[l][g] = r.SH[l][g] * w + 0.0;
      r.SI[l][g] = r.SI[l][g] * w + 0.0;
      r.SD[l][g] = r.SD[l][g] * w + 0.0;
      r.SDA[l][g] = r.SDA[l][g] * w + 0.0;
    }
  }
  return r;
}

void ExpectSameSums(const ContinuumResult& got, const ContinuumResult& want) {
  EXPECT_EQ(std::memcmp(got.SH, want.SH, sizeof want.SH), 0);
  EXPECT_EQ(std::memcmp(got.SI, want.SI, sizeof want.SI), 0);
  EXPECT_EQ(std::memcmp(got.SD, want.SD, sizeof want.SD), 0);
  EXPECT_EQ(std::memcmp(got.SDA, want.SDA, sizeof want.SDA), 0);
}

ContinuumParams Period(int moments, bool random) {
  ContinuumParams p;
  p.order = 4;
  p.weights = BodyWeights{10, true, GravityWeights(2, 10)};
  p.jdStart = JulianDate(1900, 1, 1, 0, 0, 0, 0);
  p.jdEnd = JulianDate(2000, 1, 1, 0, 0, 0, 0);
  p.moments = moments;
  p.random = random;
  return p;
}

TEST(ContinuumThreads, EvenlySpacedSumsAreThoseOfOneLoopForEveryThreadCount) {
  // Not a whole number of blocks: the last block is short.
  const ContinuumParams p = Period(3051, false);
  std::vector<double> jds;
  for (int k = 0; k < p.moments; ++k) jds.push_back(ContinuumJulianDate(p, k, nullptr));
  const ContinuumResult want = OneLoop(p, jds);
  for (int threads : kComparedThreadCounts) {
    SCOPED_TRACE(threads);
    WorkerThreadsScope scope(threads);
    ContinuumResult got;
    std::vector<int> done;
    EXPECT_TRUE(ComputeContinuum(p, SharedWaveTables(), nullptr, got, [&](int d) { done.push_back(d); }));
    ExpectSameSums(got, want);
    EXPECT_TRUE(got.kept.empty());
    ASSERT_FALSE(done.empty());
    EXPECT_EQ(done.back(), p.moments);
  }
}

TEST(ContinuumThreads, RandomMomentsAreDrawnInMomentOrderForEveryThreadCount) {
  const ContinuumParams p = Period(kKeptMoments, true);
  qzrandom_seed(2718);
  std::vector<double> jds;
  for (int k = 0; k < p.moments; ++k) jds.push_back(ContinuumJulianDate(p, k, qzrand));
  const ContinuumResult want = OneLoop(p, jds);
  for (int threads : kComparedThreadCounts) {
    SCOPED_TRACE(threads);
    WorkerThreadsScope scope(threads);
    qzrandom_seed(2718);
    ContinuumResult got;
    ComputeContinuum(p, SharedWaveTables(), qzrand, got);
    EXPECT_EQ(got.kept, jds);
    ExpectSameSums(got, want);
  }
}

}  // namespace
