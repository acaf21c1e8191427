#include "normal_deviate.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pmverdan {
namespace {

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
