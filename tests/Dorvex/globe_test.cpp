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
using verdan::terrain::GeoBox;

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
    // Writes a GLOBE folder with gridValue samples in `boxes` into root()/name/.
    std::string makeFolder(const std::string& name, const std::vector<GeoBox>& boxes,
                           const verdan::terrain::ElevationFn& fn = gridValue,
                           const verdan::terrain::GlobeFolderOptions& options = {}) {
        const std::string folder = root() + name + "/";
        std::string error;
        EXPECT_TRUE(verdan::terrain::writeGlobeFolder(folder, fn, boxes, &error, options)) << error;
        return folder;
    }
    static float elevation(const std::string& folder, double latDeg, double lonDeg) {
        const std::string path = padded(folder, kGlobePathWidth);
        return GLOBE_ELEVATION(static_cast<float>(lonDeg), static_cast<float>(latDeg),
                               static_cast<int>(folder.size()), path.c_str());
    }
};

TEST(GlobeIndex, SampleCentreHasZeroFractions) {
    int column = 0, row = 0;
    double fx = 1, fy = 1;
    GLOBE_INDEX(-90.0 + 15000.5 / 120.0, -180.0 + 20000.5 / 120.0, column, row, fx, fy);
    EXPECT_EQ(row, 15000);
    EXPECT_EQ(column, 20000);
    EXPECT_NEAR(fx, 0.0, 1e-9);
    EXPECT_NEAR(fy, 0.0, 1e-9);
}

TEST(GlobeIndex, LongitudeMinus180And180GiveTheSameColumnPair) {
    for (double lon : {-180.0, 180.0, 540.0, -540.0}) {
        int column = 0, row = 0;
        double fx = 0, fy = 0;
        GLOBE_INDEX(10.0, lon, column, row, fx, fy);
        EXPECT_EQ(column, 43199) << "longitude " << lon;
        EXPECT_NEAR(fx, 0.5, 1e-9) << "longitude " << lon;
    }
}

TEST(GlobeIndex, PointsNearTheSouthPoleUseRowZero) {
    int column = 0, row = 5;
    double fx = 0, fy = 1;
    GLOBE_INDEX(-89.999, 0.0, column, row, fx, fy);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(fy, 0.0);
}

TEST(GlobeRecord, TileAndRecordOfGridSamples) {
    struct Case {
        int column, row, tile, record;
    };
    const Case cases[] = {
        {0, 21599, 1, 1},                 // north-west corner of a
        {10799, 16800, 1, 4800 * 10800},  // south-east corner of a
        {10800, 16799, 6, 1},             // north-west corner of f
        {21599, 10800, 6, 6000 * 10800},  // south-east corner of f
        {21600, 10799, 11, 1},            // north-west corner of k
        {43199, 0, 16, 4800 * 10800},     // south-east corner of p
        {5, 16799 - 2, 5, 2 * 10800 + 6}, // third row of e
    };
    for (const Case& c : cases) {
        int tile = 0, record = 0;
        GLOBE_RECORD(c.column, c.row, tile, record);
        EXPECT_EQ(tile, c.tile) << "column " << c.column << " row " << c.row;
        EXPECT_EQ(record, c.record) << "column " << c.column << " row " << c.row;
    }
}

TEST(GlobeInterp, InterpolatesAlongLatitudeThenLongitude) {
    const float e[4] = {100.0f, 200.0f, 400.0f, 300.0f}; // SW, NW, NE, SE
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(0.0, 0.0, e), 100.0);
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(0.0, 1.0, e), 200.0);
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(1.0, 1.0, e), 400.0);
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(1.0, 0.0, e), 300.0);
    EXPECT_DOUBLE_EQ(GLOBE_INTERP(0.5, 0.5, e), 250.0);
}

TEST_F(GlobeTest, SampleCentreReturnsThatSample) {
    const std::string folder = makeFolder("g", {{39.0, -77.0, 39.2, -76.8}});
    const int row = rowOf(39.1);
    const int column = columnOf(-76.9);
    EXPECT_EQ(elevation(folder, verdan::terrain::globeSampleLatDeg(row),
                        verdan::terrain::globeSampleLonDeg(column)),
              sampleValue(row, column));
}

TEST_F(GlobeTest, InterpolatesBetweenFourSamples) {
    const std::string folder = makeFolder("g", {{39.0, -77.0, 39.2, -76.8}});
    const int row = rowOf(39.1);
    const int column = columnOf(-76.9);
    const double lat = verdan::terrain::globeSampleLatDeg(row) + 0.5 / 120.0;
    const double lon = verdan::terrain::globeSampleLonDeg(column) + 0.5 / 120.0;
    const double expected = (sampleValue(row, column) + sampleValue(row + 1, column) +
                             sampleValue(row, column + 1) + sampleValue(row + 1, column + 1)) /
                            4.0;
    EXPECT_NEAR(elevation(folder, lat, lon), std::round(expected), 1.0);
}

TEST_F(GlobeTest, PolarCapNeedsNoTileOnceTheIndexIsLoaded) {
    const std::string folder = makeFolder("g", {});
    std::filesystem::remove(folder + "p10g");
    std::filesystem::remove(folder + "m10g");
    EXPECT_EQ(elevation(folder, -90.0, 0.0), 2777.0f);
    EXPECT_EQ(elevation(folder, -89.995, 100.0), 2777.0f);
    EXPECT_EQ(state().globe.tileOpen, 0);
}

TEST_F(GlobeTest, MissingIndexGivesMinus1000UntilItAppears) {
    const std::string folder = root() + "empty/";
    std::filesystem::create_directories(folder);
    EXPECT_EQ(elevation(folder, 10.0, 10.0), -1000.0f);
    EXPECT_EQ(elevation(folder, -90.0, 10.0), -1000.0f);
    makeFolder("empty", {});
    EXPECT_EQ(elevation(folder, 10.0, 10.0), 0.0f);
}

TEST_F(GlobeTest, NorthOfTheLastRowUsesThatRowTwice) {
    const std::string folder = makeFolder("g", {{89.9, 10.0, 90.0, 10.1}});
    const int column = columnOf(10.05);
    const double lon = verdan::terrain::globeSampleLonDeg(column) + 0.25 / 120.0;
    const double expected =
        0.75 * sampleValue(21599, column) + 0.25 * sampleValue(21599, column + 1);
    EXPECT_NEAR(elevation(folder, 89.999, lon), expected, 1.0);
}

TEST_F(GlobeTest, WrapsAround180Degrees) {
    const std::string folder =
        makeFolder("g", {{0.0, 179.9, 0.1, 180.0}, {0.0, -180.0, 0.1, -179.9}});
    const int row = rowOf(0.05);
    const double expected = 0.5 * sampleValue(row, 43199) + 0.5 * sampleValue(row, 0);
    const double lat = verdan::terrain::globeSampleLatDeg(row);
    EXPECT_NEAR(elevation(folder, lat, 180.0), std::round(expected), 0.5);
    EXPECT_NEAR(elevation(folder, lat, -180.0), std::round(expected), 0.5);
    EXPECT_NEAR(elevation(folder, lat, 540.0), std::round(expected), 0.5);
}

TEST_F(GlobeTest, OceanCodeReadsAsZero) {
    const auto oceanEast = [](double, double lon) { return lon > 20.0 ? -500.0 : 100.0; };
    const std::string folder = makeFolder("g", {{10.0, 19.9, 10.1, 20.1}}, oceanEast);
    const int column = columnOf(20.0 - 0.5 / 120.0);
    const double lat = verdan::terrain::globeSampleLatDeg(rowOf(10.05));
    ASSERT_LT(verdan::terrain::globeSampleLonDeg(column), 20.0);
    ASSERT_GT(verdan::terrain::globeSampleLonDeg(column + 1), 20.0);
    EXPECT_EQ(elevation(folder, lat, verdan::terrain::globeSampleLonDeg(column) + 0.5 / 120.0),
              50.0f);
    EXPECT_EQ(elevation(folder, lat, verdan::terrain::globeSampleLonDeg(column + 1)), 0.0f);
}

TEST_F(GlobeTest, KeepsOneTileOpenAndSwitchesOnDemand) {
    const std::string folder = makeFolder("g", {});
    elevation(folder, 10.0, -100.0); // tile e
    EXPECT_EQ(state().globe.tileOpen, 5);
    elevation(folder, 10.0, -10.0); // tile f
    EXPECT_EQ(state().globe.tileOpen, 6);
    elevation(folder, 10.0, -100.0);
    EXPECT_EQ(state().globe.tileOpen, 5);
    EXPECT_TRUE(state().globe.tile.isOpen());
    closeGlobeTile();
    EXPECT_FALSE(state().globe.tile.isOpen());
    EXPECT_EQ(state().globe.tileOpen, 5);
    EXPECT_EQ(elevation(folder, 10.0, -100.0), 0.0f);
    EXPECT_TRUE(state().globe.tile.isOpen());
}

// Regression: a request naming another folder than the loaded one reads that folder.
TEST_F(GlobeTest, AnotherFolderReloadsTheIndex) {
    const std::vector<GeoBox> box = {{39.0, -77.0, 39.2, -76.8}};
    const std::string first = makeFolder("first", box, [](double, double) { return 100.0; });
    const std::string second = makeFolder("second", box, [](double, double) { return 700.0; });
    EXPECT_EQ(elevation(first, 39.1, -76.9), 100.0f);
    EXPECT_EQ(elevation(second, 39.1, -76.9), 700.0f);
    EXPECT_EQ(elevation(root() + "none/", 39.1, -76.9), -1000.0f);
    EXPECT_EQ(elevation(first, 39.1, -76.9), 100.0f);
}

// Regression: an index with fewer than 17 lines is refused instead of leaving tiles
// without names.
TEST_F(GlobeTest, ShortIndexIsRefused) {
    const std::string folder = makeFolder("g", {});
    writeText(folder + "globe.dat", "title\na10g\nb10g\n");
    EXPECT_EQ(elevation(folder, 10.0, 10.0), -1000.0f);
}

TEST_F(GlobeTest, MissingTileGivesItsOpeningError) {
    const std::string folder = makeFolder("g", {});
    std::filesystem::remove(folder + "c10g");
    EXPECT_EQ(elevation(folder, 60.0, 10.0), -1003.0f);
}

TEST_F(GlobeTest, TileShorterThanItsRecordsGivesItsReadingError) {
    const std::string folder = makeFolder("g", {});
    std::filesystem::resize_file(folder + "f10g", 1000);
    EXPECT_EQ(elevation(folder, 10.0, -10.0), -1106.0f);
    std::filesystem::resize_file(folder + "f10g", 0);
    closeGlobeTile();
    EXPECT_EQ(elevation(folder, 10.0, -10.0), -1106.0f);
}

// Regression: a tile cut while it was open ended the host with SIGBUS.
TEST_F(GlobeTest, TileCutWhileOpenGivesItsReadingError) {
    const std::string folder = makeFolder("g", {{9.0, -11.0, 11.0, -9.0}});
    ASSERT_GT(elevation(folder, 10.0, -10.0), -1000.0f);
    std::filesystem::resize_file(folder + "f10g", 0);
    EXPECT_EQ(elevation(folder, 10.5, -10.5), -1106.0f);
}

// Regression: a FIFO in place of the index or a tile blocked the caller for ever.
TEST_F(GlobeTest, FifoInPlaceOfAFileIsRefusedAtOnce) {
    for (const std::string name : {"f10g", "globe.dat"}) {
        const std::string folder = makeFolder(name, {});
        std::filesystem::remove(folder + name);
        ASSERT_EQ(::mkfifo((folder + name).c_str(), 0600), 0);
        resetLibraryState();
        EXPECT_EQ(elevation(folder, 10.0, -10.0), name == "f10g" ? -1006.0f : -1000.0f);
    }
}

// Regression: a folder longer than the 150-character argument is refused, not cut.
TEST_F(GlobeTest, PathLengthBeyond150IsRefused) {
    const std::string folder = makeFolder("g", {});
    const std::string path = padded(folder, kGlobePathWidth);
    EXPECT_EQ(GLOBE_ELEVATION(10.0f, 10.0f, 151, path.c_str()), -1000.0f);
    EXPECT_EQ(GLOBE_ELEVATION(10.0f, 10.0f, -1, path.c_str()), -1000.0f);
}

TEST_F(GlobeTest, NonFiniteCoordinatesGiveNoElevation) {
    const std::string folder = makeFolder("g", {});
    EXPECT_EQ(elevation(folder, std::nan(""), 10.0), -1000.0f);
    EXPECT_EQ(elevation(folder, 10.0, INFINITY), -1000.0f);
}

TEST_F(GlobeTest, FileNamesAreFoundWithoutRegardToCase) {
    verdan::terrain::GlobeFolderOptions options;
    for (auto& name : options.tileNames) {
        name = upperAscii(name);
    }
    const std::string folder = makeFolder(
        "Upper", {{39.0, -77.0, 39.2, -76.8}}, [](double, double) { return 42.0; }, options);
    std::filesystem::rename(folder + "globe.dat", folder + "GLOBE.DAT");
    EXPECT_EQ(elevation(folder, 39.1, -76.9), 42.0f);
}

TEST_F(GlobeTest, DriveLetterFolderMapsThroughTheDriveMap) {
    const std::string folder = drive('c') + "Projects/Globe/";
    std::string error;
    ASSERT_TRUE(verdan::terrain::writeGlobeFolder(
        folder, [](double, double) { return 5.0; }, {{39.0, -77.0, 39.2, -76.8}}, &error))
        << error;
    EXPECT_EQ(elevation("C:\\Projects\\Globe\\", 39.1, -76.9), 5.0f);
}

// Randomly damaged index and tiles give GLOBE error numbers or elevations, never a crash
// or a read outside a file (run under AddressSanitizer in CI).
TEST_F(GlobeTest, RandomlyCorruptedFoldersGiveErrorNumbers) {
    const std::string folder = makeFolder("g", {{10.0, -10.0, 10.2, -9.8}});
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
