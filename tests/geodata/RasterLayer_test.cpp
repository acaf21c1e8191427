#include "GeodataFiles.h"

#include <verdan/geodata/RasterLayer.h>
#include <verdan/geodata/VectorLayer.h>
#include <verdan/geodata/ViewPicture.h>

#include <gtest/gtest.h>
#include <ogr_srs_api.h>

#include <array>
#include <vector>

namespace verdan::geodata {
namespace {

using namespace test;

// The colour of the pixel holding `at` in the tile of `zoom` holding it.
std::array<int, 4> colourAt(RasterLayer& layer, const terrain::GeoPoint& at, int zoom) {
    const MercatorPoint p = toMercator(at);
    const TileId tile = tilesCovering({p.xM, p.yM, p.xM + 1e-3, p.yM + 1e-3}, zoom).front();
    const Extent box = tileExtent(tile);
    TileImage image;
    EXPECT_TRUE(layer.readTile(tile, image).ok);
    const auto column = static_cast<std::size_t>((p.xM - box.minXM) / metresPerPixel(zoom));
    const auto row = static_cast<std::size_t>((box.maxYM - p.yM) / metresPerPixel(zoom));
    const std::size_t i = (row * TileSidePx + column) * 4;
    return {image.rgba[i], image.rgba[i + 1], image.rgba[i + 2], image.rgba[i + 3]};
}

TEST(RasterLayer, PicturesAreWarpedIntoTilesInColourOrStretchedToGrey) {
    // Elevations of 1000 m in the west, 2550 m in the east of lon 7..8, lat 45..46 in WGS 84.
    const fs::path dir = folderWith("warped", {{"dem.asc", "ncols 2\nnrows 2\nxllcorner 7\n"
                                                           "yllcorner 45\ncellsize 0.5\n"
                                                           "1000 2550\n1000 2550\n"},
                                               {"dem.prj", SRS_WKT_WGS84_LAT_LONG}});
    // The view saved over the same square as 2 x 2 pixels: red in the west half, blue in the
    // north-east quarter, nothing shown in the south-east quarter.
    const Extent valley{toMercator({45, 7}).xM, toMercator({45, 7}).yM, toMercator({46, 8}).xM,
                        toMercator({46, 8}).yM};
    const std::vector<std::uint8_t> rgba = {255, 0, 0, 255, 0, 0, 255, 255,
                                            255, 0, 0, 255, 0, 0, 0, 0};
    ASSERT_TRUE(writeViewGeoTiff((dir / "view.tif").string(), rgba, 2, 2, valley).ok);
    struct Row {
        const char* name;
        double latDeg, lonDeg;
        int zoom;
        std::array<int, 4> rgba;
        int greyTolerance; // 0: this colour exactly
    };
    const Row rows[] = {
        {"view.tif", 45.2, 7.05, 7, {255, 0, 0, 255}, 0},
        {"view.tif", 45.95, 7.95, 7, {0, 0, 255, 255}, 0},
        {"view.tif", 45.9, 7.9, 12, {0, 0, 255, 255}, 0}, // a tile finer than the picture
        {"view.tif", 45.5, 6.5, 7, {0, 0, 0, 0}, 0},      // beyond the picture's west edge
        {"view.tif", 45.2, 7.95, 7, {0, 0, 0, 0}, 0},     // where the view showed nothing
        {"dem.asc", 45.5, 7.01, 9, {0, 0, 0, 255}, 19},    // the lowest black
        {"dem.asc", 45.5, 7.99, 9, {255, 255, 255, 255}, 19}, // the highest white
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(row.lonDeg));
        std::unique_ptr<RasterLayer> layer;
        ASSERT_TRUE(RasterLayer::open((dir / row.name).string(), layer).ok);
        EXPECT_NEAR(layer->extent().minXM, valley.minXM, 1);
        EXPECT_NEAR(layer->extent().maxYM, valley.maxYM, 1);
        const std::array<int, 4> got = colourAt(*layer, {row.latDeg, row.lonDeg}, row.zoom);
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(got[c], row.rgba[c], row.greyTolerance);
        EXPECT_EQ(got[3], row.rgba[3]);
        EXPECT_TRUE(row.greyTolerance == 0 || (got[0] == got[1] && got[1] == got[2]));
    }
    // A view is saved whole or not at all.
    EXPECT_FALSE(writeViewGeoTiff((dir / "no" / "view.tif").string(), rgba, 2, 2, valley).ok);
    EXPECT_FALSE(writeViewGeoTiff((dir / "short.tif").string(), rgba, 3, 2, valley).ok);
    EXPECT_FALSE(fs::exists(dir / "short.tif"));
}

TEST(GeographicFiles, ThoseThatCannotBeShownAreRefusedByName) {
    const fs::path dir = folderWith("refused", {{"notes.tif", "not a picture"},
                                                {"plain.asc", "ncols 1\nnrows 1\nxllcorner 0\n"
                                                              "yllcorner 0\ncellsize 1\n1\n"},
                                                {"roads.geojson", "{ this is not json"}});
    fs::create_directory(dir / "folder.tif");
    const std::pair<std::string, std::string> rows[] = {
        {"notes.tif", "not a picture GDAL can read"},
        {"plain.asc", "has no geographic reference"},
        {"folder.tif", "not a regular file"},
        {"missing.tif", "No such file"},
        {"roads.geojson", "not vector data OGR can read"},
    };
    for (const auto& [name, says] : rows) {
        const std::string path = (dir / name).string();
        std::unique_ptr<RasterLayer> raster;
        std::unique_ptr<VectorLayer> vector;
        const terrain::Status status = name.ends_with(".geojson")
                                           ? VectorLayer::open(path, dir.string(), vector)
                                           : RasterLayer::open(path, raster);
        EXPECT_FALSE(status.ok) << name;
        EXPECT_NE(status.message.find(path + ": "), std::string::npos) << status.message;
        EXPECT_NE(status.message.find(says), std::string::npos) << status.message;
        EXPECT_TRUE(raster == nullptr && vector == nullptr);
    }
}

} // namespace
} // namespace verdan::geodata
