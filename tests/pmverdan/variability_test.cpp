#include "area_path.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pmverdan {
namespace {

// An area-mode path at 300 MHz prepared for avar at a distance, climate and mode of variability.
AreaPath pathAt(double distM, int32_t climate, int32_t mode) {
    AreaPath path(300.0, 10.0, 3.0, 90.0, climate, mode);
    path.arefAt(distM);
    return path;
}

TEST(VariabilityLoss, RisesWithConfidenceReliabilityAndLocations) {
    const double percents[] = {1.0, 10.0, 30.0, 50.0, 70.0, 90.0, 99.0};
    for (int32_t climate = 1; climate <= 7; ++climate) {
        for (int32_t mode = 0; mode <= 3; ++mode) {
            for (double distKm : {5.0, 50.0, 300.0}) {
                AreaPath path = pathAt(distKm * 1e3, climate, mode);
                for (int varied = 0; varied < 3; ++varied) {
                    double previous = -INFINITY;
                    for (double pct : percents) {
                        const double t = varied == 0 ? pct : 50.0;
                        const double l = varied == 1 ? pct : 50.0;
                        const double c = varied == 2 ? pct : 50.0;
                        const double loss = path.lossAt(t, l, c);
                        EXPECT_GE(loss, previous - 1e-9)
                            << "climate " << climate << ", mode " << mode << ", " << distKm
                            << " km, percentage " << varied << " at " << pct << " %";
                        previous = loss;
                    }
                }
            }
        }
    }
}

TEST(VariabilityLoss, ModeFlagsRemoveLocationAndSituationVariability) {
    AreaPath plain = pathAt(50e3, 5, 3);
    AreaPath noLocation = pathAt(50e3, 5, 13);
    AreaPath noSituation = pathAt(50e3, 5, 23);
    EXPECT_NE(plain.lossAt(50, 10, 50), plain.lossAt(50, 90, 50));
    EXPECT_DOUBLE_EQ(noLocation.lossAt(50, 10, 50), noLocation.lossAt(50, 90, 50));
    EXPECT_GT(plain.propv.sgc, 0.0);
    noSituation.lossAt(50, 50, 50);
    EXPECT_NEAR(noSituation.propv.sgc, 0.0, 1e-6);
}

TEST(VariabilityLoss, ChangeLevelDecidesWhatIsRecomputed) {
    AreaPath path = pathAt(50e3, 5, 1);
    const double at50 = path.lossAt(50, 50, 50);
    EXPECT_EQ(path.propv.lvar, 0);
    path.prop.dist = 200e3;
    EXPECT_DOUBLE_EQ(path.lossAt(50, 50, 50), at50) << "level 0 keeps the distance terms";
    path.propv.lvar = 1;
    EXPECT_NE(path.lossAt(50, 50, 50), at50) << "level 1 recomputes them";
}

} // namespace
} // namespace pmverdan
