#include "dorvex.h"

#include "exports.h"
#include "globe.h"
#include "state.h"
#include "terrain_builders.h"
#include "test_support.h"

#include <GeographicLib/Geodesic.hpp>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <vector>

namespace dorvex {
namespace {

constexpr float kDeg = 3.14159265358979323846f / 180.0f;

std::string globeMessage(int32_t number, int32_t width = 23) {
    std::string text(30, '#');
    GlobeErrMsg(text.data(), width, &number);
    return text;
}

TEST(GlobeErrMsg, Texts) {
    struct Case {
        int32_t number;
        const char* text;
    };
    const Case cases[] = {
        {-1101, "Error Reading Tile a10g"},
        {-1103, "Error Reading Tile c10g"},
        {-1126, "Error Reading Tile z10g"},
        {-1016, "Error Opening Tile p10g"},
        {-1001, "Error Opening Tile a10g"},
        {0, "Undefined Error Number"},
        {1, "No Error"},
        {-1000, "No Error"},
        {-999, "No Error"},
        {12345, "No Error"},
        {-1100, "Undefined Error Number"},
        {-1027, "Undefined Error Number"},
        {-1127, "Undefined Error Number"},
        {-2001, "Undefined Error Number"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(globeMessage(c.number), test::padded(c.text, 23) + "#######") << c.number;
    }
}

TEST(GlobeErrMsg, ShortWidthLimitsTheText) {
    EXPECT_EQ(globeMessage(0, 9), "Undefined#####################");
}

TEST(QuarnErrMsg, TextsAndNumberReplacement) {
    struct Case {
        int32_t number;
        int32_t after;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, "No Error, Normal Return"},
        {1, 1, "No Error, Normal Return"},
        {5, 5, "No Data File Contains Specified Corrdinates"},
        {7, 7, "Data File Does Not Contain The Specified Coordinates"},
        {13, 13, "Error Reading From Disk"},
        {14, 15, "Undefined Error Number"},
        {-3, 15, "Undefined Error Number"},
    };
    for (const Case& c : cases) {
        std::string text(60, '#');
        int32_t number = c.number;
        QuarnErrMsg(text.data(), 52, &number);
        EXPECT_EQ(text, test::padded(c.text, 52) + "########") << c.number;
        EXPECT_EQ(number, c.after);
    }
}

class THandlerTest : public test::LibraryTest {
protected:
    struct Call {
        float lat1, lon1, lat2, lon2;
        std::string path = std::string(150, ' ');
        float pathLength = 0;
        float fill = 0;
        int32_t pointCount = 800;
        std::vector<float> distances = std::vector<float>(900, -5.0f);
        std::vector<float> elevations = std::vector<float>(902, -5.0f);
        int32_t pointsReturned = -5, status = -5, errorNumber = 0, source = 1;

        void run() {
            THandler(&lat1, &lon1, &lat2, &lon2, &pathLength, path.data(), 150, &fill, &pointCount,
                     distances.data(), elevations.data(), &pointsReturned, &status, &errorNumber,
                     &source);
        }
    };
    static Call globeCall(const std::string& folder, float lat1, float lon1, float lat2,
                          float lon2) {
        Call call{lat1 * kDeg, lon1 * kDeg, lat2 * kDeg, lon2 * kDeg};
        call.path = test::padded(folder, 150);
        call.pathLength = static_cast<float>(folder.size());
        return call;
    }
};

TEST_F(THandlerTest, Source2ChangesOnlyTheStatus) {
    Call call = globeCall(root(), 39.0f, -77.0f, 38.9f, -77.0f);
    call.source = 2;
    call.errorNumber = 42;
    call.run();
    EXPECT_EQ(call.status, -1);
    EXPECT_EQ(call.errorNumber, 42);
    EXPECT_EQ(call.pointsReturned, -5);
    EXPECT_EQ(call.distances, std::vector<float>(900, -5.0f));
    EXPECT_EQ(call.elevations, std::vector<float>(902, -5.0f));
}

TEST_F(THandlerTest, GlobeFolderWithoutIndex) {
    Call call = globeCall(root(), 39.0f, -77.0f, 38.9f, -77.0f);
    call.run();
    EXPECT_EQ(call.status, -1);
    EXPECT_EQ(call.errorNumber, -1000);
    EXPECT_EQ(globeMessage(call.errorNumber).substr(0, 23), test::padded("No Error", 23));
}

TEST_F(THandlerTest, Globe800PointProfile) {
    const std::string folder = root() + "globe/";
    const auto terrain = [](double lat, double lon) {
        return 100.0 + 300.0 * (lat - 38.0) + 50.0 * (lon + 78.0);
    };
    std::string error;
    ASSERT_TRUE(
        verdan::terrain::writeGlobeFolder(folder, terrain, {{38.5, -77.5, 39.5, -76.0}}, &error));
    Call call = globeCall(folder, 39.08f, -76.70f, 38.92f, -76.98f);
    call.run();
    CloseGlobe();
    ASSERT_EQ(call.status, 0);
    EXPECT_EQ(call.errorNumber, 1);
    ASSERT_EQ(call.pointsReturned, 800);
    EXPECT_EQ(call.distances[0], 0.0f);
    double s12 = 0;
    GeographicLib::Geodesic(6370000.0, 0.0)
        .Inverse(call.lat1 * 57.2957763671875f, call.lon1 * 57.2957763671875f,
                 call.lat2 * 57.2957763671875f, call.lon2 * 57.2957763671875f, s12);
    EXPECT_NEAR(call.distances[799], s12, 2e-6 * s12 + 0.01);
    EXPECT_NEAR(call.distances[1], s12 / 799.0, 1e-3);
    EXPECT_NEAR(call.elevations[0], terrain(39.08, -76.70), 1.5);
    EXPECT_NEAR(call.elevations[799], terrain(38.92, -76.98), 1.5);
    EXPECT_NEAR(call.elevations[400], terrain(39.0, -76.84), 3.0);
    EXPECT_EQ(call.distances[800], -5.0f);
}

TEST_F(THandlerTest, GlobeTileErrorsComeBackAsErrorNumbers) {
    const std::string folder = root() + "globe/";
    std::string error;
    ASSERT_TRUE(verdan::terrain::writeGlobeFolder(
        folder, [](double, double) { return 0.0; }, {}, &error));
    std::filesystem::resize_file(folder + "f10g", 10);
    Call call = globeCall(folder, 39.08f, -76.70f, 38.92f, -76.98f);
    call.run();
    EXPECT_EQ(call.status, -1);
    EXPECT_EQ(call.errorNumber, -1106);
    EXPECT_EQ(globeMessage(call.errorNumber).substr(0, 23), "Error Reading Tile f10g");
}

// Regression: fewer than two GLOBE points are refused instead of writing before the
// caller's array.
TEST_F(THandlerTest, GlobeWithFewerThanTwoPoints) {
    Call call = globeCall(root(), 39.08f, -76.70f, 38.92f, -76.98f);
    call.pointCount = 0;
    call.run();
    EXPECT_EQ(call.status, -1);
    EXPECT_EQ(call.errorNumber, 0);
    EXPECT_EQ(call.elevations, std::vector<float>(902, -5.0f));
}

TEST_F(THandlerTest, QuarnSpacingIsFixedAt450Metres) {
    const std::string folder = drive('d') + "Quarn/DATS/";
    verdan::terrain::QuarnDatabaseLayout layout;
    layout.name = "AREA";
    layout.spacingSec = 30;
    layout.southMin = 39 * 60;
    layout.westMin = -78 * 60;
    layout.northMin = 40 * 60;
    layout.eastMin = -76 * 60;
    layout.scale = 4;
    std::string error;
    ASSERT_TRUE(verdan::terrain::writeQuarnDatabase(
        folder, layout, [](double, double) { return 400.0; }, &error));
    verdan::terrain::QuarnIndexEntry entry{"AREA",   39 * 60, -78 * 60, 40 * 60,
                                           -76 * 60, 30,      'D',      2};
    ASSERT_TRUE(verdan::terrain::writeQuarnIndex(folder + "TOPO.INF", {entry}, &error));

    Call call{39.5f * kDeg, -77.0f * kDeg, 39.5f * kDeg, -76.9f * kDeg};
    call.source = 0;
    call.pathLength = 450.0f;
    call.errorNumber = 1; // the default index location on drive C: nothing there
    call.run();
    EXPECT_EQ(call.status, -1);
    EXPECT_EQ(call.errorNumber, 1);
    EXPECT_EQ(state().quarnSpacingM, 450.0f);

    call.errorNumber = 2; // drive D, as chosen in the drive picker
    call.run();
    EXPECT_EQ(call.status, 0);
    EXPECT_EQ(call.errorNumber, 0);
    ASSERT_EQ(call.pointsReturned, 20); // 8.6 km: floor(8590 / 450) + 1
    EXPECT_NEAR(call.distances[1], call.distances[19] / 19.0f, 0.01f);
    EXPECT_EQ(call.elevations[10], 400.0f);
    EXPECT_EQ(state().quarnSpacingM, 450.0f);
}

TEST(SharedLibrary, ExportsOnlyTheFourRoutines) {
    void* library = dlopen(DORVEX_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const char* name : {"THandler", "CloseGlobe", "GlobeErrMsg", "QuarnErrMsg"}) {
        EXPECT_NE(dlsym(library, name), nullptr) << name;
    }
    for (const char* name : {"_ZN6dorvex15GLOBE_ELEVATIONEffiPKc", "_ZN6dorvex5stateEv",
                             "_ZN6dorvex6NGSINVEffffffRfS0_S0_"}) {
        EXPECT_EQ(dlsym(library, name), nullptr) << name;
    }
    using ErrMsg = void (*)(char*, int32_t, int32_t*);
    auto message = reinterpret_cast<ErrMsg>(dlsym(library, "QuarnErrMsg"));
    ASSERT_NE(message, nullptr);
    char text[52];
    int32_t number = 11;
    message(text, 52, &number);
    EXPECT_EQ(std::string(text, 52), test::padded("Missing Topographic Elevation Data", 52));
    dlclose(library);
}

} // namespace
} // namespace dorvex
