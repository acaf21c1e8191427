#include "ProfilePlot.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace verdan;

namespace {

// The profile runs from the base line through each point; flat, empty and single-point
// profiles are widened and do not divide by zero.
TEST(PlotProfile, TheProfileRunsFromTheBaseLineAndFlatOnesAreWidened) {
    const ProfilePlot plot = PlotProfile({0.0F, 100.0F}, 520, 200);
    EXPECT_DOUBLE_EQ(plot.lowM, -25);
    EXPECT_DOUBLE_EQ(plot.highM, 125);
    ASSERT_EQ(plot.strokes.size(), 5U);
    EXPECT_EQ(plot.strokes[3].points, (std::vector<QPointF>{{0, 180},
                                                            {0, 180.0 - 25.0 / 150.0 * 180.0},
                                                            {500, 180.0 - 125.0 / 150.0 * 180.0}}));
    const ProfilePlot flat = PlotProfile(std::vector<float>(801, 0.0F), 520, 200);
    EXPECT_DOUBLE_EQ(flat.lowM, -0.25);
    EXPECT_DOUBLE_EQ(flat.highM, 1.25);
    const auto& profile = flat.strokes.at(3).points;
    ASSERT_EQ(profile.size(), 802U);
    EXPECT_DOUBLE_EQ(profile[400].y(), 180.0 - 0.25 / 1.5 * 180.0);
    EXPECT_DOUBLE_EQ(PlotProfile(std::vector<float>(10, 250.0F), 520, 200).lowM, 249.75);
    EXPECT_EQ(PlotProfile({}, 520, 200).strokes.at(3).points.size(), 1U);
    EXPECT_EQ(PlotProfile({42.0F}, 520, 200).strokes.at(3).points.at(1).x(), 0.0);
}

// A flat 10 km path at 300 MHz, antennas 10 m up, k = 4/3. By hand: lambda = c / f =
// 0.99931 m, the first Fresnel radius at mid-path sqrt(lambda * 5000 * 5000 / 10000) =
// 49.983 m, and the earth's bulge there 5000 * 5000 / (2 * 4/3 * 6370 km) = 1.4717 m, which
// bends the straight line of sight down to 8.528 m over the flat base.
TEST(PlotProfile, TheFresnelZoneAtMidPathHasTheHandComputedRadius) {
    const ProfileOverlay overlay{1000, 10, 10, 300, 4.0 / 3.0};
    const ProfilePlot plot = PlotProfile(std::vector<float>(11, 0.0F), 520, 200, overlay);
    ASSERT_EQ(plot.strokes.size(), 8U);
    const double metresPerUnit = (plot.highM - plot.lowM) / 180.0;
    const auto heightM = [&](const QPointF& p) {
        return plot.lowM + (180.0 - p.y()) * metresPerUnit;
    };
    const QPointF lower = plot.strokes[5].points.at(5);
    const QPointF upper = plot.strokes[6].points.at(5);
    const QPointF ray = plot.strokes[7].points.at(5);
    EXPECT_DOUBLE_EQ(ray.x(), 250.0);
    EXPECT_NEAR(heightM(upper) - heightM(ray), 49.983, 0.001);
    EXPECT_NEAR(heightM(ray) - heightM(lower), 49.983, 0.001);
    EXPECT_NEAR(heightM(ray), 10 - 1.4717, 0.0001);
    // The line of sight starts and ends at the antenna tops; the zone closes there.
    EXPECT_NEAR(heightM(plot.strokes[7].points.front()), 10, 1e-9);
    EXPECT_NEAR(heightM(plot.strokes[5].points.back()), 10, 1e-9);
    // The extent takes in the zone: from 8.528 - 49.983 to 8.528 + 49.983 m, widened by a
    // quarter.
    EXPECT_NEAR(plot.lowM, -41.455 - 99.966 / 4, 0.001);
}

} // namespace
