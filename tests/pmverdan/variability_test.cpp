#include "variability.h"

#include "attenuation.h"
#include "normal_deviate.h"
#include "preparation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pmverdan {
namespace {

// An area-mode path prepared for avar, at a given distance, climate and mode of variability.
struct Path {
    alignas(8) PropRecord prop{};
    alignas(8) PropvRecord propv{};
    alignas(8) PropaRecord propa{};

    Path(double distM, int32_t climate, int32_t mode, double dhM = 90.0) {
        prepareSystem(300.0, 0.0, 301.0, 1, 15.0, 0.005, prop);
        prop.hg[0] = 10.0;
        prop.hg[1] = 3.0;
        prop.dh = dhM;
        const int32_t siting[2] = {0, 0};
        prepareArea(siting, climate, mode, prop, propv);
        computeReferenceAttenuation(distM, prop, propa);
    }

    double lossAt(double timePct, double locationPct, double confidencePct) {
        return variabilityLossDb(inverseComplementaryNormal(timePct / 100.0),
                                 inverseComplementaryNormal(locationPct / 100.0),
                                 inverseComplementaryNormal(confidencePct / 100.0), prop, propv);
    }
};

TEST(VariabilityLoss, RisesWithConfidenceReliabilityAndLocations) {
    const double percents[] = {1.0, 10.0, 30.0, 50.0, 70.0, 90.0, 99.0};
    for (int32_t climate = 1; climate <= 7; ++climate) {
        for (int32_t mode = 0; mode <= 3; ++mode) {
            for (double distKm : {5.0, 50.0, 300.0}) {
                Path path(distKm * 1e3, climate, mode);
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
    Path plain(50e3, 5, 3);
    Path noLocation(50e3, 5, 13);
    Path noSituation(50e3, 5, 23);
    EXPECT_NE(plain.lossAt(50, 10, 50), plain.lossAt(50, 90, 50));
    EXPECT_DOUBLE_EQ(noLocation.lossAt(50, 10, 50), noLocation.lossAt(50, 90, 50));
    EXPECT_GT(plain.propv.sgc, 0.0);
    noSituation.lossAt(50, 50, 50);
    EXPECT_NEAR(noSituation.propv.sgc, 0.0, 1e-6);
}

TEST(VariabilityLoss, ChangeLevelDecidesWhatIsRecomputed) {
    Path path(50e3, 5, 1);
    const double at50 = path.lossAt(50, 50, 50);
    EXPECT_EQ(path.propv.lvar, 0);
    path.prop.dist = 200e3;
    EXPECT_DOUBLE_EQ(path.lossAt(50, 50, 50), at50) << "level 0 keeps the distance terms";
    path.propv.lvar = 1;
    EXPECT_NE(path.lossAt(50, 50, 50), at50) << "level 1 recomputes them";
}

} // namespace
} // namespace pmverdan
