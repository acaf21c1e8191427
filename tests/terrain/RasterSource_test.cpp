// The raster source against rasters written here through GDAL: analytic surfaces in
// WGS 84 and UTM, a folder mosaic across a tile edge, nodata holes, and broken input.
#include "FolderFiles.h"
#include "raster_builders.h"

#include <verdan/terrain/RasterSource.h>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_srs_api.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace verdan::terrain {
namespace {

namespace fs = std::filesystem;
constexpr double Second = 1.0 / 3600.0;

using verdan::test::TempFolder;

void write(const std::string& path, const RasterLayout& layout, const CellValueFn& value) {
    std::string error;
    ASSERT_TRUE(writeRaster(path, layout, value, &error)) << error;
}

// A georeferenced Float32 GeoTIFF of one row `width` cells long, one strip, no data written:
// a file of a few hundred bytes whose first read needs width * 4 bytes.
void writeSparseStripRaster(const std::string& path, int width) {
    GDALAllRegister();
    const char* options[] = {"SPARSE_OK=TRUE", "TILED=NO", "BLOCKYSIZE=1", nullptr};
    GDALDatasetH dataset = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), width, 1, 1,
                                      GDT_Float32, const_cast<char**>(options));
    ASSERT_NE(dataset, nullptr);
    double transform[6] = {7, 1e-7, 0, 45.1, 0, -1e-7};
    GDALSetGeoTransform(dataset, transform);
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(srs, 4326);
    GDALSetSpatialRef(dataset, srs);
    OSRDestroySpatialReference(srs);
    GDALClose(dataset);
    EXPECT_LT(fs::file_size(path), 4096u);
}

// The raster at `path`, opened; a failure to open it ends the test with the reason.
std::unique_ptr<TerrainSource> open(const std::string& path, RasterOptions options = {}) {
    Status status;
    auto source = openRaster(path, options, status);
    if (!source || !status.ok)
        throw std::runtime_error(path + ": " + status.message);
    return source;
}

// A geographic layout of `cols` x `rows` cells of `cellDeg` (1 arc second unless given) with
// its north-west corner at (northDeg, westDeg).
RasterLayout geographic(double westDeg, double northDeg, int cols, int rows,
                        double cellDeg = Second) {
    RasterLayout layout;
    layout.width = cols;
    layout.height = rows;
    layout.geoTransform = {westDeg, cellDeg, 0, northDeg, 0, -cellDeg};
    return layout;
}

// The positions of the profile's points, computed here on the WGS 84 geodesic.
std::vector<GeoPoint> pathPoints(GeoPoint from, GeoPoint to, int count) {
    const auto line = GeographicLib::Geodesic::WGS84().InverseLine(from.latDeg, from.lonDeg,
                                                                   to.latDeg, to.lonDeg);
    std::vector<GeoPoint> points(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        line.Position(line.Distance() * i / (count - 1), points[i].latDeg, points[i].lonDeg);
    return points;
}

struct Surface {
    const char* name;
    RasterLayout layout;
    CellValueFn value;                         ///< in the raster's coordinates
    std::function<double(GeoPoint)> expectedM; ///< the same surface at a position
    GeoPoint from, to;
    double toleranceM;
};

// UTM zone 32 north coordinates of a position (GeographicLib, independent of GDAL).
std::pair<double, double> utm32(GeoPoint at) {
    int zone = 0;
    bool north = true;
    double x = 0;
    double y = 0;
    GeographicLib::UTMUPS::Forward(at.latDeg, at.lonDeg, zone, north, x, y, 32);
    return {x, y};
}

std::vector<Surface> surfaces() {
    const auto plane = [](double lon, double lat) {
        return 500 + 2000 * (lon - 7) + 1000 * (lat - 45);
    };
    const auto cone = [](double lon, double lat) {
        return 900 - 0.05 * std::hypot((lon - 7.05) * 78846.8, (lat - 45.05) * 111141.6);
    };
    RasterLayout utm;
    utm.width = 1000;
    utm.height = 1000;
    utm.geoTransform = {495000, 30, 0, 4990000, 0, -30};
    utm.crs = "EPSG:32632";
    const auto utmPlane = [](double x, double y) {
        return 200 + 0.002 * (x - 500000) + 0.001 * (y - 4980000);
    };
    RasterLayout feet = geographic(7, 45.1, 360, 360);
    feet.unit = "ft";
    const GeoPoint a{45.01, 7.01};
    const GeoPoint b{45.09, 7.09};
    const GeoPoint utmA{44.93, 9.01};
    const GeoPoint utmB{44.99, 9.1};
    return {
        {"plane, WGS 84", geographic(7, 45.1, 360, 360), plane,
         [=](GeoPoint p) { return plane(p.lonDeg, p.latDeg); }, a, b, 0.01},
        {"plane in feet", feet, plane,
         [=](GeoPoint p) { return 0.3048 * plane(p.lonDeg, p.latDeg); }, a, b, 0.01},
        {"cone, WGS 84", geographic(7, 45.1, 360, 360), cone,
         [=](GeoPoint p) { return cone(p.lonDeg, p.latDeg); }, a, b, 1.0},
        {"plane, UTM", utm, utmPlane, [=](GeoPoint p) { return std::apply(utmPlane, utm32(p)); },
         utmA, utmB, 0.01},
    };
}

TEST(RasterSource, SampledProfilesFollowAnalyticSurfaces) {
    TempFolder dir;
    for (const Surface& s : surfaces()) {
        SCOPED_TRACE(s.name);
        const std::string file = dir / (std::string(s.name) + ".tif");
        write(file, s.layout, s.value);
        const auto source = open(file);
        const int count = source->pointCountFor(s.from, s.to);
        double lengthM = 0;
        GeographicLib::Geodesic::WGS84().Inverse(s.from.latDeg, s.from.lonDeg, s.to.latDeg,
                                                 s.to.lonDeg, lengthM);
        // About one point per 30 m cell along a diagonal path.
        EXPECT_NEAR(lengthM / (count - 1), s.layout.crs == "EPSG:4326" ? 25.5 : 30.0, 3.0);
        Profile profile;
        const Status status = source->profile(s.from, s.to, count, profile);
        ASSERT_TRUE(status.ok) << status.message;
        EXPECT_EQ(profile.filledPoints, 0);
        EXPECT_NEAR(profile.spacingM, lengthM / (count - 1), 1e-6);
        const std::vector<GeoPoint> points = pathPoints(s.from, s.to, count);
        ASSERT_EQ(profile.elevationsM.size(), points.size());
        double worstM = 0;
        for (std::size_t i = 0; i < points.size(); ++i)
            worstM = std::max(worstM, std::fabs(profile.elevationsM[i] - s.expectedM(points[i])));
        EXPECT_LT(worstM, s.toleranceM);
        double atM = 0;
        ASSERT_TRUE(source->elevationAt(points[7], atM).ok);
        EXPECT_DOUBLE_EQ(atM, profile.elevationsM[7]);
    }
}

// A folder of tiles is one raster: a point per cell along a path (within limits), no step or
// gap where the tiles meet.
TEST(RasterSource, FolderMosaicIsSampledPerCellWithoutStepOrGapAtTheTileEdge) {
    TempFolder dir;
    fs::create_directory(dir / "tiles");
    const auto plane = [](double lon, double lat) {
        return 300 + 900 * (lon - 7) + 500 * (lat - 45);
    };
    write(dir / "tiles/west.tif", geographic(7.0, 45.1, 360, 360), plane);
    write(dir / "tiles/east.tif", geographic(7.1, 45.1, 360, 360), plane);
    std::ofstream(dir / "tiles/readme.txt") << "not a raster";
    const auto source = open(dir / "tiles/");
    // East-west at 45 degrees: one cell is 21.9 m wide.
    EXPECT_NEAR(source->pointCountFor({45.05, 7.0}, {45.05, 7.1}), 7874.0 / 21.89 + 1, 2);
    EXPECT_EQ(source->pointCountFor({45.05, 7.0}, {45.05, 7.0000001}), RasterMinPoints);
    EXPECT_EQ(source->pointCountFor({45.05, 7.0}, {45.05, 25.0}), RasterMaxPoints);
    const GeoPoint from{45.03, 7.08};
    const GeoPoint to{45.07, 7.12};
    Profile profile;
    const int count = 401;
    ASSERT_TRUE(source->profile(from, to, count, profile).ok);
    EXPECT_EQ(profile.filledPoints, 0);
    const std::vector<GeoPoint> points = pathPoints(from, to, count);
    for (std::size_t i = 0; i < points.size(); ++i)
        ASSERT_NEAR(profile.elevationsM[i], plane(points[i].lonDeg, points[i].latDeg), 0.01) << i;
}

// Regression: infinite and impossible elevations were used as terrain (a loss below free
// space, all-NaN tables, 29,477 m peaks). They are no data as nodata cells and the points
// beyond the raster's edge are: filled and counted, refused alone or without a fill.
TEST(RasterSource, NodataNonPhysicalAndOutsidePointsAreFilledAndCountedOrRefused) {
    TempFolder dir;
    RasterLayout layout = geographic(7, 45.1, 360, 360);
    layout.nodata = -9999;
    const GeoPoint from{45.05, 7.01};
    const GeoPoint to{45.05, 7.09};
    const int count = 801;
    int inHole = 0;
    for (const GeoPoint& p : pathPoints(from, to, count))
        inHole += p.lonDeg > 7.04 && p.lonDeg < 7.06;
    double elevationM = 0;
    for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 3e38, 29477.0, -18842.0, 9000.5}) {
        SCOPED_TRACE(bad);
        const std::string name = "hole" + std::to_string(bad) + ".tif";
        // A hole of cells between 7.04 and 7.06 degrees east.
        write(dir / name, layout,
              [bad](double lon, double) { return lon > 7.04 && lon < 7.06 ? bad : 250.0; });
        const auto filled = open(dir / name, {true, -5});
        Profile profile;
        ASSERT_TRUE(filled->profile(from, to, count, profile).ok);
        EXPECT_NEAR(profile.filledPoints, inHole, 1);
        EXPECT_EQ(std::count(profile.elevationsM.begin(), profile.elevationsM.end(), -5.0),
                  profile.filledPoints);
        EXPECT_EQ(std::count_if(profile.elevationsM.begin(), profile.elevationsM.end(),
                                [](double e) { return std::fabs(e - 250) < 1e-9; }),
                  count - profile.filledPoints);
        // Half the path beyond the raster's eastern edge at 7.1 degrees.
        ASSERT_TRUE(filled->profile({45.05, 7.05}, {45.05, 7.15}, count, profile).ok);
        EXPECT_NEAR(profile.filledPoints, count / 2 + count / 10, 3);
        EXPECT_FALSE(filled->profile({45.05, 7.045}, {45.05, 7.055}, 20, profile).ok);
        const Status nothing = filled->profile({46.05, 7.05}, {46.06, 7.06}, 10, profile);
        EXPECT_NE(nothing.message.find(name), std::string::npos) << nothing.message;

        const auto strict = open(dir / name, {false, 0});
        const Status refused = strict->profile(from, to, count, profile);
        EXPECT_FALSE(refused.ok);
        EXPECT_NE(refused.message.find(name), std::string::npos) << refused.message;
        EXPECT_FALSE(strict->elevationAt({45.05, 7.05}, elevationM).ok);
    }
    write(dir / "deep.tif", layout, [](double, double) { return -499.0; });
    EXPECT_TRUE(open(dir / "deep.tif")->elevationAt({45.05, 7.05}, elevationM).ok);
    EXPECT_NEAR(elevationM, -499, 1e-6);
}

TEST(RasterSource, ConcurrentProfilesEqualSerialOnes) {
    TempFolder dir;
    write(dir / "c.tif", geographic(7, 45.1, 360, 360), [](double lon, double lat) {
        return 100 * std::sin(lon * 300) + 50 * std::cos(lat * 200);
    });
    const auto source = open(dir / "c.tif");
    const auto run = [&](int k, Profile& out) {
        return source->profile({45.01 + k * 0.001, 7.01}, {45.09, 7.09 - k * 0.001}, 2000, out).ok;
    };
    std::vector<Profile> serial(8);
    for (int k = 0; k < 8; ++k)
        ASSERT_TRUE(run(k, serial[k]));
    std::vector<Profile> parallel(8);
    std::vector<std::thread> threads;
    for (int k = 0; k < 8; ++k)
        threads.emplace_back([&, k] {
            for (int repeat = 0; repeat < 5; ++repeat)
                run(k, parallel[k]);
        });
    for (std::thread& t : threads)
        t.join();
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(parallel[k].elevationsM, serial[k].elevationsM) << k;
}

TEST(RasterSource, BrokenInputGivesOneClearMessageNamingIt) {
    TempFolder dir;
    write(dir / "good.tif", geographic(7, 45.1, 360, 360), [](double, double) { return 5.0; });
    for (const char* folder : {"empty", "folder.tif", "badtile"})
        fs::create_directory(dir / folder);
    std::ofstream(dir / "corrupt.tif") << "II*\0 this is not a TIFF at all";
    std::ofstream(dir / "badtile/N45E007.hgt") << "garbage";
    fs::copy_file(dir / "good.tif", dir / "badtile/good.tif");
    fs::copy_file(dir / "good.tif", dir / "truncated.tif");
    fs::resize_file(dir / "truncated.tif", fs::file_size(dir / "good.tif") / 2);
    ASSERT_EQ(::mkfifo((dir / "pipe.tif").c_str(), 0600), 0);
    // Regression: a VRT whose source is a pipe waited for ever.
    std::ofstream(dir / "piped.vrt")
        << "<VRTDataset rasterXSize=\"10\" rasterYSize=\"10\"><SRS>EPSG:4326</SRS>"
           "<GeoTransform>7.0, 0.01, 0, 45.1, 0, -0.01</GeoTransform>"
           "<VRTRasterBand dataType=\"Float32\" band=\"1\"><SimpleSource>"
           "<SourceFilename relativeToVRT=\"1\">pipe.tif</SourceFilename>"
           "<SourceBand>1</SourceBand></SimpleSource></VRTRasterBand></VRTDataset>";
    // Regression: a small file claiming blocks of 400 MB took that memory before failing.
    writeSparseStripRaster(dir / "huge.tif", 100'000'000);
    const struct {
        std::string path;
        const char* named;
    } cases[] = {
        {dir / "missing.tif", "missing.tif"}, {dir / "empty", "empty"},
        {dir / "folder.tif", "folder.tif"},   {dir / "corrupt.tif", "corrupt.tif"},
        {dir / "badtile", "N45E007.hgt"},     {dir / "truncated.tif", "truncated.tif"},
        {dir / "pipe.tif", "pipe.tif"},       {dir / "piped.vrt", "pipe.tif"},
        {dir / "huge.tif", "huge.tif"},
    };
    // GDAL's own messages never reach the terminal: standard error goes to a file meanwhile.
    const int savedStderr = ::dup(2);
    FILE* captured = std::freopen((dir / "stderr.txt").c_str(), "w", stderr);
    ASSERT_NE(captured, nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Status status;
        const auto source = openRaster(c.path, {}, status);
        Profile profile;
        if (source) // A truncated file may open; its cells then cannot be read.
            status = source->profile({45.01, 7.01}, {45.09, 7.09}, 500, profile);
        EXPECT_FALSE(status.ok);
        EXPECT_NE(status.message.find(c.named), std::string::npos) << status.message;
        EXPECT_EQ(status.message.find('\n'), std::string::npos) << status.message;
    }
    std::fflush(stderr);
    ::dup2(savedStderr, 2);
    ::close(savedStderr);
    EXPECT_EQ(fs::file_size(dir / "stderr.txt"), 0u);
}

// Regression: a point exactly on the raster's north or east edge was read as no data.
TEST(RasterSource, EdgesBelongToTheRaster) {
    TempFolder dir;
    // The layout of the demo raster: its east edge lies a rounding error outside the cells.
    const double westDeg = -105.55;
    const double northDeg = 40.1;
    write(dir / "edges.tif", geographic(westDeg, northDeg, 480, 240, 3 * Second),
          [](double, double) { return 321.0; });
    const auto source = open(dir / "edges.tif", {false, 0});
    const double eastDeg = westDeg + 480 * 3 * Second;
    const double southDeg = northDeg - 240 * 3 * Second;
    for (const GeoPoint at : {GeoPoint{northDeg, -105.3}, GeoPoint{40.0, eastDeg},
                              GeoPoint{northDeg, eastDeg}, GeoPoint{southDeg, westDeg}}) {
        double elevationM = 0;
        const Status status = source->elevationAt(at, elevationM);
        EXPECT_TRUE(status.ok) << at.latDeg << ',' << at.lonDeg << ": " << status.message;
        EXPECT_EQ(elevationM, 321.0);
    }
}

// Regression: a raster in a folder the user cannot read was "not a raster GDAL can read".
TEST(RasterSource, UnreadableFolderSaysPermissionDenied) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the check as another user";
    TempFolder dir;
    fs::create_directory(dir / "locked");
    write(dir / "locked/dem.tif", geographic(7, 45.1, 10, 10), [](double, double) { return 1.0; });
    fs::permissions(dir / "locked", fs::perms::owner_all);
    fs::permissions(dir / "locked/..", fs::perms::all);
    const pid_t child = ::fork();
    if (child == 0) {
        // The child opens the raster as nobody; it exits with 0 when told why it cannot.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            std::_Exit(3);
        Status status;
        const auto source = openRaster(dir / "locked/dem.tif", {}, status);
        const std::string& message = status.message;
        const bool told = !source && message.find("Permission denied") != std::string::npos &&
                          message.find("dem.tif") != std::string::npos;
        std::fprintf(stderr, "%s\n", source ? "opened" : message.c_str());
        std::_Exit(told ? 0 : 1);
    }
    int childStatus = 0;
    ASSERT_EQ(::waitpid(child, &childStatus, 0), child);
    EXPECT_TRUE(WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0) << childStatus;
}

} // namespace
} // namespace verdan::terrain
