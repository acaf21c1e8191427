#include "ProfilePlot.h"

#include <gtest/gtest.h>

using namespace verdan;

namespace {

TEST(PlotProfile, FlatProfilesAreWidened) {
    const ProfilePlot plot = PlotProfile(std::vector<float>(801, 0.0F), 520, 200);
    EXPECT_DOUBLE_EQ(plot.lowM, -0.25);
    EXPECT_DOUBLE_EQ(plot.highM, 1.25);
    const auto& profile = plot.strokes.at(3).points;
    ASSERT_EQ(profile.size(), 802U);
    EXPECT_DOUBLE_EQ(profile[400].y(), 180.0 - 0.25 / 1.5 * 180.0);
    EXPECT_DOUBLE_EQ(PlotProfile(std::vector<float>(10, 250.0F), 520, 200).lowM, 249.75);
}

TEST(PlotProfile, TheProfileRunsFromTheBaseLineThroughEachPoint) {
    const ProfilePlot plot = PlotProfile({0.0F, 100.0F}, 520, 200);
    EXPECT_DOUBLE_EQ(plot.lowM, -25);
    EXPECT_DOUBLE_EQ(plot.highM, 125);
    ASSERT_EQ(plot.strokes.size(), 5U);
    EXPECT_EQ(plot.strokes[3].points, (std::vector<QPointF>{{0, 180},
                                                            {0, 180.0 - 25.0 / 150.0 * 180.0},
                                                            {500, 180.0 - 125.0 / 150.0 * 180.0}}));
}

TEST(PlotProfile, EmptyAndSinglePointProfilesDoNotDivideByZero) {
    EXPECT_EQ(PlotProfile({}, 520, 200).strokes.at(3).points.size(), 1U);
    const ProfilePlot one = PlotProfile({42.0F}, 520, 200);
    EXPECT_EQ(one.strokes.at(3).points.at(1).x(), 0.0);
}

TEST(ProfileElevations, CopiesTheElevationsOfTheModelLayout) {
    EXPECT_EQ(profileElevations({2, 10, 1.5, 2.5, 3.5}), (std::vector<float>{1.5F, 2.5F, 3.5F}));
    EXPECT_TRUE(profileElevations({1, 10}).empty());
}

} // namespace
