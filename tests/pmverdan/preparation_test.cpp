#include "preparation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pmverdan {
namespace {

TEST(PrepareArea, EffectiveHeightsBySiting) {
    alignas(8) PropRecord prop{};
    alignas(8) PropvRecord propv{};
    prepareSystem(100.0, 0.0, 301.0, 1, 15.0, 0.005, prop);
    prop.hg[0] = 10.0;
    prop.hg[1] = 10.0;
    prop.dh = 90.0;
    const int32_t random[2] = {0, 0};
    prepareArea(random, 5, 1, prop, propv);
    EXPECT_EQ(prop.he[0], 10.0);
    // Careful siting raises the effective height, very careful siting more.
    const int32_t siting[2] = {2, 1};
    prepareArea(siting, 5, 1, prop, propv);
    EXPECT_GT(prop.he[1], 10.5);
    EXPECT_GT(prop.he[0], prop.he[1] + 0.5);
    // With no irregularity the horizons are those of the smooth earth, with no elevation angle
    // beyond the earth's own curvature.
    prop.dh = 0.0;
    prepareArea(random, 5, 1, prop, propv);
    EXPECT_NEAR(prop.dl[0], std::sqrt(2.0 * 10.0 / prop.gme), 1e-6);
    EXPECT_NEAR(prop.the[0], -2.0 * 10.0 / prop.dl[0], 1e-12);
}

} // namespace
} // namespace pmverdan
