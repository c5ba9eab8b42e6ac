// The straightforward chart (reference_chart.h).
#include "reference_chart.h"

#include <cmath>
#include <cstdlib>

#include "core/lunar_arguments.h"
#include "core/lunar_terms.h"
#include "core/planet_elements.h"

namespace reference {

double Mod360(double x) { return x - 360 * std::floor(x / 360); }

double Julian(int year, int month, int day, int hour, int minute, int zone) {
  const bool gregorian = year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day >= 15)));
  const double t = day + (hour - zone) / 24.0 + minute / 1440.0;
  if (month <= 2) {
    month += 12;
    year -= 1;
  }
  double B = 0;
  if (gregorian) {
    const int A = year / 100;
    B = 2 - A + A / 4;
  }
  return std::trunc(365.25 * (year + 4716)) + std::trunc(30.6001 * (month + 1)) + t + B - 1524.5;
}

double Sidereal(double jd, double jd0, int lonDeg, int lonMin) {
  const double T = (jd0 - 2451545) / 36525;
  double theta =
      280.46061837 + 360.98564736629 * (jd - 2451545) + 0.000387933 * T * T - T * T * T / 38710000;
  if (theta > 0)
    while (theta > 0) theta -= 360;
  else
    while (theta < 0) theta += 360;
  double h = lonDeg + theta + lonMin / 60.0;
  if (h > 360) h -= 360;
  double s = h / 360 * 24;
  if (s >= 0)
    while (s > 24) s -= 24;
  else
    while (s < 0) s += 24;
  return s;
}

double Midheaven(double s) {
  const double c = std::trunc(s > 24 ? s - 24 : s);
  double m;
  if (s == c) {
    const double theta = s * 15 * kRad;
    m = std::atan2(std::sin(theta), std::cos(theta) * 0.917436945) / kRad;
  } else {
    const double a = std::atan(std::tan(s * 2 * kPi / 24) / 0.917436945) / kRad;
    const int q = static_cast<int>(c / 6);
    m = q == 0 ? a : (q == 3 ? a + 360 : a + 180);
  }
  if (m < 0) m += 360;
  if (m >= 360) m -= 360;
  return m;
}

double Ascendant(double s, int latDeg, int latMin) {
  const double R = s * 15 * kRad;
  const double phi = (latDeg + latMin / 60.0) * kRad;
  double t = std::atan(-std::cos(R) / (std::sin(R) * 0.917436945 + std::tan(phi) * 0.397881203));
  t = t * 12 / kPi;
  if (t < 0) t += 24;
  double x = s + 6;
  if (x > 24) x -= 24;
  auto circular = [](double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 24.0);
    return d > 12 ? 24 - d : d;
  };
  if (circular(t + 12, x) < circular(t, x)) t += 12;
  if (t >= 24) t -= 24;
  return t * 15;
}

namespace {

double Argument(const ArgumentPolynomial& p, double T) {
  double v = p.c0 + p.c1 * T + p.c2 * T * T;
  if (p.d3 != 0) v += T * T * T / p.d3;
  if (p.d4 != 0) v += T * T * T * T / p.d4;
  return Mod360(v);
}

}  // namespace

void Moon(double jd, double& longitude, double& latitude) {
  const double T = (jd - 2451545.0) / 36525;
  const LunarArgumentSet& set = kLunarArgumentsFirstEdition;
  const double Lp = Argument(set.Lp, T), D = Argument(set.D, T), M = Argument(set.M, T);
  const double Mp = Argument(set.Mp, T), F = Argument(set.F, T);
  const double A1 = Mod360(119.75 + 131.849 * T), A2 = Mod360(53.09 + 479264.29 * T);
  const double A3 = Mod360(313.45 + 481266.484 * T);
  const double E = 1 - 0.002516 * T - 0.0000074 * T * T;
  auto factor = [E](int m) { return m == 0 ? 1.0 : (std::abs(m) == 1 ? E : E * E); };
  double l = 0, b = 0;
  for (const LunarLongitudeTerm& t : kLunarLongitudeTerms)
    l += t.sigmaL * factor(t.M) * std::sin((t.D * D + t.M * M + t.Mp * Mp + t.F * F) * kRad);
  for (const LunarLatitudeTerm& t : kLunarLatitudeTerms)
    b += t.sigmaB * factor(t.M) * std::sin((t.D * D + t.M * M + t.Mp * Mp + t.F * F) * kRad);
  l += 3958 * std::sin(A1 * kRad) + 1962 * std::sin((Lp - F) * kRad) + 318 * std::sin(A2 * kRad);
  b += -2235 * std::sin(Lp * kRad) + 382 * std::sin(A3 * kRad) + 175 * std::sin((A1 - F) * kRad) +
       175 * std::sin((A1 + F) * kRad) + 127 * std::sin((Lp - Mp) * kRad) - 115 * std::sin((Lp + Mp) * kRad);
  longitude = Lp + l / 1e6;
  latitude = b / 1e6;
}

namespace {

double Half(double X, double Y) {
  if (X == 0 && Y == 0) return 0.0;
  const double q = 2 * std::atan(Y / (std::fabs(X) + std::sqrt(X * X + Y * Y)));
  if (X >= 0 && Y < 0) return q + 2 * kPi;
  if (X < 0) return kPi - q;
  return q;
}

}  // namespace

void Planets(double T, ChartRecord& c) {
  double XE = 0, YE = 0, vE = 0, gE = 0, LE = 0;
  for (int k = 0; k < 9; ++k) {
    const OrbitalElements& el = kOrbitalElements[k];
    const double e = el.e0 + el.e1 * T;
    auto reduce = [](double d) { return (d - 360 * std::trunc(d / 360)) * kRad; };
    const double i = reduce(el.i0 + el.i1 * T), N = reduce(el.N0 + el.N1 * T);
    const double P = reduce(el.P0 + el.P1 * T), M = reduce(el.M0 + el.M1 * T);
    double E = M;
    for (int s = 0; s < 5; ++s) E = M + e * std::sin(E);
    const double a = el.a;
    const double x = a * (std::cos(E) - e), y = a * std::sqrt(1 - e * e) * std::sin(E);
    const double w = P - N;
    const double x1 = x * std::cos(w) - y * std::sin(w), y1 = y * std::cos(w) + x * std::sin(w);
    const double z = k == 0 ? 0 : y1 * std::sin(i), y2 = k == 0 ? y1 : y1 * std::cos(i);
    const double X = k == 0 ? x1 : x1 * std::cos(N) - y2 * std::sin(N);
    const double Y = k == 0 ? y2 : y2 * std::cos(N) + x1 * std::sin(N);
    const double r = std::sqrt(X * X + Y * Y + z * z);
    if (k == 0) {
      LE = Half(X, Y);
      c.pos[0] = Mod360((LE + kPi) / kRad);
      vE = 0.017203197 * std::sqrt(2 / r - 1);
      gE = std::acos(0.017203197 * e * std::sin(E) / (vE * r));
      c.motion[0] = vE / kRad / r;
      XE = X, YE = Y;
      continue;
    }
    const int b = k + 1;
    const double L = Half(X, Y);
    const double dx = X - XE, dy = Y - YE;
    const double rho = std::sqrt(dx * dx + dy * dy + z * z);
    const double G = Half(dx, dy);
    c.lat[b - 1] = std::atan(z / std::sqrt(dx * dx + dy * dy));
    const double v = 0.017203197 * std::sqrt(2 / r - 1 / a);
    const double g = std::acos((std::sqrt(a) * 0.017203197 * e * std::sin(E) / r) / v);
    c.motion[b] = (v * std::sin(g + L - G) - vE * std::sin(gE + LE - G)) / kRad / rho;
    c.pos[b] = Mod360(G / kRad);
  }
}

ChartRecord Chart(const ChartMoment& m) {
  ChartRecord c{};
  int hour = m.hour - m.summerTime, day = m.day;
  if (hour >= 24) hour -= 24, day += 1;
  if (hour < 0) hour += 24, day -= 1;
  c.jd = Julian(m.year, m.month, day, hour, m.minute, m.timeZone);
  const double jd0 = Julian(m.year, m.month, m.day, 0, 0, 0);
  c.lst = Sidereal(c.jd, jd0, m.longitudeDegrees, m.longitudeMinutes);
  double moonLatitude;
  Moon(c.jd, c.pos[1], moonLatitude);
  c.lat[0] = moonLatitude * kRad;
  const double T = (c.jd - 2433282.5) / 36525;
  Planets(T, c);
  c.pos[13] = Mod360(12.1128 - 1934.1399 * T + 0.0021 * T * T);
  c.pos[11] = Ascendant(c.lst, m.latitudeDegrees, m.latitudeMinutes);
  c.pos[12] = Midheaven(c.lst);
  c.pos[10] = Mod360(c.pos[12] - 180);
  for (int i = 0; i <= 12; ++i) c.pos[i] = Mod360(c.pos[i]);
  return c;
}

}  // namespace reference
