#pragma once
// Mean orbital elements of the Earth and the planets Mercury to Pluto,
// linear in T, Julian centuries from 1950 January 1, 0h (Centuries1950).
// Heliocentric, ecliptic and mean equinox of date. Each element is
// x0 + x1 T; a is constant.
#include <array>

struct OrbitalElements {
  double a;          // semi-major axis, AU
  double e0, e1;     // eccentricity
  double i0, i1;     // inclination, degrees
  double N0, N1;     // longitude of the ascending node, degrees
  double P0, P1;     // longitude of perihelion, degrees
  double M0, M1;     // mean anomaly, degrees
};

// Rows: Earth, then Mercury .. Pluto (row k is body k + 1 for k >= 1).
inline constexpr std::array<OrbitalElements, 9> kOrbitalElements = {{
    {1, 0.01673, -0.000042, 0, 0, 0, 0, 102.0804, 1.7192, 358.0007, 35999.0498},
    {0.387099, 0.205624, 0.00002, 7.0039, 0.0019, 47.739, 1.185, 76.6775, 1.5555, 318.5371, 149472.5153},
    {0.723332, 0.006797, -0.000048, 3.3941, 0.001, 76.23, 0.9, 130.8678, 1.408, 311.5052, 58517.8039},
    {1.523692, 0.093359, 0.000092, 1.85, -0.007, 49.172, 0.771, 335.1386, 1.8408, 169.4587, 19139.8585},
    {5.202561, 0.048374, -0.000016, 1.3071, -0.0052, 99.949, 1.058, 14.0112, 2.3966, 302.3368, 3033.6879},
    {9.554747, 0.054126, -0.000205, 2.4885, -0.0047, 113.239, 0.826, 91.9924, 0.5092, 65.9693, 1223.508},
    {19.21814, 0.047026, 0.000418, 0.7732, 0.0013, 73.784, 0.524, 170.496, 2.575, 287.8129, 427.2743},
    {30.10957, 0.008492, -0.000127, 1.7745, -0.0096, 131.234, 1.1, 44.5862, -20.5324, 150.3605, 240.4552},
    {39.539, 0.249423, 0.002899, 17.1433, -0.0161, 109.631, 1.374, 223.2719, 1.5826, 302.3701, 145.1781},
}};
static_assert(kOrbitalElements.size() == 9, "the Earth and eight planets");

// The Gaussian gravitational constant, AU^(3/2) per day.
inline constexpr double kGaussK = 0.017203197;
