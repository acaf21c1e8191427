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
