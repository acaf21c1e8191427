// The inverse of the complementary standard normal distribution.
#pragma once

namespace pmverdan {

// The standard normal deviate exceeded with probability q (q a fraction; values closer than
// 1e-6 to 0 or 1 are clamped there). Rational approximation, absolute error below 4.5e-4.
double inverseComplementaryNormal(double q);

} // namespace pmverdan
