#include "profile.h"

#include "preparation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

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

TEST(FindHorizons, AHillHidesTheFarEnd) {
    std::vector<double> z(101, 0.0);
    z[30] = 200.0;
    alignas(8) PropRecord prop{};
    prepareSystem(100.0, 0.0, 301.0, 1, 15.0, 0.005, prop);
    prop.hg[0] = 10.0;
    prop.hg[1] = 10.0;
    prop.dist = 100 * 100.0;
    findHorizons({100, 100.0, z.data()}, prop);
    EXPECT_DOUBLE_EQ(prop.dl[0], 3000.0);
    EXPECT_DOUBLE_EQ(prop.dl[1], 7000.0);
    EXPECT_NEAR(prop.the[0], (190.0 - 0.5 * prop.gme * 3000.0 * 3000.0) / 3000.0, 1e-9);
}

TEST(AnalyseProfile, TransHorizonHeightsAboveTheFittedForeground) {
    // Each antenna on a knoll 50 m above a flat foreground, a ridge between them.
    std::vector<double> z(201, 300.0);
    std::fill(z.begin(), z.begin() + 40, 100.0);
    std::fill(z.begin() + 161, z.end(), 100.0);
    z.front() = z.back() = 150.0;
    alignas(8) PropRecord prop{};
    prepareSystem(100.0, 0.0, 301.0, 1, 15.0, 0.005, prop);
    prop.hg[0] = 10.0;
    prop.hg[1] = 10.0;
    analyseProfile({200, 250.0, z.data()}, prop);
    EXPECT_DOUBLE_EQ(prop.dl[0], 40 * 250.0);
    EXPECT_NEAR(prop.he[0], 60.0, 5.0);
    EXPECT_NEAR(prop.he[1], 60.0, 5.0);
    EXPECT_GT(prop.dh, 100.0);
}

// The terrain irregularity as the model defines it, step by step: the range resampled at
// 10 k - 5 points by a running position, the model's line (least squares, the ends weighted
// one half) fitted through them, the deviations sorted.
double definedInterdecileRangeM(const std::vector<double>& z, double spacingM, double x1M,
                                double x2M) {
    double xa = x1M / spacingM;
    const double xb = x2M / spacingM;
    const bool tooShort = xb - xa < 2.0;
    const int ka = std::clamp(static_cast<int>(0.1 * (xb - xa + 8.0)), 4, 25);
    const int n = 10 * ka - 5;
    const double step = (xb - xa) / (n - 1);
    std::vector<double> s;
    const int np = static_cast<int>(z.size()) - 1;
    int k = std::clamp(static_cast<int>(xa + 1.0), 1, np);
    for (xa -= k; static_cast<int>(s.size()) < n; xa += step) {
        for (; xa > 0.0 && k < np; ++k)
            xa -= 1.0;
        s.push_back(z.at(k) + (z.at(k) - z.at(k - 1)) * xa);
    }
    double startM = 0.0, endM = 0.0;
    fitProfileLine({n - 1, 1.0, s.data()}, 0.0, n - 1.0, startM, endM);
    for (int j = 0; j < n; ++j)
        s[j] -= startM + (endM - startM) * j / (n - 1);
    std::sort(s.begin(), s.end(), std::greater<>());
    const double rangeM = tooShort ? 0.0 : s[ka - 1] - s[n - ka];
    return rangeM / (1.0 - 0.8 * std::exp(-(x2M - x1M) / 50e3));
}

TEST(InterdecileRange, AsDefinedOnRandomProfilesAndRanges) {
    // Rough, smooth and level random terrain, ranges from a few intervals to thousands, within the
    // profile and reaching a little beyond either end.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 3000; ++round) {
        const int np = 3 + static_cast<int>(rng() % 3000);
        // Every fifth level: deviations all equal.
        const double roughM = round % 5 == 0 ? 0.0 : (round % 3 == 0 ? 0.5 : 200.0);
        std::vector<double> z(static_cast<size_t>(np) + 1);
        double walkM = 500.0;
        for (double& elevationM : z) {
            walkM += roughM * (unit(rng) - 0.5);
            elevationM = walkM + (round % 5 == 0 ? 0.0 : 30.0 * std::sin(unit(rng) * 6.0));
        }
        const double spacingM = 10.0 + 90.0 * unit(rng);
        const double x1M = (unit(rng) * 0.4 - 0.02) * np * spacingM;
        const double x2M = (1.02 - unit(rng) * 0.4) * np * spacingM;
        const double expectedM = definedInterdecileRangeM(z, spacingM, x1M, x2M);
        EXPECT_NEAR(interdecileRangeM({np, spacingM, z.data()}, x1M, x2M), expectedM,
                    1e-9 * (1.0 + expectedM))
            << "round " << round << ", " << np << " intervals, " << x1M << ".." << x2M << " m";
    }
}

} // namespace
} // namespace pmverdan
