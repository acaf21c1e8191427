#include "normal_deviate.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pmverdan {
namespace {

// The deviate exceeded with probability q, from the exact complementary normal function.
double exactDeviate(double q) {
    double lo = -10.0;
    double hi = 10.0;
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        (0.5 * std::erfc(mid / std::sqrt(2.0)) > q ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

TEST(InverseComplementaryNormal, IsOddAboutOneHalf) {
    for (double x : {0.01, 0.1, 0.25, 0.4, 0.49, 0.4999}) {
        EXPECT_NEAR(inverseComplementaryNormal(0.5 + x), -inverseComplementaryNormal(0.5 - x),
                    1e-12)
            << "x = " << x;
    }
    // At one half the approximation leaves a residual of about 1e-9.
    EXPECT_NEAR(inverseComplementaryNormal(0.5), 0.0, 1e-8);
}

TEST(InverseComplementaryNormal, MatchesTheRationalApproximation) {
    for (double q : {0.01, 0.1, 0.26, 0.4}) {
        const double t = std::sqrt(-2.0 * std::log(q));
        const double expected = t - ((0.010328 * t + 0.802853) * t + 2.515516698) /
                                        (((0.001308 * t + 0.189269) * t + 1.432788) * t + 1.0);
        EXPECT_DOUBLE_EQ(inverseComplementaryNormal(q), expected) << "q = " << q;
    }
}

TEST(InverseComplementaryNormal, WithinItsErrorOfTheExactDeviate) {
    for (double q = 0.001; q < 1.0; q += 0.0237) {
        EXPECT_NEAR(inverseComplementaryNormal(q), exactDeviate(q), 4.5e-4) << "q = " << q;
    }
    EXPECT_NEAR(inverseComplementaryNormal(0.1), 1.2816, 4.5e-4);
}

TEST(InverseComplementaryNormal, ClampsTheEndsAndPassesNaN) {
    const double end = inverseComplementaryNormal(0.000001);
    EXPECT_DOUBLE_EQ(inverseComplementaryNormal(0.0), end);
    EXPECT_DOUBLE_EQ(inverseComplementaryNormal(-5.0), end);
    EXPECT_DOUBLE_EQ(inverseComplementaryNormal(1.0), -end);
    EXPECT_NEAR(end, 4.75, 0.01);
    EXPECT_TRUE(std::isnan(inverseComplementaryNormal(std::nan(""))));
}

} // namespace
} // namespace pmverdan
