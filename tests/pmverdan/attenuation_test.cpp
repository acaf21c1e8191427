#include "area_path.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pmverdan {
namespace {

TEST(ReferenceAttenuation, TendsToTheSmoothEarthValuesAsDeltaHGoesToZero) {
    for (double distM : {10e3, 40e3, 150e3, 600e3}) {
        const double smooth = AreaPath(300.0, 20.0, 10.0, 0.0).arefAt(distM);
        double previousGap = INFINITY;
        for (double dhM : {10.0, 1.0, 0.1, 1e-3}) {
            const double gap = std::fabs(AreaPath(300.0, 20.0, 10.0, dhM).arefAt(distM) - smooth);
            EXPECT_LE(gap, previousGap + 1e-9) << distM << " m, delta h " << dhM << " m";
            previousGap = gap;
        }
        EXPECT_LT(previousGap, 0.05) << "delta h 1 mm at " << distM << " m";
    }
}

TEST(ReferenceAttenuation, ContinuousWhereTheRegionsMeet) {
    AreaPath path(300.0, 20.0, 10.0, 50.0);
    path.arefAt(100e3);
    const double horizonM = path.propa.dlsa;
    const double scatterM = path.propa.dx;
    ASSERT_GT(scatterM, horizonM);
    EXPECT_NEAR(path.arefAt(horizonM - 1.0), path.arefAt(horizonM), 0.01);
    EXPECT_NEAR(path.arefAt(scatterM - 1.0), path.arefAt(scatterM + 1.0), 0.01);
}

} // namespace
} // namespace pmverdan
