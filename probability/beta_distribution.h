#pragma once
// The beta distribution's cumulative function (the regularised incomplete
// beta function I_x(a, b)) and its inverse, for the exact binomial
// intervals and the bands of uniform order statistics.
//
// I_x(a, b) is evaluated by the continued fraction of the incomplete beta
// function with the modified Lentz method, on the side of the mean where
// it converges fast (x < (a + 1) / (a + b + 2), else through
// I_x(a, b) = 1 - I_{1-x}(b, a)); the prefactor x^a (1-x)^b / B(a, b)
// comes from logarithms (std::lgamma). Press et al., Numerical Recipes,
// 3rd ed., section 6.4; Lentz's method, section 5.2.
//
// Accuracy: about 14 significant digits for a, b up to 1000, about 10 for
// a, b near 100 000, where the logarithms of the gamma functions (about
// 10^6) keep that many digits of their differences.
//
// The inverse is a Newton iteration kept inside a shrinking bracket
// (bisection where a Newton step would leave it), run until the bracket
// or the step reaches the double's resolution.

// I_x(a, b) for a, b > 0; 0 for x <= 0, 1 for x >= 1; NaN for a or b not
// above 0 or any NaN argument.
double RegularizedIncompleteBeta(double x, double a, double b);

// The x in [0, 1] with I_x(a, b) = p: 0 for p <= 0, 1 for p >= 1; NaN for
// a or b not above 0 or any NaN argument.
double BetaQuantile(double p, double a, double b);
