#include "geodesy.h"

#include "test_support.h"

#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <gtest/gtest.h>

namespace dorvex {
namespace {

using namespace test;

constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 0.0033528110943734646;

const GeographicLib::Geodesic& wgs84() {
    static const GeographicLib::Geodesic geodesic(kWgs84A, kWgs84F);
    return geodesic;
}

// Angle difference in degrees, folded into -180..180.
double angleDiff(double a, double b) {
    return std::remainder(a - b, 360.0);
}

// Paths in every direction, at all latitudes, across 180 degrees, from 1 km to 2000 km.
const Path kPaths[] = {
    {39.08, -76.70, 38.92, -76.98}, {40.05, -105.26, 39.97, -105.47}, {0.0, 0.0, 0.0, 0.01},
    {0.0, 0.0, 0.009, 0.0},         {10.0, 20.0, 12.0, 25.0},         {-33.9, 18.4, -26.2, 28.0},
    {60.0, 5.0, 59.0, 10.0},        {70.0, -150.0, 71.0, -160.0},     {85.0, 0.0, 86.0, 90.0},
    {-80.0, 170.0, -79.0, -175.0},  {5.0, 179.5, 4.0, -179.0},        {-5.0, -179.8, -6.0, 179.3},
    {45.0, 10.0, 45.0, 11.0},       {45.0, 11.0, 44.99, 10.0},        {-45.0, -60.0, -55.0, -70.0},
    {20.0, 100.0, 30.0, 110.0},     {51.5, -0.1, 40.7, -74.0 + 60.0}, {-10.0, 40.0, -9.99, 40.005},
};

TEST(Dazel, InverseAgreesWithASphereOf6370Km) {
    for (const Path& p : kPaths) {
        DazelBlock block;
        block.lat1 = static_cast<float>(p.lat1);
        block.lon1 = static_cast<float>(p.lon1);
        block.lat2 = static_cast<float>(p.lat2);
        block.lon2 = static_cast<float>(p.lon2);
        DAZEL(0, block);
        double s12 = 0, azi1 = 0, azi2 = 0;
        sphere().Inverse(block.lat1, block.lon1, block.lat2, block.lon2, s12, azi1, azi2);
        SCOPED_TRACE(testing::Message()
                     << "path " << p.lat1 << "," << p.lon1 << " - " << p.lat2 << "," << p.lon2);
        EXPECT_NEAR(block.distKm * 1000.0, s12, 1e-6 * s12 + 0.01);
        EXPECT_NEAR(angleDiff(block.az12, azi1), 0.0, 1e-4);
        EXPECT_NEAR(angleDiff(block.az21, azi2 + 180.0), 0.0, 1e-4);
        EXPECT_GE(block.az12, 0.0f);
        EXPECT_LT(block.az12, 360.0f);
    }
}

// Single-precision accuracy of a geodesic distance or position: sixteen units in the last
// place of an angle of one radian on the earth (2^-24 * 16 * 6378137 m, about 6 m; the
// cancellations of Vincenty's formulas in float reach about 3 m on 1 km paths), plus 2e-6
// of the distance.
double singlePrecisionM(double distanceM) {
    return 16.0 * 6378137.0 / 16777216.0 + 2e-6 * distanceM;
}

// NGSINV distances agree with GeographicLib within single precision.
TEST(Ngsinv, AgreesWithGeographicLibFrom1KmTo2000Km) {
    const double lengthsKm[] = {1, 5, 30, 120, 450, 1000, 2000};
    const double azimuths[] = {0, 37, 90, 135, 180, 225, 290};
    int checked = 0;
    for (double lat = -85.0; lat <= 85.0; lat += 17.0) {
        for (double lengthKm : lengthsKm) {
            for (double az : azimuths) {
                double lat2 = 0, lon2 = 0;
                wgs84().Direct(lat, 30.0, az, lengthKm * 1000.0, lat2, lon2);
                const float lat1f = static_cast<float>(lat * kDeg);
                const float lon1f = static_cast<float>(30.0 * kDeg);
                const float lat2f = static_cast<float>(lat2 * kDeg);
                const float lon2f = static_cast<float>(lon2 * kDeg);
                float az12 = 0, az21 = 0, s = 0;
                NGSINV(static_cast<float>(kWgs84A), static_cast<float>(kWgs84F), lat1f, lon1f,
                       lat2f, lon2f, az12, az21, s);
                double reference = 0, azi1 = 0, azi2 = 0;
                wgs84().Inverse(lat1f / kDeg, lon1f / kDeg, lat2f / kDeg, lon2f / kDeg, reference,
                                azi1, azi2);
                EXPECT_NEAR(s, reference, singlePrecisionM(reference))
                    << "from " << lat << " deg, " << lengthKm << " km at azimuth " << az;
                if (reference > 30000.0) {
                    EXPECT_NEAR(angleDiff(az12 / kDeg, azi1), 0.0, 1e-3)
                        << "from " << lat << " deg, " << lengthKm << " km at azimuth " << az;
                }
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 11 * 7 * 7);
}

TEST(Ngsfor, AgreesWithGeographicLibDirect) {
    for (double lat = -80.0; lat <= 80.0; lat += 20.0) {
        for (double az : {0.0, 45.0, 100.0, 180.0, 260.0}) {
            for (double lengthM : {450.0, 12000.0, 400000.0, 2000000.0}) {
                float lat2 = 0, lon2 = 0, az21 = 0;
                const float lat1f = static_cast<float>(lat * kDeg);
                const float azf = static_cast<float>(az * kDeg);
                NGSFOR(static_cast<float>(kWgs84A), static_cast<float>(kWgs84F), lat1f,
                       static_cast<float>(170.0 * kDeg), azf, static_cast<float>(lengthM), lat2,
                       lon2, az21);
                double refLat = 0, refLon = 0;
                wgs84().Direct(lat1f / kDeg, 170.0, azf / kDeg, lengthM, refLat, refLon);
                double offM = 0;
                wgs84().Inverse(lat2 / kDeg, lon2 / kDeg, refLat, refLon, offM);
                EXPECT_LT(offM, singlePrecisionM(lengthM))
                    << "from " << lat << " deg at azimuth " << az << " for " << lengthM << " m";
                EXPECT_GT(lon2, -3.1415927f);
                EXPECT_LE(lon2, 3.1415927f);
            }
        }
    }
}

} // namespace
} // namespace dorvex
