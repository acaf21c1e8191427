#include "profile.h"

#include "geodesy.h"
#include "globe.h"
#include "state.h"
#include "terrain_builders.h"
#include "test_support.h"

#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace dorvex {
namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;
// Elevation metres per degree in the position-encoding folders: 1 m is 1/12000 degree,
// around a base elevation that keeps every value positive (negative ones are errors).
constexpr double kMetresPerDeg = 12000.0;
constexpr double kBaseM = 16000.0;

const GeographicLib::Geodesic& sphere() {
    static const GeographicLib::Geodesic geodesic(6370000.0, 0.0);
    return geodesic;
}

struct Path {
    double lat1, lon1, lat2, lon2;
};

class GlobeProfileTest : public test::LibraryTest {
protected:
    std::string makeFolder(const std::string& name, const verdan::terrain::ElevationFn& fn,
                           const std::vector<verdan::terrain::GeoBox>& boxes) {
        const std::string folder = root() + name + "/";
        std::string error;
        EXPECT_TRUE(verdan::terrain::writeGlobeFolder(folder, fn, boxes, &error)) << error;
        return folder;
    }
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
    const std::string folder = makeFolder("flat", [](double, double) { return 10.0; }, {});
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
        const std::string latFolder = makeFolder("lat" + std::to_string(index), latCode, boxes);
        const std::string lonFolder = makeFolder("lon" + std::to_string(index), lonCode, boxes);
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

// PRFILE over a Quarn database found through the environment variables.
class QuarnProfileTest : public test::LibraryTest {
protected:
    QuarnProfileTest()
        : folder_(root() + "q/"), inf_("TOPOINFPATH", folder_), dat_("TOPODATPATH", folder_) {}

    void makeDatabase(const verdan::terrain::ElevationFn& fn) {
        verdan::terrain::QuarnDatabaseLayout layout;
        layout.name = "AREA";
        layout.spacingSec = 30;
        layout.southMin = 38 * 60;
        layout.westMin = -80 * 60;
        layout.northMin = 42 * 60;
        layout.eastMin = -74 * 60;
        layout.scale = 10;
        std::string error;
        ASSERT_TRUE(verdan::terrain::writeQuarnDatabase(folder_, layout, fn, &error)) << error;
        verdan::terrain::QuarnIndexEntry entry{"AREA",   38 * 60, -80 * 60, 42 * 60,
                                               -74 * 60, 30,      'D',      1};
        ASSERT_TRUE(verdan::terrain::writeQuarnIndex(folder_ + "TOPO.INF", {entry}, &error))
            << error;
    }

    struct Result {
        std::vector<float> dist, elev;
        int points = -1, status = -9, error = -9;
    };
    static Result run(double lat1, double lon1, double lat2, double lon2, int maxPoints,
                      const char* option = "D   ", float fill = -77.0f) {
        Result r;
        r.dist.assign(static_cast<std::size_t>(maxPoints), -1.0f);
        r.elev.assign(static_cast<std::size_t>(maxPoints), -1.0f);
        char name[kQuarnNameWidth];
        std::fill(name, name + kQuarnNameWidth, ' ');
        PRFILE(static_cast<float>(lat1 * kDeg), static_cast<float>(lon1 * kDeg),
               static_cast<float>(lat2 * kDeg), static_cast<float>(lon2 * kDeg), 450.0f, 6378137.0f,
               0.0033528110943734646f, 0, name, 4, option, fill, maxPoints, r.dist.data(),
               r.elev.data(), r.points, r.status, r.error);
        return r;
    }

private:
    std::string folder_;
    test::ScopedEnv inf_;
    test::ScopedEnv dat_;
};

TEST_F(QuarnProfileTest, MissingDataWithAndWithoutTheFillOption) {
    makeDatabase([](double, double lon) { return lon > -77.0 ? NAN : 500.0; });
    const Result filled = run(39.5, -77.2, 39.5, -76.8, 800);
    EXPECT_EQ(filled.status, 0);
    EXPECT_EQ(filled.error, 10);
    ASSERT_GT(filled.points, 50);
    EXPECT_EQ(filled.elev[0], 500.0f);
    EXPECT_EQ(filled.elev[static_cast<std::size_t>(filled.points - 1)], -77.0f);

    resetLibraryState();
    const Result stopped = run(39.5, -77.2, 39.5, -76.8, 800, "N   ");
    EXPECT_EQ(stopped.status, -1);
    EXPECT_EQ(stopped.error, 10);
    EXPECT_EQ(stopped.elev[0], 500.0f);
    EXPECT_EQ(stopped.elev.back(), -1.0f);
}

TEST_F(QuarnProfileTest, PointsOutsideTheDatabaseAreFilled) {
    makeDatabase([](double, double) { return 500.0; });
    const Result r = run(41.9, -75.0, 42.1, -75.0, 800);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.error, 13);
    EXPECT_EQ(r.elev[0], 500.0f);
    EXPECT_EQ(r.elev[static_cast<std::size_t>(r.points - 1)], -77.0f);
}

} // namespace
} // namespace dorvex
