#include "radial.h"

#include "preparation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace pmverdan {
namespace {

TEST(RepeatedDifference, EqualsSubtractingOneStepAtATime) {
    std::mt19937_64 rng(31);
    std::uniform_real_distribution<double> spacing(0.05, 400.0);
    // Spacings with few significant bits round halfway in some binade; 30 m never rounds.
    const double kinds[] = {30.0, 0.1, 92.6, 1.0 + 0x1p-52, 3.0 * 0x1p-3};
    for (int round = 0; round < 20000; ++round) {
        const double stepM = round < 5 ? kinds[round] : spacing(rng);
        const auto points = static_cast<int32_t>(1 + rng() % 60000);
        const auto count = static_cast<int32_t>(rng() % points);
        const double startM = points * stepM;
        double expectedM = startM;
        for (int32_t i = 0; i < count; ++i)
            expectedM -= stepM;
        ASSERT_EQ(repeatedDifference(startM, stepM, count), expectedM)
            << "step " << stepM << " start " << startM << " count " << count;
    }
}

struct Terrain {
    const char* name;
    double (*elevationM)(int point);
};

const Terrain kTerrains[] = {
    {"hills", [](int i) { return 300.0 + 80.0 * std::sin(i * 0.05) + 30.0 * std::sin(i * 0.9); }},
    {"ridge", [](int i) { return i > 120 && i < 135 ? 420.0 : 100.0; }},
    // The hull of a dome holds every point; a bowl's only its rims.
    {"dome", [](int i) { return 2000.0 - 0.004 * (i - 150.0) * (i - 150.0); }},
    {"bowl", [](int i) { return 500.0 + 0.01 * (i - 150.0) * (i - 150.0); }},
    {"flat", [](int) { return 42.0; }},
    {"terraces", [](int i) { return 100.0 * std::floor(i / 37.0) + (i % 2 == 0 ? 0.0 : 3.0); }},
};

// a within a relative 1e-9 of b, or the same infinity, or both not a number.
::testing::AssertionResult closeTo(double a, double b) {
    const bool close = std::isnan(b) ? std::isnan(a)
                                     : a == b || (std::isfinite(b) &&
                                                  std::fabs(a - b) <= 1e-9 * (1.0 + std::fabs(b)));
    return close ? ::testing::AssertionSuccess()
                 : ::testing::AssertionFailure() << a << " is not " << b;
}

// Compares the radial's analysis of every path with analyseProfile over the shortened profile.
void expectSameAsAnalysedAlone(const Terrain& terrain, double spacingM, double txHeightM,
                               double refractivityN, const std::vector<int32_t>& order) {
    constexpr int32_t kIntervals = 300;
    std::vector<double> z(kIntervals + 1);
    for (int i = 0; i <= kIntervals; ++i)
        z[static_cast<size_t>(i)] = terrain.elevationM(i);
    RadialProfile radial({kIntervals, spacingM, z.data()});
    for (const int32_t np : order) {
        PropRecord alone{};
        alone.hg[0] = txHeightM;
        alone.hg[1] = 2.0;
        // The system elevation changes from path to path, and the curvature with it.
        prepareSystem(900.0, z[static_cast<size_t>(np) / 2], refractivityN, 1, 15.0, 0.005, alone);
        PropRecord shared = alone;
        analyseProfile({np, spacingM, z.data()}, alone);
        radial.analyse(np, shared);
        const std::string where = std::string(terrain.name) + " " + std::to_string(spacingM) +
                                  " m " + std::to_string(txHeightM) + " m " +
                                  std::to_string(refractivityN) + " N, path " + std::to_string(np);
        EXPECT_EQ(shared.dist, alone.dist) << where;
        EXPECT_TRUE(closeTo(shared.dh, alone.dh)) << where;
        for (int j = 0; j < 2; ++j) {
            EXPECT_TRUE(closeTo(shared.he[j], alone.he[j])) << where << ", height " << j;
            EXPECT_TRUE(closeTo(shared.dl[j], alone.dl[j])) << where << ", horizon " << j;
            EXPECT_TRUE(closeTo(shared.the[j], alone.the[j])) << where << ", angle " << j;
        }
    }
}

TEST(RadialProfile, EveryPathAsAnalysedAloneInAnyOrderAndAnyRefractivity) {
    std::vector<int32_t> ascending;
    for (int32_t np = 1; np <= 300; ++np)
        ascending.push_back(np);
    // Shorter paths after longer ones start the hulls again; a refractivity far outside the
    // model's range gives a curvature the hulls were not built for (every point looked at).
    const std::vector<int32_t> jumps{250, 3, 17, 16, 300, 1, 2, 140, 139, 141};
    for (const Terrain& terrain : kTerrains) {
        for (const double spacingM : {30.0, 92.63}) {
            for (const double txHeightM : {3.0, 60.0}) {
                expectSameAsAnalysedAlone(terrain, spacingM, txHeightM, 301.0, ascending);
            }
        }
        for (const double refractivityN : {250.0, 400.0, -5000.0, 1e6}) {
            expectSameAsAnalysedAlone(terrain, 45.0, 25.0, refractivityN, jumps);
        }
    }
}

TEST(InterdecileRange, SawtoothSpreadsItsDeviationsEvenly) {
    // Teeth rising 2.5 m a point for 40 points: the deviations from the level line are spread
    // evenly over 97.5 m, so 80 % of them lie within a band of 78 m; scaled to an infinitely
    // long path by 1 / (1 - 0.8 e^-0.36).
    std::vector<double> z(1201);
    for (int i = 0; i <= 1200; ++i) {
        z[static_cast<size_t>(i)] = 100.0 * (i % 40) / 40.0;
    }
    const double expectedM = 78.0 / (1.0 - 0.8 * std::exp(-18000.0 / 50e3));
    EXPECT_NEAR(interdecileRangeM({1200, 30.0, z.data()}, 9000.0, 27000.0), expectedM, 1.0);
}

} // namespace
} // namespace pmverdan
