#include "ProfileGeometry.h"

#include <gtest/gtest.h>
#include <vector>

namespace verdan {
namespace {

// At 299.792458 MHz the wavelength is 1 m: the first Fresnel zone's radius over a 10 km path
// is sqrt(x (10000 - x) / 10000), 50 m at the middle and 30 m at 1 km from an end.
constexpr double OneMetreWaveMHz = 299.792458;
const std::vector<double> FlatGround(11, 0.0);

TEST(ProfileGeometryTest, ClearanceAndFresnelRadiusOnAFlatAndACurvedEarth) {
    const struct {
        const char* what;
        double k;
        double bulgeMidM;   // 5000 x 5000 / 2kR by hand
        double worstRatio;  // (40 - bulge) / 50
    } cases[] = {
        {"flat earth", 1e12, 0, 0.8},
        {"k 4/3", 4.0 / 3.0, 1.471743, (40 - 1.471743) / 50},
        {"k 1", 1.0, 1.962323, (40 - 1.962323) / 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ProfileGeometry g = profileGeometry(FlatGround, 1000, 40, 40, OneMetreWaveMHz, c.k);
        ASSERT_EQ(g.points.size(), 11u);
        EXPECT_EQ(g.pathM, 10000);
        EXPECT_NEAR(g.points[5].fresnelRadiusM, 50, 1e-9);
        EXPECT_NEAR(g.points[1].fresnelRadiusM, 30, 1e-9);
        EXPECT_EQ(g.points[0].fresnelRadiusM, 0);
        EXPECT_NEAR(g.points[5].bulgeM, c.bulgeMidM, 1e-6);
        EXPECT_NEAR(g.points[1].bulgeM, c.bulgeMidM * 9 / 25, 1e-6); // 1000 x 9000 over 5000 x 5000
        EXPECT_NEAR(g.points[5].clearanceM(), 40 - c.bulgeMidM, 1e-6);
        ASSERT_TRUE(g.worst);
        EXPECT_TRUE(g.worst->lineOfSight);
        EXPECT_NEAR(g.worst->clearanceRatio, c.worstRatio, 1e-6);
        EXPECT_EQ(g.worst->atDistanceM, 5000);
        for (const ProfilePoint& p : g.points)
            EXPECT_EQ(p.obstruction, Obstruction::None);
    }
}

TEST(ProfileGeometryTest, ObstructionsAreMarked) {
    // Unequal antennas: the line of sight climbs from 10 m to 50 m, 4 m a kilometre. At
    // 3 km it stands at 22 m over a 15 m hill: 7 m of clearance under 0.6 x sqrt(2100)
    // = 27.5 m of planned zone. At 6 km it is at 34 m and meets a 34 m hill. At 8 km,
    // 42 m over 10 m: 32 m clear of 0.6 x 40 = 24 m.
    std::vector<double> ground = FlatGround;
    ground[3] = 15;
    ground[6] = 34;
    ground[8] = 10;
    const ProfileGeometry g = profileGeometry(ground, 1000, 10, 50, OneMetreWaveMHz, 1e12);
    EXPECT_NEAR(g.points[3].rayM, 22, 1e-9);
    EXPECT_EQ(g.points[3].obstruction, Obstruction::FresnelZone);
    EXPECT_EQ(g.points[6].obstruction, Obstruction::LineOfSight);
    EXPECT_EQ(g.points[8].obstruction, Obstruction::None);
    ASSERT_TRUE(g.worst);
    EXPECT_FALSE(g.worst->lineOfSight);
    EXPECT_EQ(g.worst->atDistanceM, 6000);
}

} // namespace
} // namespace verdan
