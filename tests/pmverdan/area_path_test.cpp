// The model's parts along an area-mode path: the reference attenuation, the functions it is
// made of and the variability.
#include "attenuation.h"
#include "attenuation_functions.h"
#include "normal_deviate.h"
#include "preparation.h"
#include "variability.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pmverdan {
namespace {

// An area-mode path through the model's internals.
struct AreaPath {
    alignas(8) PropRecord prop{};
    alignas(8) PropvRecord propv{};
    alignas(8) PropaRecord propa{};

    AreaPath(double freqMhz, double hTxM, double hRxM, double dhM, int32_t climate = 5,
             int32_t mode = 1) {
        prepareSystem(freqMhz, 0.0, 301.0, 1, 15.0, 0.005, prop);
        prop.hg[0] = hTxM;
        prop.hg[1] = hRxM;
        prop.dh = dhM;
        const int32_t siting[2] = {0, 0};
        prepareArea(siting, climate, mode, prop, propv);
    }

    double arefAt(double distM) {
        computeReferenceAttenuation(distM, prop, propa);
        return prop.aref;
    }

    // The variability loss at the time, location and confidence percentages.
    double lossAt(double timePct, double locationPct, double confidencePct) {
        return variabilityLossDb(inverseComplementaryNormal(timePct / 100.0),
                                 inverseComplementaryNormal(locationPct / 100.0),
                                 inverseComplementaryNormal(confidencePct / 100.0), prop, propv);
    }
};

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
