#include "core/waves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>

#include "core/angles.h"
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
constexpr int kBlock = 8;

// Partial sums of c(k) cos(k d) and c(k) k sin(k d) for a block of
// kBlock angles at once, the multiples k d formed by complex rotation (the
// error grows only linearly in k, staying near 1e-14), stored for the
// orders first..last as the sums reach k = 12 p - 1.
void FillBlock(WaveTables& tables, int j0, int count, int first, int last) {
  double stepC[kBlock], stepS[kBlock], c[kBlock], s[kBlock], sumH[kBlock], sumD[kBlock];
  for (int b = 0; b < kBlock; ++b) {
    const double d = (j0 + (b < count ? b : 0)) * kWaveStepDegrees * kRadiansPerDegree;
    stepC[b] = std::cos(d);
    stepS[b] = std::sin(d);
    c[b] = 1;
    s[b] = 0;
    sumH[b] = 0;
    sumD[b] = 0;
  }
  for (int k = 1; k <= 12 * last - 1; ++k) {
    const double ck = kWaveCoefficients[k % 12];
    const double kck = ck * k;
    for (int b = 0; b < kBlock; ++b) {
      const double nc = c[b] * stepC[b] - s[b] * stepS[b];
      const double ns = s[b] * stepC[b] + c[b] * stepS[b];
      c[b] = nc;
      s[b] = ns;
      sumH[b] += ck * nc;
      sumD[b] += kck * ns;
    }
    const int p = (k + 1) / 12;
    if (k % 12 == 11 && p >= first) {
      const double divisor = 19.0 * p;
      for (int b = 0; b < count; ++b) {
        tables.harmony[p][j0 + b] = sumH[b] / divisor;
        // The table holds the value for a negative difference: +sum / (19 p).
        tables.dynamic[p][j0 + b] = sumD[b] / divisor;
      }
    }
  }
}

void MirrorOrder(WaveTables& tables, int p);

void FillOrders(WaveTables& tables, int first, int last) {
  for (int j0 = 0; j0 <= kHalfSteps; j0 += kBlock)
    FillBlock(tables, j0, std::min(kBlock, kHalfSteps + 1 - j0), first, last);
  for (int p = first; p <= last; ++p) MirrorOrder(tables, p);
}

void MirrorOrder(WaveTables& tables, int p) {
  double* h = tables.harmony[p];
  double* v = tables.dynamic[p];
  for (int j = kHalfSteps + 1; j <= 18000; ++j) {
    h[j] = h[18000 - j];
    v[j] = -v[18000 - j];
  }
  // 360.02 degrees is 0.02 degrees a full turn on.
  h[18001] = h[1];
  v[18001] = v[1];
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
  double sum = 0;
  for (int k = 1; k <= 12 * p - 1; ++k) sum += kWaveCoefficients[k % 12] * k * std::sin(k * d);
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

namespace {

// e^{-i q 30 degrees} of each body's step, for the second self wave.
constexpr std::array<Rotation, 11> SelfStepRotations() {
  std::array<Rotation, 11> out{};
  for (int b = 0; b < 11; ++b) out[b] = ConstantRotation(-kSelfValueRows[b].step * 0.523598775);
  return out;
}
constexpr std::array<Rotation, 11> kSelfStep = SelfStepRotations();

// cos t + 2 cos 3t + 3 cos 5t + 3 cos 7t + 2 cos 9t + cos 11t from
// z = e^{it}, the odd powers by repeated products with z^2.
double SelfWave(Rotation z) {
  const Rotation z2 = z * z;
  const Rotation z3 = z * z2, z5 = z3 * z2, z7 = z5 * z2, z9 = z7 * z2, z11 = z9 * z2;
  return z.c + 2 * z3.c + 3 * z5.c + 3 * z7.c + 2 * z9.c + z11.c;
}

}  // namespace

double SelfValue(int body, double x) {
  if (body < 0 || body > 10) return 0;
  const SelfValueRow& row = kSelfValueRows[body];
  // B = A - q * 30 degrees is A turned by a constant.
  const Rotation a = FastRotation((x - row.shift - 15) * kRadiansPerDegree);
  const Rotation b = a * kSelfStep[body];
  return kSelfValueWeightA * SelfWave(a) + kSelfValueWeightB * SelfWave(b);
}
