#include "profile.h"

#include "preparation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace pmverdan {
namespace {

std::vector<double> elevations(int intervals, double (*f)(int)) {
    std::vector<double> z(static_cast<size_t>(intervals) + 1);
    for (int i = 0; i <= intervals; ++i) {
        z[static_cast<size_t>(i)] = f(i);
    }
    return z;
}

TEST(FitProfileLine, ReproducesAStraightProfile) {
    const auto z = elevations(100, [](int i) { return 50.0 + 2.0 * i; });
    const ProfileView view{100, 30.0, z.data()};
    const std::pair<double, double> ranges[] = {
        {0.0, 3000.0}, {300.0, 2700.0}, {1500.0, 1510.0}, {-100.0, 9000.0}};
    for (const auto& [x1M, x2M] : ranges) {
        double start = 0.0;
        double end = 0.0;
        fitProfileLine(view, x1M, x2M, start, end);
        EXPECT_NEAR(start, 50.0, 1e-9) << "range " << x1M << ".." << x2M;
        EXPECT_NEAR(end, 250.0, 1e-9) << "range " << x1M << ".." << x2M;
    }
}

TEST(FindHorizons, AHillHidesTheFarEnd) {
    auto z = elevations(100, [](int) { return 0.0; });
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
    const auto z = elevations(200, [](int i) {
        if (i == 0 || i == 200) {
            return 150.0;
        }
        return i < 40 || i > 160 ? 100.0 : 300.0;
    });
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

} // namespace
} // namespace pmverdan
