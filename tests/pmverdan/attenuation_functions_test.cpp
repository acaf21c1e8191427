#include "attenuation_functions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pmverdan {
namespace {

TEST(HeightGain, ContinuousWhereItsFormsMeet) {
    for (double pk : {0.001, 0.01, 0.1}) {
        EXPECT_NEAR(heightGainDb(200.0 - 1e-9, pk), heightGainDb(200.0, pk), 1.0) << "pk " << pk;
    }
    // The blend ends with a weight of about 0.1 %: a step below 0.1 dB.
    EXPECT_NEAR(heightGainDb(2000.0 - 1e-9, 0.01), heightGainDb(2000.0, 0.01), 0.1);
}

TEST(ScatterAngleDistance, NearlyContinuousAcrossItsRanges) {
    EXPECT_NEAR(scatterAngleDistanceDb(10e3), scatterAngleDistanceDb(10e3 + 1e-6), 0.01);
    EXPECT_NEAR(scatterAngleDistanceDb(70e3), scatterAngleDistanceDb(70e3 + 1e-6), 0.5);
}

} // namespace
} // namespace pmverdan
