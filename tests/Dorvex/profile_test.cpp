#include "profile.h"

#include "geodesy.h"
#include "globe.h"
#include "test_support.h"

#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace dorvex {
namespace {

using namespace test;

// Elevation metres per degree in the position-encoding folders: 1 m is 1/12000 degree,
// around a base elevation that keeps every value positive (negative ones are errors).
constexpr double kMetresPerDeg = 12000.0;
constexpr double kBaseM = 16000.0;

class GlobeProfileTest : public test::LibraryTest {
protected:
    static int profile(const std::string& folder, const Path& p, int points,
                       std::vector<float>& out) {
        out.assign(static_cast<std::size_t>(points) + 2, -7.0f);
        const std::string path = test::padded(folder, kGlobePathWidth);
        return NGET_GLOBE_PFL(static_cast<float>(p.lat1), static_cast<float>(p.lon1),
                              static_cast<float>(p.lat2), static_cast<float>(p.lon2), points,
                              out.data(), static_cast<int>(folder.size()), path.c_str());
    }
};

TEST_F(GlobeProfileTest, HundredKilometresIn800Points) {
    const std::string folder = globeFolder("flat", {}, [](double, double) { return 10.0; });
    const double dLonDeg = 100.0 / 6370.0 / kDeg;
    std::vector<float> out;
    ASSERT_EQ(profile(folder, {0.0, 10.0, 0.0, 10.0 + dLonDeg}, 800, out), 1);
    EXPECT_EQ(out[0], 800.0f);
    EXPECT_NEAR(out[1], 100000.0 / 799.0, 2e-3); // 125.156... m
    EXPECT_EQ(out[2], 0.0f);
    EXPECT_EQ(out[801], 0.0f);
}

// Every interior point lies on the great circle between the end points: the folders
// encode latitude and longitude in the elevations, and the positions read back are
// compared with GeographicLib on a sphere of 6370 km.
TEST_F(GlobeProfileTest, InteriorPointsLieOnTheGreatCircle) {
    const Path paths[] = {
        {39.08, -76.70, 38.92, -76.98}, {10.0, 20.0, 10.6, 20.0},  {-30.0, 40.8, -30.0, 40.0},
        {-45.0, 100.0, -45.6, 100.5},   {5.0, 179.6, 5.3, -179.7}, {-5.3, -179.7, -5.0, 179.6},
    };
    int index = 0;
    for (const Path& p : paths) {
        SCOPED_TRACE(testing::Message()
                     << "path " << p.lat1 << "," << p.lon1 << " - " << p.lat2 << "," << p.lon2);
        const double baseLat = p.lat1;
        const double baseLon = p.lon1;
        const auto latCode = [&](double lat, double) {
            return kBaseM + kMetresPerDeg * (lat - baseLat);
        };
        const auto lonCode = [&](double, double lon) {
            return kBaseM + kMetresPerDeg * std::remainder(lon - baseLon, 360.0);
        };
        std::vector<verdan::terrain::GeoBox> boxes;
        const double south = std::min(p.lat1, p.lat2) - 0.1, north = std::max(p.lat1, p.lat2) + 0.1;
        double west = std::min(p.lon1, p.lon2) - 0.1, east = std::max(p.lon1, p.lon2) + 0.1;
        if (std::fabs(p.lon1 - p.lon2) > 180.0) {
            boxes = {{south, 179.0, north, 180.0}, {south, -180.0, north, -179.0}};
        } else {
            boxes = {{south, west, north, east}};
        }
        const std::string latFolder = globeFolder("lat" + std::to_string(index), boxes, latCode);
        const std::string lonFolder = globeFolder("lon" + std::to_string(index), boxes, lonCode);
        ++index;
        std::vector<float> lats, lons;
        const int points = 200;
        ASSERT_EQ(profile(latFolder, p, points, lats), 1);
        ASSERT_EQ(profile(lonFolder, p, points, lons), 1);
        double s12 = 0, azi1 = 0, azi2 = 0;
        sphere().Inverse(static_cast<float>(p.lat1), static_cast<float>(p.lon1),
                         static_cast<float>(p.lat2), static_cast<float>(p.lon2), s12, azi1, azi2);
        EXPECT_NEAR(lats[1] * (points - 1), s12, 1e-5 * s12);
        for (int i = 2; i < points; ++i) {
            double lat = 0, lon = 0;
            sphere().Direct(static_cast<float>(p.lat1), static_cast<float>(p.lon1), azi1,
                            (i - 1) * s12 / (points - 1), lat, lon);
            const double gotLat =
                baseLat + (lats[static_cast<std::size_t>(i + 1)] - kBaseM) / kMetresPerDeg;
            const double gotLon =
                baseLon + (lons[static_cast<std::size_t>(i + 1)] - kBaseM) / kMetresPerDeg;
            EXPECT_NEAR(gotLat, lat, 1.5e-4) << "point " << i;
            EXPECT_NEAR(std::remainder(gotLon - lon, 360.0), 0.0, 1.5e-4 / std::cos(lat * kDeg))
                << "point " << i;
        }
    }
}

} // namespace
} // namespace dorvex
