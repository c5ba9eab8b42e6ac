#pragma once
// Fundamental arguments of the lunar series as polynomials in T, Julian
// centuries from JD 2451545.0: Jean Meeus, Astronomical Algorithms, 1st
// ed. (1991) ch. 45 and 2nd ed. (1998) eqs. 47.1 to 47.5. Degrees.
// Each row is c0 + c1 T + c2 T^2 + T^3 / d3 + T^4 / d4 (a zero divisor
// means no such term); the signs of the T^3 and T^4 terms sit in d3, d4.
#include <array>

struct ArgumentPolynomial {
  double c0, c1, c2;
  double d3, d4;
};

struct LunarArgumentSet {
  ArgumentPolynomial Lp, D, M, Mp, F;
};

// 1st edition: the arguments the charts use.
inline constexpr LunarArgumentSet kLunarArgumentsFirstEdition = {
    {218.3164591, 481267.88134236, -0.0013268, 538841, -65194000},
    {297.8502042, 445267.1115168, -0.0016300, 545868, -113065000},
    {357.5291092, 35999.0502909, -0.0001536, 24490000, 0},
    {134.9634114, 477198.8676313, 0.0089970, 69699, -14712000},
    {93.2720993, 483202.0175273, -0.0034029, -3526000, 863310000},
};

// 2nd edition: the arguments of the book's worked example 47.a.
inline constexpr LunarArgumentSet kLunarArgumentsSecondEdition = {
    {218.3164477, 481267.88123421, -0.0015786, 538841, -65194000},
    {297.8501921, 445267.1114034, -0.0018819, 545868, -113065000},
    {357.5291092, 35999.0502909, -0.0001536, 24490000, 0},
    {134.9633964, 477198.8675055, 0.0087414, 69699, -14712000},
    {93.2720950, 483202.0175233, -0.0036539, -3526000, 863310000},
};

// Further arguments (both editions): A1 action of Venus, A2 of Jupiter,
// A3 flattening of the Earth; linear in T.
struct LinearArgument {
  double c0, c1;
};
inline constexpr LinearArgument kLunarA1 = {119.75, 131.849};
inline constexpr LinearArgument kLunarA2 = {53.09, 479264.29};
inline constexpr LinearArgument kLunarA3 = {313.45, 481266.484};

// Eccentricity factor of the Earth's orbit: 1 + e1 T + e2 T^2.
inline constexpr double kLunarE1 = -0.002516;
inline constexpr double kLunarE2 = -0.0000074;

// Additive terms, 0.000001 degree: longitude 3958 sin A1 + 1962 sin(L' - F)
// + 318 sin A2; latitude -2235 sin L' + 382 sin A3 + 175 sin(A1 - F)
// + 175 sin(A1 + F) + 127 sin(L' - M') - 115 sin(L' + M').
struct LunarAdditiveTerms {
  double lonA1, lonLpMinusF, lonA2;
  double latLp, latA3, latA1MinusF, latA1PlusF, latLpMinusMp, latLpPlusMp;
};
inline constexpr LunarAdditiveTerms kLunarAdditive = {3958, 1962, 318, -2235, 382, 175, 175, 127, -115};
