#include "probability/beta_distribution.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
constexpr double kTiny = 1e-300;  // keeps Lentz's denominators away from 0
constexpr int kMaxFractionTerms = 200000;

bool ValidShape(double a, double b) { return a > 0 && b > 0 && std::isfinite(a) && std::isfinite(b); }

double LogBeta(double a, double b) { return std::lgamma(a) + std::lgamma(b) - std::lgamma(a + b); }

// The continued fraction of I_x(a, b) (without its prefactor), evaluated
// by the modified Lentz method; it converges fast for x < (a + 1) / (a + b + 2).
double BetaFraction(double x, double a, double b) {
  const double qab = a + b, qap = a + 1, qam = a - 1;
  double c = 1;
  double d = 1 - qab * x / qap;
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1 / d;
  double h = d;
  for (int m = 1; m <= kMaxFractionTerms; ++m) {
    const double m2 = 2.0 * m;
    // The even step d_{2m}.
    double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    h *= d * c;
    // The odd step d_{2m+1}.
    aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1) <= kEpsilon) break;
  }
  return h;
}

// I_x(a, b) for 0 < x < 1 with ln B(a, b) given.
double IncompleteBeta(double x, double a, double b, double logBeta) {
  const double front = std::exp(a * std::log(x) + b * std::log1p(-x) - logBeta);
  if (x < (a + 1) / (a + b + 2)) return front * BetaFraction(x, a, b) / a;
  return 1 - front * BetaFraction(1 - x, b, a) / b;
}

}  // namespace

double RegularizedIncompleteBeta(double x, double a, double b) {
  if (std::isnan(x) || !ValidShape(a, b)) return std::numeric_limits<double>::quiet_NaN();
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  return IncompleteBeta(x, a, b, LogBeta(a, b));
}

double BetaQuantile(double p, double a, double b) {
  if (std::isnan(p) || !ValidShape(a, b)) return std::numeric_limits<double>::quiet_NaN();
  if (p <= 0) return 0;
  if (p >= 1) return 1;
  const double logBeta = LogBeta(a, b);
  // I_lo < p <= I_hi throughout; x starts at the mean.
  double lo = 0, hi = 1;
  double x = a / (a + b);
  for (int iteration = 0; iteration < 4000; ++iteration) {
    const double f = IncompleteBeta(x, a, b, logBeta) - p;
    if (f == 0) return x;
    if (f < 0)
      lo = x;
    else
      hi = x;
    const double density =
        std::exp((a - 1) * std::log(x) + (b - 1) * std::log1p(-x) - logBeta);
    // A density of 0 or infinity gives no Newton step: bisect.
    double next = density > 0 && std::isfinite(density) ? x - f / density : lo;
    if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
    if (next == x || std::fabs(next - x) <= 2 * kEpsilon * next || hi - lo <= 2 * kEpsilon * hi)
      return next;
    x = next;
  }
  return x;
}
