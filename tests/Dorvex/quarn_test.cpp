#include "quarn.h"

#include "profile.h"
#include "state.h"
#include "terrain_builders.h"
#include "test_support.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace dorvex {
namespace {

using verdan::terrain::QuarnDatabaseLayout;
using verdan::terrain::QuarnIndexEntry;

constexpr float kArcSecPerRad = 206264.8f;

// Radians that the reader turns into exactly `sec` arc-seconds.
float radiansForArcSec(float sec) {
    float rad = sec / kArcSecPerRad;
    for (int step = 0; step < 64 && rad * kArcSecPerRad != sec; ++step) {
        rad = std::nextafter(rad, rad * kArcSecPerRad < sec ? 10.0f : -10.0f);
    }
    EXPECT_EQ(rad * kArcSecPerRad, sec);
    return rad;
}

double plane(double latDeg, double lonDeg) {
    return 100.0 + 1000.0 * (latDeg - 39.0) + 500.0 * (lonDeg + 77.0);
}

struct Reading {
    int error = -99;
    float elevM = 12345.0f;
    int spacingSec = 0;
};

class QuarnTest : public test::LibraryTest {
protected:
    QuarnTest()
        : folder_(root() + "quarn/"), inf_("TOPOINFPATH", folder_), dat_("TOPODATPATH", folder_) {
        std::filesystem::create_directories(folder_);
    }

    static QuarnDatabaseLayout area(const std::string& name, int southDeg, int westDeg,
                                    int northDeg, int eastDeg, int spacingSec = 15) {
        QuarnDatabaseLayout layout;
        layout.name = name;
        layout.spacingSec = spacingSec;
        layout.southMin = southDeg * 60;
        layout.westMin = westDeg * 60;
        layout.northMin = northDeg * 60;
        layout.eastMin = eastDeg * 60;
        layout.scale = 10;
        return layout;
    }

    void addDatabase(const QuarnDatabaseLayout& layout,
                     const verdan::terrain::ElevationFn& fn = plane, char type = 'D') {
        std::string error;
        ASSERT_TRUE(verdan::terrain::writeQuarnDatabase(folder_, layout, fn, &error)) << error;
        QuarnIndexEntry entry;
        entry.name = layout.name;
        entry.southMin = layout.southMin;
        entry.westMin = layout.westMin;
        entry.northMin = layout.northMin;
        entry.eastMin = layout.eastMin;
        entry.spacingSec = layout.spacingSec;
        entry.type = type;
        index_.push_back(entry);
        ASSERT_TRUE(verdan::terrain::writeQuarnIndex(folder_ + "TOPO.INF", index_, &error))
            << error;
    }

    Reading get(double latDeg, double lonDeg, int rule = 4, const std::string& name = "") {
        return getIn("D   ", static_cast<float>(latDeg), static_cast<float>(lonDeg), rule, name);
    }
    Reading getIn(const char* unit, float lat, float lon, int rule = 4,
                  const std::string& name = "") {
        Reading reading;
        std::string field = test::padded(name, kQuarnNameWidth);
        TOPGET(lat, lon, unit, rule, field.data(), names_, reading.spacingSec, 0, reading.error,
               reading.elevM);
        return reading;
    }

    // Expected elevation of sample value v with scale 10 and offset 0.
    static float scaled(double elevM) {
        return 10.0f * static_cast<float>(std::lround(elevM / 10.0));
    }

    QuarnNameList names_;

private:
    std::string folder_;
    test::ScopedEnv inf_;
    test::ScopedEnv dat_;
    std::vector<QuarnIndexEntry> index_;
};

struct Profile {
    std::vector<float> dist, elev;
    int points = -1, status = -9, error = -9;
};

// PRFILE between two points in degrees, at most 800 points, missing ones filled with -77 m
// when `option` is "D".
Profile profile(double lat1, double lon1, double lat2, double lon2, const char* option) {
    using test::kDeg;
    Profile r;
    r.dist.assign(800, -1.0f);
    r.elev.assign(800, -1.0f);
    char name[kQuarnNameWidth];
    std::fill(name, name + kQuarnNameWidth, ' ');
    PRFILE(static_cast<float>(lat1 * kDeg), static_cast<float>(lon1 * kDeg),
           static_cast<float>(lat2 * kDeg), static_cast<float>(lon2 * kDeg), 450.0f, 6378137.0f,
           0.0033528110943734646f, 0, name, 4, option, -77.0f, 800, r.dist.data(), r.elev.data(),
           r.points, r.status, r.error);
    return r;
}

TEST(Qrnspc, BlockWidthsByLatitude) {
    struct Case {
        int spacing;
        double latDeg;
        int width;
    };
    const Case cases[] = {
        {3, 0.0, 3},    {3, 49.99, 3},  {3, 50.0, 6},    {3, 55.0, 6},   {3, -55.0, 6},
        {3, 70.0, 9},   {3, 75.0, 12},  {3, 80.0, 18},   {3, 90.0, 18},  {6, 60.0, 12},
        {12, 72.0, 36}, {15, 79.9, 60}, {30, 85.0, 180}, {30, 10.0, 30}, {3, 91.0, 0},
        {4, 10.0, 0},   {0, 10.0, 0},   {-3, 10.0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QRNSPC(c.spacing, static_cast<int>(std::lround(c.latDeg * 3600))), c.width)
            << "spacing " << c.spacing << " at " << c.latDeg << " deg";
    }
}

TEST_F(QuarnTest, BilinearAtASamplePositionIsTheScaledSample) {
    QuarnDatabaseLayout layout = area("TST39", 39, -77, 40, -76);
    layout.offset = -20;
    addDatabase(layout);
    // Sample (column 5, row 7) of the block at 39 deg 15', 77 deg W: 15" spacing.
    const float latSec = 39.25f * 3600 + 6 * 15;
    const float lonSec = -77.0f * 3600 + 4 * 15;
    const Reading r = getIn("R   ", radiansForArcSec(latSec), radiansForArcSec(lonSec));
    ASSERT_EQ(r.error, 0);
    const int v =
        verdan::terrain::quarnSampleValue(layout, plane(latSec / 3600.0, lonSec / 3600.0));
    EXPECT_NEAR(r.elevM, 10.0f * v - 20.0f, 0.01f);
    EXPECT_EQ(r.spacingSec, 15);
}

TEST_F(QuarnTest, SampleRules) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    const double lat = 39.5 + 5.0 / 3600;   // a third of a cell north of a sample row
    const double lon = -76.5 + 11.0 / 3600; // near the eastern sample of the cell
    const double south = 39.5, north = 39.5 + 15.0 / 3600, east = -76.5 + 15.0 / 3600;
    const float highest = scaled(plane(north, east));
    const float nearest = scaled(plane(south, east));
    EXPECT_NEAR(get(lat, lon, 0).elevM, highest, 0.01f);
    EXPECT_NEAR(get(lat, lon, 3).elevM, highest, 0.01f);
    EXPECT_NEAR(get(lat, lon, 1).elevM, nearest, 0.01f);
    EXPECT_NEAR(get(lat, lon, 4).elevM, plane(lat, lon), 10.0f);
}

TEST_F(QuarnTest, MissingSampleIsError10) {
    const auto holes = [](double lat, double lon) {
        return (lat > 39.4 && lat < 39.6 && lon > -76.6 && lon < -76.4) ? NAN : 300.0;
    };
    addDatabase(area("TST39", 39, -77, 40, -76), holes);
    EXPECT_EQ(get(39.2, -76.8).error, 0);
    const Reading r = get(39.5, -76.5);
    EXPECT_EQ(r.error, 10);
    EXPECT_EQ(r.elevM, -1.0f);
    EXPECT_EQ(get(39.2, -76.8).error, 0);
}

TEST_F(QuarnTest, PointOutsideEveryDatabase) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    EXPECT_EQ(get(10.0, 10.0).error, 4);
    EXPECT_EQ(get(39.5, -76.5).error, 0);
    EXPECT_EQ(get(10.0, 10.0).error, 13);
}

// PRFILE fills missing samples and points outside every database, or stops at a missing one
// without the fill option.
TEST_F(QuarnTest, ProfileFillsMissingAndOutsidePointsOrStops) {
    addDatabase(area("AREA", 38, -80, 42, -74, 30),
                [](double, double lon) { return lon > -77.0 ? NAN : 500.0; });
    const Profile filled = profile(39.5, -77.2, 39.5, -76.8, "D   ");
    EXPECT_EQ(filled.status, 0);
    EXPECT_EQ(filled.error, 10);
    ASSERT_GT(filled.points, 50);
    EXPECT_EQ(filled.elev[0], 500.0f);
    EXPECT_EQ(filled.elev[static_cast<std::size_t>(filled.points - 1)], -77.0f);

    resetLibraryState();
    const Profile stopped = profile(39.5, -77.2, 39.5, -76.8, "N   ");
    EXPECT_EQ(stopped.status, -1);
    EXPECT_EQ(stopped.error, 10);
    EXPECT_EQ(stopped.elev[0], 500.0f);
    EXPECT_EQ(stopped.elev.back(), -1.0f);

    resetLibraryState();
    const Profile outside = profile(41.9, -78.0, 42.1, -78.0, "D   ");
    EXPECT_EQ(outside.status, 0);
    EXPECT_EQ(outside.error, 13);
    EXPECT_EQ(outside.elev[0], 500.0f);
    EXPECT_EQ(outside.elev[static_cast<std::size_t>(outside.points - 1)], -77.0f);
}

} // namespace
} // namespace dorvex
