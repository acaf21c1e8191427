#include "globe.h"

#include "files.h"
#include "state.h"
#include "terrain_builders.h"
#include "test_support.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

#include <sys/stat.h>

namespace dorvex {
namespace {

using test::padded;

// A sample value that differs between neighbours and is linear within most cells.
int sampleValue(int row, int column) {
    return row % 1000 + 2 * (column % 500);
}

int rowOf(double latDeg) {
    return static_cast<int>(std::lround((latDeg + 90.0) * 120.0 - 0.5));
}
int columnOf(double lonDeg) {
    return static_cast<int>(std::lround((lonDeg + 180.0) * 120.0 - 0.5));
}
double gridValue(double latDeg, double lonDeg) {
    return sampleValue(rowOf(latDeg), columnOf(lonDeg));
}

class GlobeTest : public test::LibraryTest {
protected:
    static float elevation(const std::string& folder, double latDeg, double lonDeg) {
        const std::string path = padded(folder, kGlobePathWidth);
        return GLOBE_ELEVATION(static_cast<float>(lonDeg), static_cast<float>(latDeg),
                               static_cast<int>(folder.size()), path.c_str());
    }
};

TEST(GlobeInterp, InterpolatesAlongLatitudeThenLongitude) {
    const float e[4] = {100.0f, 200.0f, 400.0f, 300.0f}; // SW, NW, NE, SE
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(0.0, 0.0, e), 100.0);
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(0.0, 1.0, e), 200.0);
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(1.0, 1.0, e), 400.0);
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(1.0, 0.0, e), 300.0);
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(0.5, 0.5, e), 250.0);
}

TEST_F(GlobeTest, SampleCentreReturnsThatSampleAndInterpolatesBetweenFour) {
    const std::string folder = globeFolder("g", {{39.0, -77.0, 39.2, -76.8}}, gridValue);
    const int row = rowOf(39.1);
    const int column = columnOf(-76.9);
    const double lat = verdan::terrain::globeSampleLatDeg(row);
    const double lon = verdan::terrain::globeSampleLonDeg(column);
    EXPECT_EQ(elevation(folder, lat, lon), sampleValue(row, column));
    const double expected = (sampleValue(row, column) + sampleValue(row + 1, column) +
                             sampleValue(row, column + 1) + sampleValue(row + 1, column + 1)) /
                            4.0;
    EXPECT_NEAR(elevation(folder, lat + 0.5 / 120.0, lon + 0.5 / 120.0), std::round(expected), 1.0);
}

TEST_F(GlobeTest, WrapsAround180Degrees) {
    const std::string folder =
        globeFolder("g", {{0.0, 179.9, 0.1, 180.0}, {0.0, -180.0, 0.1, -179.9}}, gridValue);
    const int row = rowOf(0.05);
    const double expected = 0.5 * sampleValue(row, 43199) + 0.5 * sampleValue(row, 0);
    const double lat = verdan::terrain::globeSampleLatDeg(row);
    EXPECT_NEAR(elevation(folder, lat, 180.0), std::round(expected), 0.5);
    EXPECT_NEAR(elevation(folder, lat, -180.0), std::round(expected), 0.5);
    EXPECT_NEAR(elevation(folder, lat, 540.0), std::round(expected), 0.5);
}

TEST_F(GlobeTest, OceanCodeReadsAsZero) {
    const auto oceanEast = [](double, double lon) { return lon > 20.0 ? -500.0 : 100.0; };
    const std::string folder = globeFolder("g", {{10.0, 19.9, 10.1, 20.1}}, oceanEast);
    const int column = columnOf(20.0 - 0.5 / 120.0);
    const double lat = verdan::terrain::globeSampleLatDeg(rowOf(10.05));
    ASSERT_LT(verdan::terrain::globeSampleLonDeg(column), 20.0);
    ASSERT_GT(verdan::terrain::globeSampleLonDeg(column + 1), 20.0);
    EXPECT_EQ(elevation(folder, lat, verdan::terrain::globeSampleLonDeg(column) + 0.5 / 120.0),
              50.0f);
    EXPECT_EQ(elevation(folder, lat, verdan::terrain::globeSampleLonDeg(column + 1)), 0.0f);
}

// Regression: a tile cut while it was open ended the host with SIGBUS.
TEST_F(GlobeTest, TileCutWhileOpenGivesItsReadingError) {
    const std::string folder = globeFolder("g", {{9.0, -11.0, 11.0, -9.0}}, gridValue);
    ASSERT_GT(elevation(folder, 10.0, -10.0), -1000.0f);
    std::filesystem::resize_file(folder + "f10g", 0);
    EXPECT_EQ(elevation(folder, 10.5, -10.5), -1106.0f);
}

// Regression: a FIFO in place of the index or a tile blocked the caller for ever.
TEST_F(GlobeTest, FifoInPlaceOfAFileIsRefusedAtOnce) {
    for (const std::string name : {"f10g", "globe.dat"}) {
        const std::string folder = globeFolder(name, {}, gridValue);
        std::filesystem::remove(folder + name);
        ASSERT_EQ(::mkfifo((folder + name).c_str(), 0600), 0);
        resetLibraryState();
        EXPECT_EQ(elevation(folder, 10.0, -10.0), name == "f10g" ? -1006.0f : -1000.0f);
    }
}

// Randomly damaged index and tiles give GLOBE error numbers or elevations, never a crash
// or a read outside a file (run under AddressSanitizer in CI).
TEST_F(GlobeTest, RandomlyCorruptedFoldersGiveErrorNumbers) {
    const std::string folder = globeFolder("g", {{10.0, -10.0, 10.2, -9.8}}, gridValue);
    const std::string index = readText(folder + "globe.dat");
    std::mt19937 random(20240607);
    for (int round = 0; round < 200; ++round) {
        resetLibraryState();
        std::string damaged = index;
        std::uniform_int_distribution<std::size_t> cut(0, index.size());
        damaged.resize(cut(random));
        for (int flips = 0; flips < 3 && !damaged.empty(); ++flips) {
            std::uniform_int_distribution<std::size_t> at(0, damaged.size() - 1);
            damaged[at(random)] = static_cast<char>(random() & 0xff);
        }
        writeText(folder + "globe.dat", round % 2 ? damaged : index);
        std::uniform_int_distribution<std::uintmax_t> size(0, 130000000);
        std::filesystem::resize_file(folder + "f10g", size(random));
        const float e = elevation(folder, 10.1, -9.9);
        const bool valid = (e >= -1116.0f && e <= -1101.0f) || (e >= -1016.0f && e <= -1000.0f) ||
                           (e >= 0.0f && e <= 2000.0f);
        EXPECT_TRUE(valid) << "round " << round << " gave " << e;
    }
}

} // namespace
} // namespace dorvex
