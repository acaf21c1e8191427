#include "Coordinates.h"

#include <gtest/gtest.h>

using namespace verdan;

namespace {

TEST(DmsToDegrees, AddsMinutesAndSecondsAndAppliesTheSign) {
    const struct {
        double degrees, minutes, seconds, sign, expected;
    } cases[] = {
        {39, 4, 48, 1, 39.08}, {76, 42, 0, -1, -76.7},   {38, 55, 12, 1, 38.92}, {0, 0, 0, -1, 0.0},
        {10, 60, 0, 1, 11.0},  {10, 0, 3600, -1, -11.0}, {0, 30, 0, -1, -0.5},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(DmsToDegrees(c.degrees, c.minutes, c.seconds, c.sign), c.expected, 1e-12)
            << c.degrees << " " << c.minutes << " " << c.seconds << " sign " << c.sign;
    }
}

TEST(DdToDms, TruncatesEachPart) {
    const struct {
        double dd, degrees, minutes, seconds, sign;
    } cases[] = {
        {39.08, 39, 4, 47, 1}, // 39.08 lies just below itself in binary
        {40.05, 40, 2, 59, 1}, // so does 40.05
        {76.7, 76, 42, 0, 1},  {38.92, 38, 55, 12, 1}, {0.0, 0, 0, 0, 1},
        {10.5, 10, 30, 0, 1},  {-0.5, -1, 30, 0, -1},
    };
    for (const auto& c : cases) {
        const Dms dms = DdToDms(c.dd);
        EXPECT_EQ(dms.degrees, c.degrees) << c.dd;
        EXPECT_EQ(dms.minutes, c.minutes) << c.dd;
        EXPECT_EQ(dms.seconds, c.seconds) << c.dd;
        EXPECT_EQ(dms.sign, c.sign) << c.dd;
    }
}

TEST(GreatCircleDistance, KnownLengths) {
    // One degree of a meridian and of the equator on the mean sphere.
    EXPECT_NEAR(greatCircleDistanceM(0, 0, 1, 0), 111195.08, 0.1);
    EXPECT_NEAR(greatCircleDistanceM(0, 0, 0, -1), 111195.08, 0.1);
    EXPECT_DOUBLE_EQ(greatCircleDistanceM(39.08, -76.7, 39.08, -76.7), 0.0);
    // Half a metre of latitude.
    EXPECT_NEAR(greatCircleDistanceM(39.08, -76.7, 39.08 + 0.5 / 111195.08, -76.7), 0.5, 1e-3);
}

} // namespace
