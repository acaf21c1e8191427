#include <verdan/radio/PathGeometry.h>

#include <cmath>

#include <gtest/gtest.h>

using namespace verdan::radio;

namespace {

constexpr double FourThirdsRadiusM = 4.0 / 3.0 * 6370e3;

} // namespace

// Small-angle figures: theta = (h2 - h1) / d - d / 2R.
TEST(PathGeometry, ElevationAnglesIncludeTheEarthsCurvature) {
    const struct {
        double fromM, toM, distanceM, degrees;
    } cases[] = {{100, 100, 10'000, -0.5 * 10'000 / FourThirdsRadiusM * 180 / M_PI},
                 {100, 130, 30'000, (0.001 - 15'000 / FourThirdsRadiusM) * 180 / M_PI},
                 {500, 100, 4'000, (-0.1 - 2'000 / FourThirdsRadiusM) * 180 / M_PI}};
    for (const auto& c : cases)
        EXPECT_NEAR(elevationAngleDeg(c.fromM, c.toM, c.distanceM, FourThirdsRadiusM), c.degrees,
                    std::abs(c.degrees) * 0.004)
            << c.fromM << " " << c.toM;
}

TEST(PathGeometry, BearingsAreGeodesicClockwiseFromNorth) {
    const AntennaSite equator{0, 10, 0, 30};
    const AntennaSite east{0, 11, 0, 30};
    const PathDirections along = pathDirections(equator, east, FourThirdsRadiusM);
    EXPECT_NEAR(along.distanceM, 111'319.49, 0.01); // a pi / 180 on WGS 84
    EXPECT_NEAR(along.fromFirst.azimuthDeg, 90, 1e-9);
    EXPECT_NEAR(along.fromSecond.azimuthDeg, 270, 1e-9);
    const AntennaSite north{1, 10, 2000, 10};
    const PathDirections up = pathDirections(equator, north, FourThirdsRadiusM);
    EXPECT_NEAR(up.fromFirst.azimuthDeg, 0, 1e-9);
    EXPECT_NEAR(up.fromSecond.azimuthDeg, 180, 1e-9);
    // A higher receiver is seen above the horizon, and it sees the transmitter below.
    EXPECT_GT(up.fromFirst.elevationDeg, 0);
    EXPECT_LT(up.fromSecond.elevationDeg, 0);
}

// Flat ground 10 km long, antennas 10 m up, 1 GHz: the first Fresnel zone at mid-path has
// the radius sqrt(lambda 5000 5000 / 10000) = 27.38 m.
TEST(PathGeometry, FresnelClearanceAgainstHandFigures) {
    const std::vector<double> flat(101, 50.0);
    const auto noBulge = fresnelClearance(flat, 100, 10, 10, 1000, 1e15);
    ASSERT_TRUE(noBulge);
    EXPECT_TRUE(noBulge->lineOfSight);
    EXPECT_NEAR(noBulge->fresnelRadiusM, 27.3775, 1e-3);
    EXPECT_NEAR(noBulge->clearanceRatio, 10 / 27.3775, 1e-4);
    EXPECT_NEAR(noBulge->atDistanceM, 5000, 1e-9);
    // The bulge at mid-path over a 4/3 earth is 5000^2 / 2R = 1.4717 m.
    const auto bulge = fresnelClearance(flat, 100, 10, 10, 1000, FourThirdsRadiusM);
    EXPECT_NEAR(bulge->clearanceM, 10 - 1.4717, 1e-3);
    // A hill 2 km from the first end, 15 m above the line there.
    std::vector<double> hill = flat;
    hill[20] = 75;
    const auto blocked = fresnelClearance(hill, 100, 10, 10, 1000, 1e15);
    EXPECT_FALSE(blocked->lineOfSight);
    EXPECT_NEAR(blocked->atDistanceM, 2000, 1e-9);
    EXPECT_NEAR(blocked->clearanceM, -15, 1e-6);
    EXPECT_NEAR(blocked->fresnelRadiusM, std::sqrt(0.299792458 * 2000 * 8000 / 10000), 1e-9);
    EXPECT_FALSE(fresnelClearance({1, 2}, 100, 10, 10, 1000, 1e15));
}
