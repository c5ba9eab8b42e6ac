#include "core/waves.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cmath>
#include <limits>
#include <memory>

#include "core/angles.h"
#include "core/self_value.h"
#include "core/wave_coefficients.h"

using namespace core_detail;

namespace {

// Orders below 1 or above 12 are computed like order 1.
int DirectOrder(int p) { return (p < 1 || p > 12) ? 1 : p; }
// The lookups read order 12 for 13 and more, order 1 below 1.
int TableOrder(int p) { return p < 1 ? 1 : (p > 12 ? 12 : p); }

// Angles j * 0.02 for j = 0 .. 9000 are summed; the rest of the table
// follows from the waves' symmetry about 180 degrees and their period.
constexpr int kHalfSteps = 9000;
constexpr int kLastStep = kWaveSteps - 1;  // 18001, a full turn and one step
constexpr int kBlock = 8;

// 2 pi as a double and the remainder beyond it.
constexpr double kTwoPiHead = 6.283185307179586;
constexpr double kTwoPiTail = 2.4492935982947064e-16;

// The angle of table entry j in radians, rounded as the direct sums round it.
double TableAngle(int j) { return j * kWaveStepDegrees * kRadiansPerDegree; }

// angle + y - 2 pi for an angle and a y that add up to about 2 pi,
// without loss: the rounding error of the sum is recovered (two-sum), as
// the result is only a few units of the last place of 2 pi.
double TurnOffset(double angle, double y) {
  const double s = angle + y;
  const double bb = s - angle;
  const double error = (angle - (s - bb)) + (y - bb);
  return ((s - kTwoPiHead) + error) - kTwoPiTail;
}

// Partial sums of c(k) cos(k d), c(k) k sin(k d) and c(k) k^2 cos(k d) for
// a block of kBlock angles of the first half at once, the multiples k d
// formed by complex rotation (the error grows only linearly in k),
// stored for the orders first..last as the sums reach k = 12 p - 1.
// Each block also writes its mirror entries 18000 - j (and 18001 for
// j = 1). Their rounded angles are not exactly 2 pi - d, so the mirror
// values are carried over that tiny offset by the first derivative,
// which the third sum gives for the dynamic wave and the second for the
// harmony wave.
void FillBlock(WaveTables& tables, int j0, int count, int first, int last) {
  double stepC[kBlock], stepS[kBlock], c[kBlock], s[kBlock];
  double sumH[kBlock], sumD[kBlock], sumD2[kBlock];
  for (int b = 0; b < kBlock; ++b) {
    const double d = TableAngle(j0 + (b < count ? b : 0));
    stepC[b] = std::cos(d);
    stepS[b] = std::sin(d);
    c[b] = 1;
    s[b] = 0;
    sumH[b] = 0;
    sumD[b] = 0;
    sumD2[b] = 0;
  }
  for (int k = 1; k <= 12 * last - 1; ++k) {
    const double ck = kWaveCoefficients[k % 12];
    const double kck = ck * k;
    const double kkck = kck * k;
    for (int b = 0; b < kBlock; ++b) {
      const double nc = c[b] * stepC[b] - s[b] * stepS[b];
      const double ns = s[b] * stepC[b] + c[b] * stepS[b];
      c[b] = nc;
      s[b] = ns;
      sumH[b] += ck * nc;
      sumD[b] += kck * ns;
      sumD2[b] += kkck * nc;
    }
    const int p = (k + 1) / 12;
    if (k % 12 != 11 || p < first) continue;
    const double divisor = 19.0 * p;
    for (int b = 0; b < count; ++b) {
      const int j = j0 + b;
      const double H = sumH[b] / divisor;
      // The table holds the dynamic value of a negative difference: +sum / (19 p).
      const double V = sumD[b] / divisor;
      const double V1 = sumD2[b] / divisor;  // dV/dd
      tables.harmony[p][j] = H;
      tables.dynamic[p][j] = V;
      if (j < kHalfSteps) {
        // H(2 pi - y + delta) = H(y) + V(y) delta, V(2 pi - y + delta) = -V(y) + V'(y) delta.
        const int m = 2 * kHalfSteps - j;
        const double delta = TurnOffset(TableAngle(m), TableAngle(j));
        tables.harmony[p][m] = H + V * delta;
        tables.dynamic[p][m] = -V + V1 * delta;
      }
      if (j == 1) {
        // 360.02 degrees: 2 pi + y + delta, H(y) - V(y) delta and V(y) + V'(y) delta.
        const double delta = TurnOffset(TableAngle(kLastStep), -TableAngle(1));
        tables.harmony[p][kLastStep] = H - V * delta;
        tables.dynamic[p][kLastStep] = V + V1 * delta;
      }
    }
  }
}

void FillOrders(WaveTables& tables, int first, int last) {
  for (int j0 = 0; j0 <= kHalfSteps; j0 += kBlock)
    FillBlock(tables, j0, std::min(kBlock, kHalfSteps + 1 - j0), first, last);
}

double Interpolate(const double* row, double difference) {
  double x = difference * 50;
  if (!(x <= 18000)) {
    // Past a full turn (or not a number): the waves repeat every 360
    // degrees, and nothing may be read beyond the table's end.
    if (!std::isfinite(difference)) return std::numeric_limits<double>::quiet_NaN();
    x = std::fmod(difference, 360.0) * 50;
  }
  const int k = static_cast<int>(x);
  const double f = x - k;
  return row[k] + (row[k + 1] - row[k]) * f;
}

}  // namespace

double HarmonyWave(int p, double b, double c) {
  p = DirectOrder(p);
  const double d = std::fabs(b - c) * kRadiansPerDegree;
  double sum = 0;
  for (int k = 1; k <= 12 * p - 1; ++k) sum += kWaveCoefficients[k % 12] * std::cos(k * d);
  return sum / (19.0 * p);
}

double DynamicWave(int p, double b, double c) {
  p = DirectOrder(p);
  const double e = b - c;
  const double d = std::fabs(e) * kRadiansPerDegree;
  // k d rounds to a double whose error, times the weight k c(k) of up to
  // 715, would show at 1e-12 near a full turn; the error of the product
  // is recovered exactly (d split so that k times each half is exact)
  // and taken back to first order: sin(k d) = sin(q) - eps cos(q).
  const double dHead = std::bit_cast<double>(std::bit_cast<uint64_t>(d) & ~((uint64_t{1} << 27) - 1));
  const double dTail = d - dHead;
  double sum = 0;
  for (int k = 1; k <= 12 * p - 1; ++k) {
    const double q = k * d;
    const double eps = (q - k * dHead) - k * dTail;  // q - k d
    sum += kWaveCoefficients[k % 12] * k * (std::sin(q) - eps * std::cos(q));
  }
  const double V = -sum / (19.0 * p);
  return e >= 0 ? V : -V;
}

void FillWaveTableOrder(WaveTables& tables, int p) {
  if (p >= 1 && p <= 12) FillOrders(tables, p, p);
}

void FillWaveTables(WaveTables& tables) { FillOrders(tables, 1, 12); }

const WaveTables& SharedWaveTables() {
  static const std::unique_ptr<WaveTables> tables = [] {
    auto t = std::make_unique<WaveTables>();
    FillWaveTables(*t);
    return t;
  }();
  return *tables;
}

double HarmonyLookup(const WaveTables& tables, int p, double b, double c) {
  return Interpolate(tables.harmony[TableOrder(p)], std::fabs(b - c));
}

double DynamicLookup(const WaveTables& tables, int p, double b, double c) {
  const double s = b - c >= 0 ? 1 : -1;
  return -Interpolate(tables.dynamic[TableOrder(p)], std::fabs(b - c)) * s;
}

double SelfValue(int body, double x) {
  if (body < 0 || body > 10) return 0;
  return SelfValueOf(body, x);
}
